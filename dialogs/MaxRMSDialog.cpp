#include "dialogs/MaxRMSDialog.h"

#include "dialogs/EditText.h"

namespace orvane {

MaxRMSDialog::MaxRMSDialog(QWidget* parent, int maxRms)
    : EntryDialog(parent, QStringLiteral("Maximum RMS Dialog"), QStringLiteral("Maximum RMS")), maxRms_(maxRms) {
  SetEntry(QString::number(maxRms_));
}

void MaxRMSDialog::OkClicked() {
  maxRms_ = RoundMaximumRms(ParseEditInteger(Entry()));
  accept();
}

}  // namespace orvane
