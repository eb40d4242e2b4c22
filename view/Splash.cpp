#include "view/Splash.h"

#include <QImage>
#include <QMouseEvent>
#include <QString>

#include <string>

#include "map/DrawingPrimitives.h"
#include "platform/DataFile.h"
#include "platform/ProjectVersion.h"
#include "platform/Surface.h"

namespace orvane {
namespace {

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

}  // namespace

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
  DrawLabel(surface, x, 2 * h, &title, QStringLiteral("Sesmira"), palette::kDarkRed, palette::kNone, label::kCentre,
            label::kMiddle, 1, palette::kBlack);
  DrawLabel(surface, x, 2 * h, &title, QStringLiteral("Sesmira"), palette::kDarkRed, palette::kNone, label::kCentre,
            label::kMiddle, 2, palette::kBlack);
  const TProjectRCVersion version;
  std::string name, number;
  if (version.LookUpString("ProductName", name) && version.LookUpString("ProductVersion", number))
    DrawLabel(surface, x, 4 * h, nullptr, QStringLiteral("Version %1").arg(QString::fromStdString(number)),
              palette::kDarkRed, palette::kNone, label::kCentre, label::kMiddle);
  DrawLabel(surface, x, 5 * h, nullptr, QStringLiteral("VELT"), palette::kBlack, palette::kNone, label::kCentre,
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

Splash::Splash(QWidget* parent) : QWidget(parent) {
  setObjectName("Splash");
  setAccessibleName(tr("Sesmira"));
  setAccessibleDescription(tr("Title card of Orvane with its credits. Press Continue to close it."));
}

void Splash::paintEvent(QPaintEvent*) {
  Surface surface(*this);
  PaintSplash(surface, width(), height(), pressed_);
  continueButton = ContinueButton(width(), height());
  // The pressed look lasts for the paint that the press asked for; a later
  // repaint draws the button raised again.
  pressed_ = false;
}

bool Splash::Inside(const QPoint& p) const {
  return continueButton.left <= p.x() && p.x() < continueButton.right && continueButton.top <= p.y() &&
         p.y() < continueButton.bottom;
}

void Splash::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !Inside(event->position().toPoint())) return;
  pressed_ = true;
  update();
}

void Splash::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !Inside(event->position().toPoint())) return;
  hide();
  emit closed();
  deleteLater();
}

}  // namespace orvane
