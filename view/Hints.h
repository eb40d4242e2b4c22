#pragma once
// The hints window: a small captioned window inside the main view that shows
// an instruction text read-only, "init.txt" at start-up and "picking.txt"
// after each event opening.
//
//   auto* hints = new Hints(nullptr, 0, 0, 400, 300, "Hints");
//   QMdiSubWindow* frame = hints->showIn(view);  // deleted when the user closes it
//   hints->LoadText("init.txt");
//
// Keep a QPointer to the sub-window (or to the Hints) to notice that the user
// closed it; to remove the window, close or delete the sub-window.

#include <QRect>
#include <QString>
#include <QWidget>

class QMdiArea;
class QMdiSubWindow;
class QPlainTextEdit;

namespace orvane {

class Hints : public QWidget {
  Q_OBJECT

 public:
  /// @brief A hints window whose frame is to stand at (@p x, @p y) with the
  /// outer size @p w x @p h and the caption @p title. The text area takes
  /// (10, 10) with the size (w - 20) x (h - 50) and starts empty. Nothing is
  /// shown until showIn().
  Hints(QWidget* parent, int x, int y, int w, int h, const QString& title);

  /// @brief Fills the text area from the hints text @p name, found through the
  /// data-file lookup, line by line (see ReadHintLines): every line followed by
  /// a line break, the view at the beginning of the text. A text that cannot
  /// be found or opened leaves the area empty; nothing is reported.
  void LoadText(const QString& name);

  /// @brief Puts the window into @p area as a sub-window with a caption,
  /// a close button and a minimise button and no sizing border, at the place
  /// and size given to the constructor, and shows it. The sub-window is
  /// deleted, with this window, when it is closed.
  /// @return The sub-window, owned by @p area.
  QMdiSubWindow* showIn(QMdiArea* area);

  /// The read-only text area.
  QPlainTextEdit* textArea() const { return textArea_; }
  /// Place and outer size of the window's frame, as given to the constructor.
  QRect frameRect() const { return frameRect_; }

 private:
  QPlainTextEdit* textArea_ = nullptr;
  QRect frameRect_;
};

}  // namespace orvane
