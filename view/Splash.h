#pragma once
// Splash: the title card shown over the globe at the first repaint of the
// main view: title, version, credits and a drawn "Continue" button. Pressing
// and releasing the mouse on the button closes it; it is shown once per run.
// For the keyboard and screen readers it is a dialog (a child of the view,
// not a window of its own) whose Continue is a real push button with the
// focus: Enter, Space and Escape close it, and its description holds the
// texts the card shows.

#include <QDialog>
#include <QString>

#include "platform/Rect.h"

class QPushButton;

namespace orvane {

class Surface;

/// @brief The card's button for a card of @p width × @p height:
/// (7W/16, 14H/16)–(9W/16, 15H/16). Example: 600 × 450 gives (262, 393)–(337, 421).
Rect ContinueButton(int width, int height);

/// @brief Paints the card on @p surface, @p width × @p height, with the
/// button raised or @p pressed. Reads "VELT-2.BMP" through the data-file
/// lookup; a missing or broken picture leaves the card without it.
void PaintSplash(Surface& surface, int width, int height, bool pressed = false);

/// @brief The card's texts as one would read them aloud: title, version (when
/// known), network, organisation and the credits, as sentences.
QString SplashText();

class Splash : public QDialog {
  Q_OBJECT

 public:
  explicit Splash(QWidget* parent = nullptr);

  /// The Continue button (for keys and screen readers; the card draws it).
  QPushButton* ContinueControl() const { return button_; }

  /// Whether the card is up: shown, and not being closed.
  bool IsUp() const { return isVisible() && !dismissed_; }

  /// Closing the card the dialog's way (Escape, Enter) closes it as Continue does.
  void done(int result) override;

 signals:
  /// The card was closed with its button.
  void closed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool Inside(const QPoint& p) const;
  void Dismiss(Qt::FocusReason reason);
  bool pressed_ = false;
  bool dismissed_ = false;
  QPushButton* button_ = nullptr;
};

}  // namespace orvane
