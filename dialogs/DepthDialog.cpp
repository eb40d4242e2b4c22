#include "dialogs/DepthDialog.h"

#include <cmath>

#include "dialogs/EditText.h"

namespace orvane {

DepthDialog::DepthDialog(QWidget* parent, float depthKm)
    : EntryDialog(parent, QStringLiteral("Depth dialog"), QStringLiteral("Depth (km)")),
      depthKm_(StartingDepth(depthKm)) {
  SetEntry(QString::asprintf("%g", static_cast<double>(depthKm_)));
}

float DepthDialog::StartingDepth(float depthKm) {
  // An infinite depth could not be shown as a number and read back either.
  return depthKm >= 0.0f && std::isfinite(depthKm) ? depthKm : 33.0f;
}

void DepthDialog::OkClicked() {
  depthKm_ = ParseEditFloat(Entry());
  accept();
}

}  // namespace orvane
