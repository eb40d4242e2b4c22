#include "view/Splash.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <string>

#include "map/DrawingPrimitives.h"
#include "platform/DataFile.h"
#include "platform/ProjectVersion.h"
#include "platform/Surface.h"

namespace orvane {
namespace {

const char* const kTitle = "Sesmira";
const char* const kNetwork = "VELT";
// The credit lines: a role with the people, then their institutions.
const char* const kOrganisation = "Halvergate: seismology for the classroom";
const char* const kCredits[3][2] = {
    {"Map data GSHHG: P. Wessel and W. H. F. Smith", "University of Hawaii and NOAA"},
    {"Earth model iasp91: B. L. N. Kennett and E. R. Engdahl", "Australian National University and USGS"},
    {"Program: the Orvane developers", "Halvergate"},
};

void DrawButton(Surface& surface, const Rect& button, bool pressed) {
  DrawBevel(surface, button, QColor(standardColours[palette::kLightGrey]), pressed, 3, 0);
  const int offset = pressed ? 1 : 0;
  DrawLabel(surface, (button.left + button.right) / 2 + offset, (button.top + button.bottom) / 2 + offset, nullptr,
            QStringLiteral("Continue"), palette::kBlack, palette::kNone, label::kCentre, label::kMiddle);
}

// The card's Continue as a real button for the keyboard and screen readers.
// The card draws the button (raised, or pressed while a press lasts); this
// one draws only the focus frame over it, and lets the mouse through to the
// card, whose press and release rules hold.
class CardButton : public QPushButton {
 public:
  CardButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (!hasFocus()) return;
    QPainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect().adjusted(5, 4, -5, -4);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
  }
};

std::string VersionNumber() {
  const TProjectRCVersion version;
  std::string name, number;
  if (version.LookUpString("ProductName", name) && version.LookUpString("ProductVersion", number)) return number;
  return {};
}

}  // namespace

QString SplashText() {
  QStringList sentences{QString::fromUtf8(kTitle)};
  const std::string number = VersionNumber();
  if (!number.empty()) sentences << QStringLiteral("Version %1").arg(QString::fromStdString(number));
  sentences << QString::fromUtf8(kNetwork) << QString::fromUtf8(kOrganisation);
  for (const auto& pair : kCredits) sentences << QStringLiteral("%1, %2").arg(QString::fromUtf8(pair[0]), QString::fromUtf8(pair[1]));
  return sentences.join(QStringLiteral(". ")) + QLatin1Char('.');
}

Rect ContinueButton(int width, int height) {
  return Rect{7 * width / 16, 14 * height / 16, 9 * width / 16, 15 * height / 16};
}

void PaintSplash(Surface& surface, int width, int height, bool pressed) {
  SurfaceStateGuard keep(surface);
  const Rect card{0, 0, width, height};
  surface.FillRect(card, QColor(standardColours[palette::kLightGrey]));
  DrawBevel(surface, card, QColor(0, 255, 255), false, 6, 0);
  surface.SelectPen(Pen::Solid(QColor(0, 0, 0), 1));
  surface.MoveTo(0, height);
  surface.LineTo(0, 0);
  surface.LineTo(width, 0);
  const int h = surface.GetTextMetrics().height;

  const std::string picturePath = FindDataFile("VELT-2.BMP");
  if (!picturePath.empty()) {
    const QImage picture(QString::fromStdString(picturePath), "BMP");
    if (!picture.isNull() && picture.width() > 0) surface.BitBlt(10, height - picture.height() - 10, picture);
  }

  const int x = width / 2;
  const QFont title = Surface::CreateFont("Arial", 2 * h, 700);
  DrawLabel(surface, x, 2 * h, &title, QString::fromUtf8(kTitle), palette::kDarkRed, palette::kNone, label::kCentre,
            label::kMiddle, 1, palette::kBlack);
  DrawLabel(surface, x, 2 * h, &title, QString::fromUtf8(kTitle), palette::kDarkRed, palette::kNone, label::kCentre,
            label::kMiddle, 2, palette::kBlack);
  const std::string number = VersionNumber();
  if (!number.empty())
    DrawLabel(surface, x, 4 * h, nullptr, QStringLiteral("Version %1").arg(QString::fromStdString(number)),
              palette::kDarkRed, palette::kNone, label::kCentre, label::kMiddle);
  DrawLabel(surface, x, 5 * h, nullptr, QString::fromUtf8(kNetwork), palette::kBlack, palette::kNone, label::kCentre,
            label::kMiddle);
  const QFont bold = Surface::CreateFont("Arial", h, 700);
  DrawLabel(surface, x, 6 * h, &bold, QString::fromUtf8(kOrganisation), palette::kBlack, palette::kNone,
            label::kCentre, label::kMiddle);
  for (int pair = 0; pair < 3; ++pair)
    for (int line = 0; line < 2; ++line)
      DrawLabel(surface, x, (8 + 2 * pair + line) * h, &bold, QString::fromUtf8(kCredits[pair][line]),
                palette::kBlack, palette::kNone, label::kCentre, label::kMiddle);

  DrawButton(surface, ContinueButton(width, height), pressed);
}

Splash::Splash(QWidget* parent) : QDialog(parent) {
  // A card inside the view, not a window of its own.
  setWindowFlags(Qt::Widget);
  setObjectName("Splash");
  setAccessibleName(tr("Sesmira"));
  setAccessibleDescription(SplashText() + tr(" Press Continue to close this title card."));
  button_ = new CardButton(tr("Continue"), this);
  button_->setObjectName("continueButton");
  button_->setDefault(true);
  connect(button_, &QPushButton::pressed, this, [this] {
    pressed_ = true;
    update();
  });
  connect(button_, &QPushButton::clicked, this, [this] { Dismiss(Qt::OtherFocusReason); });
  setFocusProxy(button_);
}

void Splash::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  const Rect b = ContinueButton(width(), height());
  button_->setGeometry(b.left, b.top, b.right - b.left, b.bottom - b.top);
}

void Splash::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The keys go to the card while it is up.
  button_->setFocus(Qt::OtherFocusReason);
}

void Splash::keyPressEvent(QKeyEvent* event) {
  // Space presses Continue wherever the focus is on the card; Enter and
  // Escape are the dialog's (the default button, and done()).
  if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
    Dismiss(Qt::OtherFocusReason);
    return;
  }
  QDialog::keyPressEvent(event);
}

void Splash::done(int) { Dismiss(Qt::OtherFocusReason); }

void Splash::Dismiss(Qt::FocusReason reason) {
  if (dismissed_) return;
  dismissed_ = true;
  // The globe under the card takes the keys next (the view is the focus
  // proxy of the widget the card lies on).
  if (isAncestorOf(QApplication::focusWidget()) && parentWidget() != nullptr) parentWidget()->setFocus(reason);
  hide();
  emit closed();
  deleteLater();
}

void Splash::paintEvent(QPaintEvent*) {
  Surface surface(*this);
  PaintSplash(surface, width(), height(), pressed_);
  // The pressed look lasts for the paint that the press asked for; a later
  // repaint draws the button raised again.
  pressed_ = false;
}

bool Splash::Inside(const QPoint& p) const {
  const Rect button = ContinueButton(width(), height());
  return button.left <= p.x() && p.x() < button.right && button.top <= p.y() && p.y() < button.bottom;
}

void Splash::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !Inside(event->position().toPoint())) return;
  pressed_ = true;
  update();
}

void Splash::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !Inside(event->position().toPoint())) return;
  Dismiss(Qt::MouseFocusReason);
}

}  // namespace orvane
