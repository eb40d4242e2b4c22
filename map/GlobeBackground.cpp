#include "map/GlobeBackground.h"

#include <QColor>
#include <QPoint>
#include <QString>

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "map/DrawingPrimitives.h"
#include "map/Earth.h"
#include "map/MapFile.h"
#include "map/MapPainter.h"
#include "map/MisfitMap.h"
#include "platform/DataFile.h"
#include "platform/Surface.h"

namespace orvane {
namespace {

const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);

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

// Draws the records of an open map data file that lie on the near hemisphere,
// with the rotation and centre of @p earth and the given radius: one polyline
// per visible stretch of a record, in the pen colour of its feature class.
// Does nothing when called again while it runs.
void DrawMapFile(const Earth& earth, std::FILE* file, float fileRadius, Surface& surface) {
  if (drawingMapFile || file == nullptr) return;
  drawingMapFile = true;
  struct Clear {
    ~Clear() { drawingMapFile = false; }
  } clear;

  const MinuteTables& minutes = Minutes(earth);
  // Rotate and ToScreen written out, in the same float operations, so that a
  // far-side point costs one row of the matrix.
  const float (&r)[3][3] = earth.rotation;
  const ScreenPoint centre = earth.centre;
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
      run.emplace_back(centre.x + TruncatePixel(vy), centre.y + TruncatePixel(-vz));
    }
    // The last stretch is drawn whatever the class: a line must not vanish
    // because of its colour.
    if (!run.empty()) surface.Polyline(run);
  }
}

void DrawGlobe(Surface& surface, const Earth& earth, const Rect& client) {
  // A white disc, outlined with the surface's default black pen, as is the
  // grid. When the globe is wider and taller than the client area it covers
  // all of it, and the whole client is filled instead (an ellipse that large
  // is slow and beyond what a device can draw). A tall, narrow client
  // narrower than the globe still gets the disc, or the black sky above and
  // below the globe would turn white.
  const float radius = earth.radius;
  surface.SelectBrush(Brush::Solid(kWhite));
  if (static_cast<float>(client.Width()) < radius && static_cast<float>(client.Height()) < radius) {
    surface.Rectangle(client.left, client.top, client.right, client.bottom);
  } else {
    const float cx = static_cast<float>(earth.centre.x);
    const float cy = static_cast<float>(earth.centre.y);
    surface.Ellipse(TruncatePixel(cx - radius), TruncatePixel(cy - radius), TruncatePixel(cx + radius),
                    TruncatePixel(cy + radius));
  }
}

// The rim of the disc: 361 points of a closed circle.
std::vector<QPoint> Rim(const Earth& earth) {
  std::vector<QPoint> rim;
  rim.reserve(361);
  for (int i = 0; i <= 360; ++i)
    rim.emplace_back(earth.centre.x + TruncatePixel(earth.radius * earth.cosTable[i]),
                     earth.centre.y + TruncatePixel(earth.radius * earth.sinTable[i]));
  return rim;
}

void DrawGrid(Surface& surface, const Earth& earth) {
  const float radius = earth.radius;
  const float* sinTable = earth.sinTable;
  const float* cosTable = earth.cosTable;
  std::vector<QPoint> points;
  points.reserve(361);
  // A grid line: visible points joined, far-side points lift the pen.
  auto gridPoint = [&](const Vector3& model) {
    const Vector3 v = earth.Rotate(model);
    if (!Earth::IsNearSide(v)) {
      surface.Polyline(points);
      points.clear();
      return;
    }
    const ScreenPoint s = earth.ToScreen(v);
    points.emplace_back(s.x, s.y);
  };

  const std::vector<QPoint> rim = Rim(earth);
  surface.Polyline(rim);

  // Parallels every 15 degrees from 75 S to 75 N.
  for (int p = -75; p <= 75; p += 15) {
    const float z = p >= 0 ? radius * sinTable[p] : -radius * sinTable[-p];
    const float q = radius * cosTable[p < 0 ? -p : p];
    points.clear();
    for (int i = 0; i <= 360; ++i) gridPoint(Vector3{q * cosTable[i], q * sinTable[i], z});
    surface.Polyline(points);
  }

  surface.Polyline(rim);

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

void DrawMapLayers(Surface& surface, const Earth& earth, int clientHeight) {
  // The level of detail the view asks for; a missing file leaves its layer out.
  const int level = MapLevel(clientHeight, earth.radius);
  for (const char* feature : kMapFeatureNames) {
    const std::string name = std::string(feature) + kMapLevelExtensions[level];
    const std::string path = FindDataFile(name);
    if (path.empty()) continue;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) continue;
    LogMapFile(name);
    DrawMapFile(earth, file, earth.radius, surface);
    std::fclose(file);
  }
}

void DrawMisfit(Surface& surface, const Earth& earth, const MisfitRaster& misfit, float rmsStep) {
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
  surface.SelectPen(Pen::Solid(kBlack, 1));
  surface.Polyline(Rim(earth));
}

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

void DrawGlobeBackground(Surface& surface, const Earth& earth, const Rect& client, int maximumRmsSeconds,
                         const MisfitRaster* misfit) {
  DrawGlobe(surface, earth, client);
  if (misfit != nullptr) DrawMisfit(surface, earth, *misfit, RmsStep(maximumRmsSeconds));
  DrawGrid(surface, earth);
  DrawMapLayers(surface, earth, client.Height());
  DrawScaleBar(surface, client, earth.radius);
  DrawRmsLegend(surface, client, RmsStep(maximumRmsSeconds));
}

const std::vector<std::string>& MapFilesOpened() { return FileLog(); }
void ClearMapFileLog() { FileLog().clear(); }

}  // namespace orvane
