#pragma once
// FilterDialog: a band-pass of the student's own choosing for one seismogram
// ("Custom filter"): the lower and the upper corner in hertz and the order
// of the design, 2 (gentler) or 4 (steeper). OK is the default button
// (Enter): it takes the band when the seismogram's sampling can carry it,
// and otherwise the dialog stays open and says why under the fields. Cancel
// (or Escape) leaves the filter as it was.
//
// Controls, found by object name: "filterLow" and "filterHigh" the corners
// (QDoubleSpinBox, Hz), "filterOrder" the order (QComboBox), "filterReason"
// the line that says why a band was refused (QLabel), "filterButtons" OK
// and Cancel (QDialogButtonBox).

#include <QDialog>

#include "seismogram/BandPass.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;

namespace orvane {

class FilterDialog : public QDialog {
  Q_OBJECT

 public:
  /// @brief The dialog for the seismogram @p station (as a screen reader says
  /// it) sampled @p delta seconds apart, showing @p initial.
  FilterDialog(QWidget* parent, const QString& station, const BandPass& initial, double delta);

  /// The band the fields show.
  BandPass Band() const;

 public slots:
  /// OK: closes with the band, or stays and says why it cannot be.
  void accept() override;

 private:
  QDoubleSpinBox* low = nullptr;
  QDoubleSpinBox* high = nullptr;
  QComboBox* order = nullptr;
  QLabel* reason = nullptr;
  double delta = 0.0;
};

}  // namespace orvane
