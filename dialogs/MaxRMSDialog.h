#pragma once
// The maximum-RMS dialog: a modal dialog "Maximum RMS Dialog" that sets the
// whole number of seconds the RMS legend spans. The entry is rounded to a
// multiple of 10 towards zero.
//
//   MaxRMSDialog dialog(parent, maximumRms);
//   if (dialog.exec() == QDialog::Accepted) maximumRms = dialog.maxRms();
//   // repaint the view either way

#include "dialogs/EntryDialog.h"

namespace orvane {

class MaxRMSDialog : public EntryDialog {
  Q_OBJECT

 public:
  /// @brief Builds the dialog showing @p maxRms as "%d".
  MaxRMSDialog(QWidget* parent, int maxRms);

  /// The value shown at first, or after OK the entry (its first 14 characters
  /// read as a decimal integer, 0 when there is none) rounded towards zero to
  /// a multiple of 10: 25 gives 20, 9 gives 0, -15 gives -10.
  int maxRms() const { return maxRms_; }

 protected:
  void OkClicked() override;

 private:
  int maxRms_ = 0;
};

}  // namespace orvane
