// The map painter: Earth::DrawMap and what it draws with.
#include <QImage>
#include <QPoint>
#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "location/RMS.h"
#include "map/DrawingPrimitives.h"
#include "map/Earth.h"
#include "map/MapFile.h"
#include "map/MapPainter.h"
#include "map/MisfitMap.h"
#include "platform/DataFile.h"
#include "platform/Surface.h"
#include "seismogram/KSAC.h"
#include "seismogram/RecordReadouts.h"

namespace orvane {
namespace {

const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);

// The finished background and everything that shaped it. The client size is
// part of the key: after a resize the old picture would sit off-centre.
struct MapBackground final : MapCache {
  QImage image;
  float spin = 0.0f;
  float tilt = 0.0f;
  float radius = 0.0f;
  int cachedMaximumRms = 0;
  int width = 0;
  int height = 0;
  qreal ratio = 1.0;  // device pixels per unit of the surface it was drawn for
  std::shared_ptr<const MisfitRaster> misfit;  // kept alive, so its address names it

  bool Matches(float s, float t, float r, int maxRms, int w, int h, qreal dpr,
               const std::shared_ptr<const MisfitRaster>& m) const {
    return spin == s && tilt == t && radius == r && cachedMaximumRms == maxRms && width == w && height == h &&
           ratio == dpr && misfit == m;
  }
};

std::vector<std::string>& FileLog() {
  static std::vector<std::string> log;
  return log;
}

// The log serves tests and diagnostics; in a long session every pan and zoom
// adds six names, so only the latest are kept.
constexpr std::size_t kFileLogLimit = 60;

void LogMapFile(const std::string& name) {
  std::vector<std::string>& log = FileLog();
  if (log.size() >= kFileLogLimit)
    log.erase(log.begin(), log.begin() + static_cast<std::ptrdiff_t>(log.size() - kFileLogLimit + 1));
  log.push_back(name);
}

// Set while DrawMapFile runs; a nested call draws nothing.
bool drawingMapFile = false;

// trunc() of a float pixel coordinate, kept inside the int range.
int TruncPixel(float v) {
  constexpr float kLimit = 1.0e9f;
  if (std::isnan(v)) return 0;
  if (v > kLimit) return static_cast<int>(kLimit);
  if (v < -kLimit) return -static_cast<int>(kLimit);
  return static_cast<int>(v);
}

// The table sine and cosine of every whole minute of latitude and longitude,
// which is all a map file can hold. Filled once from the same tables and the
// same interpolation as Earth::SinDeg/CosDeg, so the values are identical; the
// painter then needs no interpolation per point.
struct MinuteTables {
  // Every int16 value may appear in a file; those beyond the globe are
  // computed the same way (SinDeg reduces them) rather than refused.
  static constexpr int kOffset = 32768;
  std::vector<float> sine, cosine;  // index minutes + kOffset

  explicit MinuteTables(const Earth& earth) : sine(2 * kOffset), cosine(2 * kOffset) {
    for (int m = -kOffset; m < kOffset; ++m) {
      // minutes × (1/60), the product formed in extended precision, kept as a float.
      const float deg = static_cast<float>(static_cast<long double>(m) * static_cast<long double>(1.0 / 60.0));
      sine[m + kOffset] = earth.SinDeg(deg);
      cosine[m + kOffset] = earth.CosDeg(deg);
    }
  }
  float SinOf(std::int16_t m) const { return sine[m + kOffset]; }
  float CosOf(std::int16_t m) const { return cosine[m + kOffset]; }
};

const MinuteTables& Minutes(const Earth& earth) {
  static const MinuteTables tables(earth);
  return tables;
}

// The station's name on the map: kstnm; a record without one (a PSN file
// holds none) is named by its file instead of showing "-12345".
QString StationName(const KSAC& record) {
  const std::string name = record.GetCharHeaderText(KSAC::KSTNM);
  if (!name.empty() && name[0] != '-') return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
  std::string stem = std::filesystem::path(record.fileName).stem().string();
  if (stem.size() > 8) stem.resize(8);
  return QString::fromStdString(stem);
}

}  // namespace

// ---------------------------------------------------------------------------
// Tables and rules

float RmsStep(int maximumRms) {
  const float step = static_cast<float>(maximumRms / 10);
  return step < 1.0f ? 0.5f : step;
}

int RmsClass(float rms, float step) {
  if (!(rms >= 0.0f) || !(step > 0.0f)) return std::numeric_limits<int>::max();
  const float q = rms / step;
  if (!(q < 1.0e6f)) return std::numeric_limits<int>::max();
  return static_cast<int>(q);
}

int MapLevel(int clientHeight, float radius) {
  if (!(radius > 0.0f)) return 3;
  const float q = static_cast<float>(4 * static_cast<long long>(clientHeight)) / radius;
  if (!(q < 4.0f)) return 3;
  if (q < 0.0f) return 0;
  return static_cast<int>(q);
}

ScaleBar ComputeScaleBar(int clientRight, float radius) {
  ScaleBar bar;
  if (clientRight <= 0) return bar;  // no width, no scale (log10 of 0)
  const float pixelsPerKm = static_cast<float>(radius * 0.0001569612305760477);
  const double target = clientRight / (10.0 * pixelsPerKm);
  if (!std::isfinite(target) || !(target > 0.0) || target > 1.0e8) return bar;
  const double e = std::log10(target);
  const int n = static_cast<int>(e);
  const double m = std::pow(10.0, e - n);
  const double step = m < 2.0 ? 2.0 : (m < 5.0 ? 5.0 : 10.0);
  bar.barKm = static_cast<int>(std::pow(10.0, n) * step);
  bar.barPixels = TruncPixel(static_cast<float>(bar.barKm) * pixelsPerKm);
  bar.shown = true;
  return bar;
}

std::string RmsLegendText(int k, float step) {
  char text[64];
  std::snprintf(text, sizeof text, " %g", static_cast<double>(static_cast<float>(k) * step));
  return text;
}

namespace {
std::string CoordinateText(float value, char positive, char negative) {
  char text[64];
  std::snprintf(text, sizeof text, "%6.2f%c", static_cast<double>(std::fabs(value)),
                value >= 0.0f ? positive : negative);
  return text;
}
}  // namespace

std::string LatitudeText(float lat) { return CoordinateText(lat, 'N', 'S'); }
std::string LongitudeText(float lon) { return CoordinateText(lon, 'E', 'W'); }

std::string TrialDescription(const SYSTEMTIME& t, float lat, float lon, float depth, float rms) {
  char text[256];
  std::snprintf(text, sizeof text, " %04d/%02d/%02d %02d:%02d:%02d %s  %s  Depth: %.0f km  RMS: %0.2f s ",
                int{t.wYear}, int{t.wMonth}, int{t.wDay}, int{t.wHour}, int{t.wMinute}, int{t.wSecond},
                LatitudeText(lat).c_str(), LongitudeText(lon).c_str(), static_cast<double>(depth),
                static_cast<double>(rms));
  return text;
}

const std::vector<std::string>& MapFilesOpened() { return FileLog(); }
void ClearMapFileLog() { FileLog().clear(); }

// ---------------------------------------------------------------------------
// Markers

void Earth::DrawStationMarker(int x, int y, Surface& surface) {
  const Pen pen = surface.SelectPen(Pen::Solid(kBlack, 1));
  const Brush brush = surface.SelectBrush(Brush::Solid(QColor(255, 0, 0)));
  const QPoint corners[] = {{x, y - 8}, {x + 7, y + 4}, {x - 7, y + 4}};
  surface.Polygon(corners);
  surface.SelectBrush(brush);
  surface.SelectPen(pen);
}

void Earth::DrawReachMarker(int x, int y, Surface& surface) {
  const Pen pen = surface.SelectPen(Pen::Solid(kBlack, 1));
  const Brush brush = surface.SelectBrush(Brush::Solid(kBlack));
  const QPoint corners[] = {{x, y - 6}, {x + 5, y + 3}, {x - 5, y + 3}};
  surface.Polygon(corners);
  surface.SelectBrush(brush);
  surface.SelectPen(pen);
}

void Earth::DrawEpicentreStar(int x, int y, Surface& surface) {
  const Pen pen = surface.SelectPen(Pen::Solid(kBlack, 1));
  const Brush brush = surface.SelectBrush(Brush::Solid(QColor(0, 0, 255)));
  const QPoint corners[] = {{x, y - 6},     {x + 2, y - 2}, {x + 6, y - 2}, {x + 3, y + 1},
                            {x + 4, y + 6}, {x, y + 3},     {x - 4, y + 6}, {x - 3, y + 1},
                            {x - 6, y - 2}, {x - 2, y - 2}};
  surface.Polygon(corners);
  surface.SelectBrush(brush);
  surface.SelectPen(pen);
}

void Earth::DrawRmsDot(int x, int y, int rmsClass, int r, Surface& surface) {
  if (rmsClass < 0 || rmsClass >= rmsColourCount) return;
  const QColor colour(rmsColours[rmsClass]);
  const Pen pen = surface.SelectPen(Pen::Solid(colour, 1));
  const Brush brush = surface.SelectBrush(Brush::Solid(colour));
  surface.Ellipse(x - r, y - r, x + r, y + r);
  surface.SelectBrush(brush);
  surface.SelectPen(pen);
}

// ---------------------------------------------------------------------------
// Map files

void Earth::DrawMapFile(std::FILE* file, float fileRadius, Surface& surface) {
  if (drawingMapFile || file == nullptr) return;
  drawingMapFile = true;
  struct Clear {
    ~Clear() { drawingMapFile = false; }
  } clear;

  const MinuteTables& minutes = Minutes(*this);
  // Rotate and ToScreen written out, in the same float operations, so that a
  // far-side point costs one row of the matrix.
  const float (&r)[3][3] = rotation;
  MapFile reader(file);
  MapRecord record;
  std::vector<QPoint> run;
  while (reader.Next(record)) {
    surface.SelectPen(Pen::Solid(QColor(mapPenColours[FeatureClass(record.featureCode)]), 1));
    run.clear();
    run.reserve(record.points.size());
    for (const MapPoint& p : record.points) {
      const float cosLat = minutes.CosOf(p.latMinutes);
      float mx = minutes.CosOf(p.lonMinutes) * cosLat;
      float my = minutes.SinOf(p.lonMinutes) * cosLat;
      float mz = minutes.SinOf(p.latMinutes);
      mx *= fileRadius;
      my *= fileRadius;
      mz *= fileRadius;
      const float vx = r[0][0] * mx + r[0][1] * my + r[0][2] * mz;
      if (vx < 0.0f) {
        if (!run.empty()) {
          surface.Polyline(run);
          run.clear();
        }
        continue;
      }
      const float vy = r[1][0] * mx + r[1][1] * my + r[1][2] * mz;
      const float vz = r[2][0] * mx + r[2][1] * my + r[2][2] * mz;
      run.emplace_back(centre.x + TruncPixel(vy), centre.y + TruncPixel(-vz));
    }
    // The last stretch is drawn whatever the class: a line must not vanish
    // because of its colour.
    if (!run.empty()) surface.Polyline(run);
  }
}

// ---------------------------------------------------------------------------
// The background: globe, grid, map layers, scale bar and legend

void Earth::DrawGlobe(Surface& surface, const Rect& client) {
  // A white disc, outlined with the surface's default black pen, as is the
  // grid. When the globe is wider and taller than the client area it covers
  // all of it, and the whole client is filled instead (an ellipse that large
  // is slow and beyond what a device can draw). A tall, narrow client
  // narrower than the globe still gets the disc, or the black sky above and
  // below the globe would turn white.
  surface.SelectBrush(Brush::Solid(kWhite));
  if (static_cast<float>(client.Width()) < radius && static_cast<float>(client.Height()) < radius) {
    surface.Rectangle(client.left, client.top, client.right, client.bottom);
  } else {
    const float cx = static_cast<float>(centre.x);
    const float cy = static_cast<float>(centre.y);
    surface.Ellipse(TruncPixel(cx - radius), TruncPixel(cy - radius), TruncPixel(cx + radius), TruncPixel(cy + radius));
  }
}

void Earth::DrawGrid(Surface& surface) {
  std::vector<QPoint> points;
  points.reserve(361);
  auto rim = [&] {
    points.clear();
    for (int i = 0; i <= 360; ++i)
      points.emplace_back(centre.x + TruncPixel(radius * cosTable[i]), centre.y + TruncPixel(radius * sinTable[i]));
    surface.Polyline(points);
  };
  // A grid line: visible points joined, far-side points lift the pen.
  auto gridPoint = [&](const Vector3& model) {
    const Vector3 v = Rotate(model);
    if (!IsNearSide(v)) {
      surface.Polyline(points);
      points.clear();
      return;
    }
    const ScreenPoint s = ToScreen(v);
    points.emplace_back(s.x, s.y);
  };

  rim();

  // Parallels every 15 degrees from 75 S to 75 N.
  for (int p = -75; p <= 75; p += 15) {
    const float z = p >= 0 ? radius * sinTable[p] : -radius * sinTable[-p];
    const float q = radius * cosTable[p < 0 ? -p : p];
    points.clear();
    for (int i = 0; i <= 360; ++i) gridPoint(Vector3{q * cosTable[i], q * sinTable[i], z});
    surface.Polyline(points);
  }

  rim();

  // Meridians 0, 15, ..., 165 as great circles (each also draws its
  // opposite). The last point repeats the first, so that the circle closes
  // and no meridian has a gap just south of the equator.
  for (int m = 0; m <= 165; m += 15) {
    points.clear();
    for (int i = 0; i <= 360; ++i) {
      const float x = radius * cosTable[m] * cosTable[i];
      const float y = radius * sinTable[m] * cosTable[i];
      const float z = radius * sinTable[i];
      gridPoint(Vector3{x, y, z});
    }
    surface.Polyline(points);
  }
}

void Earth::DrawMapLayers(Surface& surface, int clientHeight) {
  // The level of detail the view asks for; a missing file leaves its layer out.
  const int level = MapLevel(clientHeight, radius);
  for (const char* feature : kMapFeatureNames) {
    const std::string name = std::string(feature) + kMapLevelExtensions[level];
    const std::string path = FindDataFile(name);
    if (path.empty()) continue;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) continue;
    LogMapFile(name);
    DrawMapFile(file, radius, surface);
    std::fclose(file);
  }
}

namespace {

void DrawScaleBar(Surface& surface, const Rect& client, float radius) {
  const int b = client.bottom;
  surface.SelectPen(Pen::Solid(kBlack, 1));
  const ScaleBar bar = ComputeScaleBar(client.right, radius);
  if (!bar.shown) return;
  surface.SelectBrush(Brush::Solid(kWhite));
  surface.Rectangle(5, b - 45, 35 + bar.barPixels + 30, b - 5);
  surface.MoveTo(35, b - 35);
  surface.LineTo(35, b - 25);
  surface.LineTo(35 + bar.barPixels, b - 25);
  surface.LineTo(35 + bar.barPixels, b - 35);
  DrawLabel(surface, 35, b - 25, nullptr, QStringLiteral("0"), palette::kBlack, palette::kNone, label::kCentre,
            label::kHangs);
  DrawLabel(surface, 35 + bar.barPixels, b - 25, nullptr, QStringLiteral("%1 km").arg(bar.barKm), palette::kBlack,
            palette::kNone, label::kCentre, label::kHangs);
}

// The RMS legend above the scale bar: one box per class.
void DrawRmsLegend(Surface& surface, const Rect& client, float rmsStep) {
  const int y0 = (client.bottom - 45) - 20 * rmsColourCount - 5;
  surface.SelectPen(Pen::Solid(kBlack, 1));
  surface.SelectBrush(Brush::Solid(kWhite));
  surface.Rectangle(5, y0 - 20, 65, y0 + 20 * rmsColourCount);
  DrawLabel(surface, 35, y0 - 20, nullptr, QStringLiteral("RMS"), palette::kBlack, palette::kNone, label::kCentre,
            label::kHangs);
  for (int k = 0; k < rmsColourCount; ++k) {
    surface.SelectBrush(Brush::Solid(QColor(rmsColours[k])));
    surface.Rectangle(5, y0 + 20 * k, 25, y0 + 20 * k + 20);
    DrawLabel(surface, 30, y0 + 20 * k, nullptr, QString::fromStdString(RmsLegendText(k, rmsStep)), palette::kBlack,
              palette::kNone, label::kLeft, label::kHangs);
  }
}

}  // namespace

void Earth::DrawBackground(Surface& surface, const Rect& client, int maximumRmsSeconds,
                           const MisfitRaster* misfit) {
  DrawGlobe(surface, client);
  if (misfit != nullptr) DrawMisfit(surface, *misfit, RmsStep(maximumRmsSeconds));
  DrawGrid(surface);
  DrawMapLayers(surface, client.Height());
  DrawScaleBar(surface, client, radius);
  DrawRmsLegend(surface, client, RmsStep(maximumRmsSeconds));
}

void Earth::DrawMisfit(Surface& surface, const MisfitRaster& misfit, float rmsStep) {
  // Each cell in a light shade of its RMS colour, so that the map lines, the
  // dots and the stations stay readable over it; beyond the scale stays white.
  QColor shades[rmsColourCount];
  for (int k = 0; k < rmsColourCount; ++k) {
    const QColor c(rmsColours[k]);
    shades[k] = QColor((c.red() + 255) / 2, (c.green() + 255) / 2, (c.blue() + 255) / 2);
  }
  for (int r = 0; r < misfit.rows; ++r) {
    for (int c = 0; c < misfit.columns; ++c) {
      const float rms = misfit.rms[static_cast<std::size_t>(r) * static_cast<std::size_t>(misfit.columns) +
                                   static_cast<std::size_t>(c)];
      const int k = RmsClass(rms, rmsStep);
      if (!(rms >= 0.0f) || k >= rmsColourCount) continue;
      const int x = misfit.client.left + c * misfit.cell;
      const int y = misfit.client.top + r * misfit.cell;
      surface.FillRect(Rect{x, y, x + misfit.cell, y + misfit.cell}, shades[k]);
    }
  }
  // The rim again, which the cells along the edge may have covered.
  std::vector<QPoint> rim;
  for (int i = 0; i <= 360; ++i)
    rim.emplace_back(centre.x + TruncPixel(radius * cosTable[i]), centre.y + TruncPixel(radius * sinTable[i]));
  surface.SelectPen(Pen::Solid(kBlack, 1));
  surface.Polyline(rim);
}

void Earth::DrawAnswerKey(Surface& surface, const MapPicture& picture) {
  const ScreenPoint a = Project(picture.answerLat, picture.answerLon);
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

void Earth::DrawTrials(Surface& surface, const MapPicture& picture, float rmsStep) {
  for (const RMS& trial : picture.trials) {
    const ScreenPoint p = Project(trial.lat, trial.lon);
    DrawRmsDot(p.x, p.y, RmsClass(trial.rms, rmsStep), 5, surface);
  }
  const ScreenPoint epicentre = Project(picture.trial.epicentreLat, picture.trial.epicentreLon);
  DrawEpicentreStar(epicentre.x, epicentre.y, surface);
  DrawRmsDot(epicentre.x, epicentre.y, RmsClass(picture.trial.rms, rmsStep), 5, surface);
}

void Earth::DrawStations(Surface& surface, const MapPicture& picture) {
  const ScreenPoint epicentre = Project(picture.trial.epicentreLat, picture.trial.epicentreLon);
  for (KSAC* record : picture.records) {
    if (record == nullptr) continue;
    const float stla = record->GetFloatHeader(KSAC::STLA);
    const float stlo = record->GetFloatHeader(KSAC::STLO);
    // A station on the far side is hidden by the globe, as the map lines
    // there are; drawn at its mirror point it would stand where it is not.
    if (!IsNearSide(Rotate(ModelPoint(stla, stlo)))) continue;
    const ScreenPoint s = Project(stla, stlo);
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
    const int px = TruncPixel(static_cast<float>(epicentre.x) * (1.0f - f) + static_cast<float>(s.x) * f);
    const int py = TruncPixel(static_cast<float>(epicentre.y) * (1.0f - f) + static_cast<float>(s.y) * f);
    surface.MoveTo(epicentre.x, epicentre.y);
    const Pen pen = surface.SelectPen(Pen::Solid(kBlack, 1));
    surface.LineTo(px, py);
    surface.SelectPen(pen);
    DrawReachMarker(px, py, surface);
  }
}

namespace {

void DrawTrialDescription(Surface& surface, const MapPicture& picture) {
  const TrialState& t = picture.trial;
  const QString text = QString::fromStdString(
      TrialDescription(t.originTime, t.epicentreLat, t.epicentreLon, picture.depth, t.rms));
  const Rect box = DrawLabel(surface, 5, 5, nullptr, text, palette::kDarkBlue, palette::kYellow, label::kLeft,
                             label::kHangs);
  surface.FillSolidRect(box.Offset(2, 2), kBlack);
  DrawLabel(surface, 5, 5, nullptr, text, palette::kDarkBlue, palette::kYellow, label::kLeft, label::kHangs);
}

}  // namespace

// ---------------------------------------------------------------------------
// The picture

void Earth::Paint(Surface& surface, const MapPicture& picture, bool keepCache) {
  const Rect& client = picture.client;
  const int w = client.Width();
  const int h = client.Height();

  radius = picture.radius;
  centre.x = w / 2;
  centre.y = h / 2;
  surface.FillSolidRect(client, kBlack);
  SetRotation(picture.spin, picture.tilt);

  const qreal ratio = surface.DevicePixelRatio();
  auto* background = dynamic_cast<MapBackground*>(cache.get());
  if (keepCache && background != nullptr &&
      background->Matches(picture.spin, picture.tilt, picture.radius, picture.maximumRms, w, h, ratio,
                          picture.misfit)) {
    surface.BitBlt(client.left, client.top, background->image);
  } else if (keepCache && w > 0 && h > 0) {
    // The background is drawn off-screen in client coordinates, at the
    // surface's own pixel density, kept, and copied in.
    auto fresh = std::make_unique<MapBackground>();
    fresh->image = QImage(qRound(w * ratio), qRound(h * ratio), QImage::Format_RGB32);
    if (!fresh->image.isNull()) {
      fresh->image.setDevicePixelRatio(ratio);
      fresh->image.fill(kBlack);
      {
        Surface offscreen(fresh->image);
        offscreen.SetWindowOrigin(client.left, client.top);
        offscreen.FillSolidRect(client, kBlack);
        DrawBackground(offscreen, client, picture.maximumRms, picture.misfit.get());
      }
      surface.BitBlt(client.left, client.top, fresh->image);
      fresh->spin = picture.spin;
      fresh->tilt = picture.tilt;
      fresh->radius = picture.radius;
      fresh->cachedMaximumRms = picture.maximumRms;
      fresh->width = w;
      fresh->height = h;
      fresh->ratio = ratio;
      fresh->misfit = picture.misfit;
      cache = std::move(fresh);
      cachedSpin = picture.spin;
      cachedTilt = picture.tilt;
      cachedRadius = picture.radius;
    } else {
      // No memory for the picture: draw it straight on, uncached.
      DrawBackground(surface, client, picture.maximumRms, picture.misfit.get());
    }
  } else {
    // A printer, a preview, an image, or an empty client area: drawn straight
    // on at the device's resolution, nothing kept.
    DrawBackground(surface, client, picture.maximumRms, picture.misfit.get());
  }

  const float step = RmsStep(picture.maximumRms);
  if (picture.hasTrial) DrawTrials(surface, picture, step);
  DrawStations(surface, picture);
  if (picture.hasAnswerKey) DrawAnswerKey(surface, picture);
  if (picture.hasTrial) DrawTrialDescription(surface, picture);
}

void Earth::DrawMap(Surface& surface, float spin, float tilt, float viewRadius, const Rect& client,
                    std::span<KSAC* const> records, const SYSTEMTIME& originTime, float trialLat,
                    float trialLon, float trialDepth, float trialRms) {
  MapPicture picture;
  picture.spin = spin;
  picture.tilt = tilt;
  picture.radius = viewRadius;
  picture.client = client;
  picture.records = records;
  picture.trials = trialList;
  // A trial latitude of exactly 0.0 stands for "no trial" in this call.
  picture.hasTrial = trialLat != 0.0f;
  picture.trial = TrialState{trialLat, trialLon, originTime, trialRms};
  picture.depth = trialDepth;
  picture.maximumRms = maximumRms;
  Paint(surface, picture, true);
}

void PaintMapPicture(Surface& surface, const MapPicture& picture, Earth& globe) {
  globe.Paint(surface, picture, true);
}

void PaintMapPicture(Surface& surface, const MapPicture& picture) {
  Earth own;
  own.Paint(surface, picture, false);
}

}  // namespace orvane
