#include "app/TOrvaneAboutDlg.h"

#include <QFontMetrics>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>

#include <string>

#include "platform/DataFile.h"

namespace orvane {
namespace {

// Dialog units to pixels with the dialog font: a horizontal unit is a quarter
// of the average character width, a vertical one an eighth of the height.
QRect Units(const QFontMetrics& m, int x, int y, int w, int h) {
  const int cx = m.averageCharWidth();
  const int cy = m.height();
  return QRect(x * cx / 4, y * cy / 8, w * cx / 4, h * cy / 8);
}

}  // namespace

TOrvaneAboutDlg::TOrvaneAboutDlg(QWidget* parent, const TProjectRCVersion& version) : QDialog(parent) {
  setWindowTitle(tr("About Orvane"));
  setObjectName("id22000");
  const QFontMetrics m(font());
  setFixedSize(Units(m, 0, 0, 199, 98).size());

  auto* frame = new QFrame(this);  // the shaded frame around the texts
  frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
  frame->setGeometry(Units(m, 52, 6, 140, 51));

  auto* subtitle = new QLabel(tr("Earthquake Location"), this);
  subtitle->setObjectName("id65535");
  subtitle->setGeometry(Units(m, 55, 9, 134, 9));
  product_ = new QLabel(tr("Version"), this);
  product_->setObjectName("id22001");
  product_->setGeometry(Units(m, 55, 18, 134, 9));
  legal_ = new QLabel(this);
  legal_->setObjectName("id22002");
  legal_->setWordWrap(true);
  legal_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  legal_->setGeometry(Units(m, 55, 27, 134, 27));
  special_ = new QLabel(this);
  special_->setObjectName("id22003");
  special_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  special_->setGeometry(Units(m, 131, 87, 66, 8));

  auto* ok = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), tr("OK"), this);
  ok->setObjectName("id1");
  ok->setDefault(true);
  ok->setGeometry(Units(m, 81, 66, 37, 25));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* picture = new QLabel(this);
  picture->setObjectName("id1450");
  picture->setAccessibleName(tr("Orvane"));
  const QRect place = Units(m, 8, 17, 18, 15);
  picture->setGeometry(place);
  const std::string icon = FindDataFile("icons/orvane.png");
  if (!icon.empty())
    picture->setPixmap(QPixmap(QString::fromStdString(icon))
                           .scaled(place.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));

  std::string name, number, text;
  if (version.LookUpString("ProductName", name) && version.LookUpString("ProductVersion", number))
    product_->setText(QStringLiteral("%1 %2 %3")
                          .arg(QString::fromStdString(name), product_->text().left(127), QString::fromStdString(number)));
  if (version.LookUpString("LegalCopyright", text)) legal_->setText(QString::fromStdString(text));
  if (version.LookUpString("SpecialBuild", text)) special_->setText(QString::fromStdString(text));
}

QLabel* TOrvaneAboutDlg::Control(int id) const {
  switch (id) {
    case 22001: return product_;
    case 22002: return legal_;
    case 22003: return special_;
    default: return nullptr;
  }
}

}  // namespace orvane
