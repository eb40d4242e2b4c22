#pragma once
// Splash: the title card shown over the globe at the first repaint of the
// main view: title, version, credits and a drawn "Continue" button. Pressing
// and releasing the mouse on the button closes it; it is shown once per run.

#include <QWidget>

#include "platform/Rect.h"

namespace orvane {

class Surface;

/// @brief The card's button for a card of @p width × @p height:
/// (7W/16, 14H/16)–(9W/16, 15H/16). Example: 600 × 450 gives (262, 393)–(337, 421).
Rect ContinueButton(int width, int height);

/// @brief Paints the card on @p surface, @p width × @p height, with the
/// button raised or @p pressed. Reads "VELT-2.BMP" through the data-file
/// lookup; a missing or broken picture leaves the card without it.
void PaintSplash(Surface& surface, int width, int height, bool pressed = false);

class Splash : public QWidget {
  Q_OBJECT

 public:
  explicit Splash(QWidget* parent = nullptr);

  Rect continueButton;  ///< where the button is, set by every paint

 signals:
  /// The card was closed with its button.
  void closed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool Inside(const QPoint& p) const;
  bool pressed_ = false;
};

}  // namespace orvane
