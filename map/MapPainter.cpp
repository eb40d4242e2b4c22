#include "map/MapPainter.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "location/GreatCircle.h"
#include "map/Earth.h"

namespace orvane {

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
  // The globe's radius stands for the Earth's: pixels per km are radius / 6371,
  // formed as the product with 1/6371 (the figure the bar has always used).
  static_assert(1.0 / kEarthRadiusKm == 0.0001569612305760477);
  const float pixelsPerKm = static_cast<float>(radius * (1.0 / kEarthRadiusKm));
  const double target = clientRight / (10.0 * pixelsPerKm);
  if (!std::isfinite(target) || !(target > 0.0) || target > 1.0e8) return bar;
  const double e = std::log10(target);
  const int n = static_cast<int>(e);
  const double m = std::pow(10.0, e - n);
  const double step = m < 2.0 ? 2.0 : (m < 5.0 ? 5.0 : 10.0);
  bar.barKm = static_cast<int>(std::pow(10.0, n) * step);
  bar.barPixels = TruncatePixel(static_cast<float>(bar.barKm) * pixelsPerKm);
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

}  // namespace orvane
