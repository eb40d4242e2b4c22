#pragma once
// The help: the HTML pages of data/help/ in a window of their own.

#include <QTextBrowser>

namespace orvane {

class HelpWindow : public QTextBrowser {
  Q_OBJECT

 public:
  /// @brief Shows "help/index.html" found through the data-file lookup, or
  /// says where it was looked for when it is missing.
  explicit HelpWindow(QWidget* parent = nullptr);

  /// @brief Whether the help pages were found.
  bool HasPages() const { return hasPages_; }

 private:
  bool hasPages_ = false;
};

}  // namespace orvane
