#pragma once
// TOrvaneAboutDlg: the About box. Its texts come from the program's version
// block: "<ProductName> Version <ProductVersion>", the legal notice and, if
// the block has one, a special-build note.

#include <QDialog>

#include "platform/ProjectVersion.h"

class QLabel;

namespace orvane {

class TOrvaneAboutDlg : public QDialog {
  Q_OBJECT

 public:
  /// @brief The box for the program's own version block, or for @p version.
  explicit TOrvaneAboutDlg(QWidget* parent = nullptr, const TProjectRCVersion& version = TProjectRCVersion());

  QLabel* Control(int id) const;

 private:
  QLabel* product_ = nullptr;  // 22001
  QLabel* legal_ = nullptr;    // 22002
  QLabel* special_ = nullptr;  // 22003
};

}  // namespace orvane
