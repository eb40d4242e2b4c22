#pragma once
// The depth entry box: a modal dialog "Depth dialog" with one edit field
// labelled "Depth (km)" that returns a depth as a floating-point number.
//
//   DepthDialog dialog(parent, depth);
//   if (dialog.exec() == QDialog::Accepted) depth = dialog.depthKm();

#include "dialogs/EntryDialog.h"

namespace orvane {

class DepthDialog : public EntryDialog {
  Q_OBJECT

 public:
  /// @brief Builds the dialog showing @p depthKm as "%g"; a depth that is
  /// negative, not a number or infinite shows (and is) 33 instead.
  DepthDialog(QWidget* parent, float depthKm);

  /// The depth shown at first, or after OK the depth read from the edit box
  /// (the longest leading decimal number of its first 14 characters, 0 when
  /// there is none; negative depths pass).
  float depthKm() const { return depthKm_; }

  /// The depth the dialog starts with for @p depthKm.
  static float StartingDepth(float depthKm);

 protected:
  void OkClicked() override;

 private:
  float depthKm_ = 0.0f;
};

}  // namespace orvane
