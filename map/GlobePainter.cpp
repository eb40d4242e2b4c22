// GlobePainter: the background kept or drawn straight on, and what lies over
// it on every paint: the trials, the stations with their reach lines, the
// answer key and the trial's description. Also the one picture call.
#include "map/GlobePainter.h"

#include <QImage>
#include <QPoint>
#include <QString>

#include <cmath>
#include <filesystem>
#include <string>

#include "location/RMS.h"
#include "map/DrawingPrimitives.h"
#include "map/Earth.h"
#include "map/GlobeBackground.h"
#include "map/MapPainter.h"
#include "map/MapPicture.h"
#include "map/MisfitMap.h"
#include "platform/Surface.h"
#include "seismogram/KSAC.h"
#include "seismogram/RecordReadouts.h"

namespace orvane {
namespace {

const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);

// ---------------------------------------------------------------------------
// Markers, each outlined with a solid black pen one pixel wide

// A red triangle, corners (x, y-8), (x+7, y+4), (x-7, y+4).
void DrawStationMarker(int x, int y, Surface& surface) {
  const Pen pen = surface.SelectPen(Pen::Solid(kBlack, 1));
  const Brush brush = surface.SelectBrush(Brush::Solid(QColor(255, 0, 0)));
  const QPoint corners[] = {{x, y - 8}, {x + 7, y + 4}, {x - 7, y + 4}};
  surface.Polygon(corners);
  surface.SelectBrush(brush);
  surface.SelectPen(pen);
}

// A black triangle, corners (x, y-6), (x+5, y+3), (x-5, y+3).
void DrawReachMarker(int x, int y, Surface& surface) {
  const Pen pen = surface.SelectPen(Pen::Solid(kBlack, 1));
  const Brush brush = surface.SelectBrush(Brush::Solid(kBlack));
  const QPoint corners[] = {{x, y - 6}, {x + 5, y + 3}, {x - 5, y + 3}};
  surface.Polygon(corners);
  surface.SelectBrush(brush);
  surface.SelectPen(pen);
}

// A blue ten-cornered star, 6 pixels from (x, y) to its tips.
void DrawEpicentreStar(int x, int y, Surface& surface) {
  const Pen pen = surface.SelectPen(Pen::Solid(kBlack, 1));
  const Brush brush = surface.SelectBrush(Brush::Solid(QColor(0, 0, 255)));
  const QPoint corners[] = {{x, y - 6},     {x + 2, y - 2}, {x + 6, y - 2}, {x + 3, y + 1},
                            {x + 4, y + 6}, {x, y + 3},     {x - 4, y + 6}, {x - 3, y + 1},
                            {x - 6, y - 2}, {x - 2, y - 2}};
  surface.Polygon(corners);
  surface.SelectBrush(brush);
  surface.SelectPen(pen);
}

// A disc in rmsColours[rmsClass] with bounding box (x-r, y-r)-(x+r, y+r);
// nothing for a class outside 0..rmsColourCount-1.
void DrawRmsDot(int x, int y, int rmsClass, int r, Surface& surface) {
  if (rmsClass < 0 || rmsClass >= rmsColourCount) return;
  const QColor colour(rmsColours[rmsClass]);
  const Pen pen = surface.SelectPen(Pen::Solid(colour, 1));
  const Brush brush = surface.SelectBrush(Brush::Solid(colour));
  surface.Ellipse(x - r, y - r, x + r, y + r);
  surface.SelectBrush(brush);
  surface.SelectPen(pen);
}

// A white ring with a cross on the answer key, the epicentre of smallest RMS.
void DrawAnswerKey(Surface& surface, const Earth& earth, const MapPicture& picture) {
  const ScreenPoint a = earth.Project(picture.answerLat, picture.answerLon);
  const Pen pen = surface.SelectPen(Pen::Solid(kBlack, 2));
  const Brush brush = surface.SelectBrush(Brush::Solid(kWhite));
  surface.Ellipse(a.x - 7, a.y - 7, a.x + 8, a.y + 8);
  surface.MoveTo(a.x - 4, a.y);
  surface.LineTo(a.x + 5, a.y);
  surface.MoveTo(a.x, a.y - 4);
  surface.LineTo(a.x, a.y + 5);
  surface.SelectBrush(brush);
  surface.SelectPen(pen);
}

// ---------------------------------------------------------------------------
// What lies over the background: trials, stations, the trial's description

// The station's name on the map: kstnm; a record without one (a PSN file
// holds none) is named by its file instead of showing "-12345".
QString StationName(const KSAC& record) {
  const std::string name = record.GetCharHeaderText(KSAC::KSTNM);
  if (!name.empty() && name[0] != '-') return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
  std::string stem = std::filesystem::path(record.fileName).stem().string();
  if (stem.size() > 8) stem.resize(8);
  return QString::fromStdString(stem);
}

void DrawTrials(Surface& surface, const Earth& earth, const MapPicture& picture, float rmsStep) {
  for (const RMS& trial : picture.trials) {
    const ScreenPoint p = earth.Project(trial.lat, trial.lon);
    DrawRmsDot(p.x, p.y, RmsClass(trial.rms, rmsStep), 5, surface);
  }
  const ScreenPoint epicentre = earth.Project(picture.trial.epicentreLat, picture.trial.epicentreLon);
  DrawEpicentreStar(epicentre.x, epicentre.y, surface);
  DrawRmsDot(epicentre.x, epicentre.y, RmsClass(picture.trial.rms, rmsStep), 5, surface);
}

void DrawStations(Surface& surface, const Earth& earth, const MapPicture& picture) {
  const ScreenPoint epicentre = earth.Project(picture.trial.epicentreLat, picture.trial.epicentreLon);
  for (KSAC* record : picture.records) {
    if (record == nullptr) continue;
    const float stla = record->GetFloatHeader(KSAC::STLA);
    const float stlo = record->GetFloatHeader(KSAC::STLO);
    // A station on the far side is hidden by the globe, as the map lines
    // there are; drawn at its mirror point it would stand where it is not.
    if (!Earth::IsNearSide(earth.Rotate(earth.ModelPoint(stla, stlo)))) continue;
    const ScreenPoint s = earth.Project(stla, stlo);
    DrawStationMarker(s.x, s.y, surface);
    DrawLabel(surface, s.x + 10, s.y - 8, nullptr, StationName(*record), palette::kDarkRed, palette::kNone,
              label::kLeft, label::kMiddle);
    // The reach line ends where the observed P time puts the station: at the
    // station when user5 = gcarc. A station at the epicentre (gcarc 0) has no
    // such point and gets no line, and neither does a station without a pick:
    // it has no observed time (its user5 of 0 would put a marker over the
    // trial's star).
    if (!picture.hasTrial || !HasPick(*record)) continue;
    const float gcarc = record->GetFloatHeader(KSAC::GCARC);
    const float f = record->GetFloatHeader(KSAC::USER5) / gcarc;
    if (gcarc == 0.0f || !std::isfinite(f)) continue;
    const int px = TruncatePixel(static_cast<float>(epicentre.x) * (1.0f - f) + static_cast<float>(s.x) * f);
    const int py = TruncatePixel(static_cast<float>(epicentre.y) * (1.0f - f) + static_cast<float>(s.y) * f);
    surface.MoveTo(epicentre.x, epicentre.y);
    const Pen pen = surface.SelectPen(Pen::Solid(kBlack, 1));
    surface.LineTo(px, py);
    surface.SelectPen(pen);
    DrawReachMarker(px, py, surface);
  }
}

// The one-line description of the trial, on a black shadow two pixels to the
// right and below.
void DrawTrialDescription(Surface& surface, const MapPicture& picture) {
  const TrialState& t = picture.trial;
  QString text = QString::fromStdString(
      TrialDescription(t.originTime, t.epicentreLat, t.epicentreLon, picture.depth, t.rms));
  // Trials on another model's tables say so: " ... RMS: 0.81 s  Model: AK135 ".
  if (picture.model != kDefaultEarthModel)
    text += QStringLiteral(" Model: %1 ").arg(QString::fromLatin1(EarthModelTitle(picture.model)));
  const Rect box = DrawLabel(surface, 5, 5, nullptr, text, palette::kDarkBlue, palette::kYellow, label::kLeft,
                             label::kHangs);
  surface.FillSolidRect(box.Offset(2, 2), kBlack);
  DrawLabel(surface, 5, 5, nullptr, text, palette::kDarkBlue, palette::kYellow, label::kLeft, label::kHangs);
}

void DrawMarks(Surface& surface, const Earth& earth, const MapPicture& picture) {
  const float step = RmsStep(picture.maximumRms);
  if (picture.hasTrial) DrawTrials(surface, earth, picture, step);
  DrawStations(surface, earth, picture);
  if (picture.hasAnswerKey) DrawAnswerKey(surface, earth, picture);
  if (picture.hasTrial) DrawTrialDescription(surface, picture);
}

}  // namespace

// ---------------------------------------------------------------------------
// The painter

// The finished background and everything that shaped it. The client size is
// part of the key: after a resize the old picture would sit off-centre.
struct GlobePainter::KeptBackground {
  QImage image;
  float spin = 0.0f;
  float tilt = 0.0f;
  float radius = 0.0f;
  int maximumRms = 0;
  int width = 0;
  int height = 0;
  qreal ratio = 1.0;  // device pixels per unit of the surface it was drawn for
  std::shared_ptr<const MisfitRaster> misfit;  // kept alive, so its address names it

  bool Matches(const MapPicture& p, qreal dpr) const {
    return spin == p.spin && tilt == p.tilt && radius == p.radius && maximumRms == p.maximumRms &&
           width == p.client.Width() && height == p.client.Height() && ratio == dpr && misfit == p.misfit;
  }
};

GlobePainter::GlobePainter(Background background) : background_(background) {}
GlobePainter::~GlobePainter() = default;

const GlobePainter::KeptBackground* GlobePainter::Keep(Surface& surface, const MapPicture& picture,
                                                      const Earth& earth) {
  const qreal ratio = surface.DevicePixelRatio();
  if (kept_ != nullptr && kept_->Matches(picture, ratio)) return kept_.get();
  const Rect& client = picture.client;
  const int w = client.Width();
  const int h = client.Height();
  if (w <= 0 || h <= 0) return nullptr;
  // Drawn off-screen in client coordinates, at the surface's own pixel density.
  auto fresh = std::make_unique<KeptBackground>();
  fresh->image = QImage(qRound(w * ratio), qRound(h * ratio), QImage::Format_RGB32);
  if (fresh->image.isNull()) return nullptr;  // no memory for it: the old one stays
  fresh->image.setDevicePixelRatio(ratio);
  fresh->image.fill(kBlack);
  {
    Surface offscreen(fresh->image);
    offscreen.SetWindowOrigin(client.left, client.top);
    offscreen.FillSolidRect(client, kBlack);
    DrawGlobeBackground(offscreen, earth, client, picture.maximumRms, picture.misfit.get());
  }
  fresh->spin = picture.spin;
  fresh->tilt = picture.tilt;
  fresh->radius = picture.radius;
  fresh->maximumRms = picture.maximumRms;
  fresh->width = w;
  fresh->height = h;
  fresh->ratio = ratio;
  fresh->misfit = picture.misfit;
  kept_ = std::move(fresh);
  return kept_.get();
}

void GlobePainter::Paint(Surface& surface, const MapPicture& picture, Earth& earth) {
  const Rect& client = picture.client;
  earth.SetView(picture.spin, picture.tilt, picture.radius, client.Width(), client.Height());
  surface.FillSolidRect(client, kBlack);
  const KeptBackground* kept = background_ == Background::kKept ? Keep(surface, picture, earth) : nullptr;
  if (kept != nullptr)
    surface.BitBlt(client.left, client.top, kept->image);
  else
    DrawGlobeBackground(surface, earth, client, picture.maximumRms, picture.misfit.get());
  DrawMarks(surface, earth, picture);
}

// ---------------------------------------------------------------------------
// The one picture call (map/MapPainter.h)

void PaintMapPicture(Surface& surface, const MapPicture& picture, Earth& globe, GlobePainter& painter) {
  painter.Paint(surface, picture, globe);
}

void PaintMapPicture(Surface& surface, const MapPicture& picture) {
  Earth own;
  GlobePainter once(GlobePainter::Background::kDrawnStraightOn);
  once.Paint(surface, picture, own);
}

}  // namespace orvane
