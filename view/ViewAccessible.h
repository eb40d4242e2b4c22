#pragma once
// ViewAccessible: the main view as screen readers meet it. It is the globe:
// named "Globe", focusable, with the view's description of what it shows
// (the cross-hair, the centre, the stations and picks, the last trial and
// its RMS). Its children are the windows inside it (seismograms, hints,
// depth panels) and the title card while it is up; these lie on the view's
// viewport, which screen readers are not shown.

#include <QAccessibleWidget>

namespace orvane {

class View;

class ViewAccessible : public QAccessibleWidget {
 public:
  explicit ViewAccessible(View* view);

  /// @brief Makes every View present itself through this interface. Once per
  /// run is enough; later calls do nothing.
  static void Install();

  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;

 private:
  QWidgetList Children() const;
};

}  // namespace orvane
