#pragma once
// The depth panel: a small captioned window inside the main view with one
// radio button per standard depth, "Yours" with an edit box, and OK. It stays
// open while the student works; every choice is reported at once through
// depthChosen(), and the view then takes that depth, empties the trial list and
// repaints. Each "Set Depth" command opens another panel. A depth typed
// beyond what the travel-time tables serve (kShallowestDepthKm to
// kDeepestDepthKm) is not taken: the panel keeps its depth and says why
// through depthRefused().
//
//   auto* panel = new DepthCB(nullptr, depthKm);  // the depth truncated towards zero
//   connect(panel, &DepthCB::depthChosen, view, [view](int km) { /* depth = km; empty trialList; repaint */ });
//   panel->showIn(view);  // a sub-window of the view at its place, deleted on close
//
// Controls, in order, with their ids as object names ("id113", ...):
// edit box 113, the standard depths 101..111, "Yours" 112, "OK" 1, and the
// etched frames 114 and 115.

#include <QDialog>
#include <QPoint>

class QKeyEvent;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;

namespace orvane {

class DepthCB : public QDialog {
  Q_OBJECT

 public:
  /// @brief Builds the panel showing @p depthKm: the edit box holds it, and
  /// the first standard depth at least as deep is checked ("Yours" when all
  /// are shallower).
  DepthCB(QWidget* parent, int depthKm);

  /// The depth of the latest choice (at first the depth given to the constructor).
  int depthKm() const { return depthKm_; }

  /// @brief Where the panel's frame goes in the main view: (0, 20) in dialog units.
  QPoint panelPosition() const;

  /// @brief Puts the panel into @p area as a sub-window with a caption and a
  /// close button and no sizing border, at panelPosition(), and shows it.
  /// Closing the sub-window (or pressing Escape in the panel) deletes both;
  /// nothing changes then.
  /// @return The sub-window, owned by @p area.
  QMdiSubWindow* showIn(QMdiArea* area);

 signals:
  /// A depth was chosen: a standard-depth button was clicked, or OK read the
  /// edit box. Sent for every choice, also when the depth stays the same.
  void depthChosen(int depthKm);
  /// A depth typed into the edit box was not taken; @p why says so for the
  /// status bar ("No depth of -40 km: the travel-time tables serve 0 to 800 km").
  void depthRefused(const QString& why);

 protected:
  /// Escape closes the sub-window the panel lives in, as its close button does.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void StandardDepthClicked();
  void YoursClicked();
  void OkClicked();
  void ShowDepth();

  QLineEdit* editBox_ = nullptr;
  int depthKm_ = 0;
};

}  // namespace orvane
