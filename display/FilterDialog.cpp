#include "display/FilterDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <string>

#include "seismogram/BandPassFilter.h"

namespace orvane {
namespace {

QDoubleSpinBox* CornerBox(QWidget* parent, const char* name, double value, const QString& accessibleName,
                          const QString& description) {
  auto* box = new QDoubleSpinBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setDecimals(3);
  box->setRange(0.001, 10000.0);
  box->setSingleStep(0.1);
  box->setSuffix(QStringLiteral(" Hz"));
  box->setValue(value);
  box->setAccessibleName(accessibleName);
  box->setAccessibleDescription(description);
  return box;
}

}  // namespace

FilterDialog::FilterDialog(QWidget* parent, const QString& station, const BandPass& initial, double samplingDelta)
    : QDialog(parent), delta(samplingDelta) {
  setWindowTitle(tr("Custom filter"));
  setAccessibleName(tr("Custom filter"));
  const double nyquist = delta > 0.0 ? 0.5 / delta : 0.0;
  setAccessibleDescription(tr("Band-pass filter for what is drawn of %1; the corners lie below its Nyquist "
                              "frequency of %2 Hz")
                               .arg(station)
                               .arg(nyquist, 0, 'g', 6));

  low = CornerBox(this, "filterLow", initial.low, tr("Lower corner"), tr("In hertz, above 0"));
  high = CornerBox(this, "filterHigh", initial.high, tr("Upper corner"),
                   tr("In hertz, above the lower corner and below %1 Hz").arg(nyquist, 0, 'g', 6));
  order = new QComboBox(this);
  order->setObjectName(QStringLiteral("filterOrder"));
  order->addItem(tr("2 (gentler)"), 2);
  order->addItem(tr("4 (steeper)"), 4);
  order->setCurrentIndex(initial.order == 2 ? 0 : 1);
  order->setAccessibleName(tr("Order"));
  order->setAccessibleDescription(tr("How steeply the filter cuts outside the band"));

  auto* form = new QFormLayout;
  form->addRow(tr("&Lower corner:"), low);
  form->addRow(tr("&Upper corner:"), high);
  form->addRow(tr("&Order:"), order);

  reason = new QLabel(this);
  reason->setObjectName(QStringLiteral("filterReason"));
  reason->setWordWrap(true);
  reason->setAccessibleName(tr("Why the band cannot be used"));
  reason->hide();

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->setObjectName(QStringLiteral("filterButtons"));
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &FilterDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &FilterDialog::reject);

  auto* column = new QVBoxLayout(this);
  column->addWidget(new QLabel(tr("Band-pass for %1 (Nyquist frequency %2 Hz)").arg(station).arg(nyquist, 0, 'g', 6),
                               this));
  column->addLayout(form);
  column->addWidget(reason);
  column->addWidget(buttons);
  low->setFocus();
}

BandPass FilterDialog::Band() const { return BandPass{low->value(), high->value(), order->currentData().toInt()}; }

void FilterDialog::accept() {
  std::string why;
  if (!BandPassFilter::Design(Band(), delta, why)) {
    const QString text = QString::fromStdString(why);
    reason->setText(tr("Not this band: %1.").arg(text));
    reason->setAccessibleDescription(text);
    reason->show();
    (why.find("upper") != std::string::npos ? high : low)->setFocus();
    return;
  }
  QDialog::accept();
}

}  // namespace orvane
