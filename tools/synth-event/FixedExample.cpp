// The first example event, examples/*.sac (see FixedExample.h).
//
// The event, the stations and the random seed are fixed below, so every run
// writes the same files. Arrival times come from the travel-time tables the
// program reads (P.JB, S.JB through the data-file lookup) at the event's depth:
// a student who picks the P onsets exactly and tries the true epicentre gets
// the smallest misfit the program's arithmetic allows. The P pick (t0) is left
// unset; the event fields of the header (evla, evlo, evdp, o) are undefined
// so that the files do not give the answer away. The true event and every
// arrival are printed on standard output.
//
// Nothing here may change the bytes written: the files are committed and the
// tests compare them.

#include "tools/synth-event/FixedExample.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "location/GreatCircle.h"
#include "location/JB.h"
#include "location/PhaseTables.h"
#include "seismogram/Calendar.h"
#include "seismogram/KSAC.h"
#include "seismogram/SeismogramFile.h"
#include "tools/synth-event/Noise.h"

namespace orvane::synth {
namespace {

// The earthquake: off the coast of Hokkaido, 2025-10-19 07:42:18.300 UTC.
constexpr float kLat = 41.3f;
constexpr float kLon = 142.8f;
constexpr float kDepth = 33.0f;
const SYSTEMTIME kOrigin = {2025, 10, 0, 19, 7, 42, 18, 300};

struct Station {
  const char* code;
  float lat, lon, elevation;
  double amplitude;  // site response, a little different at every station
};

// Invented stations at plausible sites.
const Station kStations[] = {
    {"TAIG", 62.03f, 129.68f, 98.0f, 1.1},    // Yakutsk basin
    {"MNGL", 47.87f, 106.92f, 1350.0f, 0.9},  // Mongolian plateau
    {"KODK", 57.79f, -152.41f, 20.0f, 1.3},   // Kodiak Island
    {"NVSB", 54.98f, 82.90f, 160.0f, 0.8},    // West Siberian plain
    {"HVLO", 19.73f, -155.09f, 45.0f, 1.0},   // Hawaii
    {"DRWN", -12.46f, 130.84f, 30.0f, 1.2},   // Top End, Australia
    {"ORPL", 45.52f, -122.68f, 90.0f, 0.9},   // Oregon
    {"KRUN", 67.86f, 20.23f, 390.0f, 0.7},    // Lapland
};

constexpr float kDelta = 0.05f;
constexpr double kPreEvent = 45.0;  // at least so many seconds of noise before P
constexpr double kAfterS = 60.0;    // seconds recorded after S
constexpr double kLongest = 660.0;  // no trace is longer than this (11 minutes)
constexpr std::uint32_t kSeed = 20251019;

// A damped wave train starting at @p onset: rises within a fraction of a
// second, rings at @p frequency, decays with @p decay seconds, plus a coda of
// scattered energy.
double Wavelet(double t, double onset, double amplitude, double frequency, double decay, double codaNoise) {
  const double x = t - onset;
  if (x < 0.0) return 0.0;
  const double rise = 1.0 - std::exp(-x / 0.15);
  const double ring = std::sin(2.0 * M_PI * frequency * x) * std::exp(-x / decay);
  const double coda = 0.25 * codaNoise * std::exp(-x / (6.0 * decay));
  return amplitude * rise * (ring + coda);
}

SYSTEMTIME ToSystemTime(FileTime ticks) {
  SYSTEMTIME t;
  FileTimeToSystemTime(ticks, t);
  t.wDayOfWeek = 0;
  return t;
}

}  // namespace

int WriteFixedExample(const std::filesystem::path& out) {
  const PhaseTables tables = LoadPhaseTables(kDepth);
  const JB& p = *tables.p;
  const JB& s = *tables.s;
  if (p.count != 181 || s.count != 181) {
    std::fprintf(stderr, "synth-event: P.JB and S.JB must be complete tables (found %d and %d rows)\n", p.count,
                 s.count);
    return 1;
  }
  FileTime origin = 0;
  SystemTimeToFileTime(kOrigin, origin);
  std::error_code ec;
  std::filesystem::create_directories(out, ec);

  std::printf("event: %04u-%02u-%02uT%02u:%02u:%02u.%03u  lat %.2f  lon %.2f  depth %.0f km\n", unsigned{kOrigin.wYear},
              unsigned{kOrigin.wMonth}, unsigned{kOrigin.wDay}, unsigned{kOrigin.wHour}, unsigned{kOrigin.wMinute},
              unsigned{kOrigin.wSecond}, unsigned{kOrigin.wMilliseconds}, kLat, kLon, kDepth);
  std::printf("%-6s %-10s %8s %9s %9s %9s\n", "code", "file", "gcarc", "P (s)", "S (s)", "length");
  Noise noise(kSeed);
  for (const Station& st : kStations) {
    const float distance = GreatCircle(st.lat, st.lon, kLat, kLon);
    const double tp = p.TravelTime(distance);
    const double ts = s.TravelTime(distance);
    // The record starts 45 to 85 s before P, on a whole 10 ms.
    const double preEvent = kPreEvent + 40.0 * noise.Uniform();
    const FileTime start = origin + static_cast<FileTime>((tp - preEvent) * 100.0) * 100'000;
    const double offset = static_cast<double>(origin - start) / kTicksPerSecond;
    const double onsetP = offset + tp, onsetS = offset + ts;
    const double length = std::min(onsetS + kAfterS, kLongest);
    const auto npts = static_cast<std::int32_t>(length / kDelta);

    // Amplitudes fall off with distance; microseisms of about 6 s period.
    const double ampP = 90.0 * st.amplitude * std::pow(30.0 / distance, 1.2);
    const double ampS = 2.5 * ampP;
    const double microPhase = 2.0 * M_PI * noise.Uniform();
    auto samples = std::make_unique<float[]>(static_cast<std::size_t>(npts));
    double codaP = 0.0, codaS = 0.0;
    for (std::int32_t i = 0; i < npts; ++i) {
      const double t = i * static_cast<double>(kDelta);
      codaP = 0.9 * codaP + 0.44 * noise.Gaussian();  // band-limited scattering
      codaS = 0.95 * codaS + 0.31 * noise.Gaussian();
      double v = 1.5 * noise.Gaussian() + 3.0 * std::sin(2.0 * M_PI * t / 6.2 + microPhase);
      v += Wavelet(t, onsetP, ampP, 1.0, 3.0, codaP);
      v += Wavelet(t, onsetS, ampS, 0.3, 8.0, codaS);
      samples[static_cast<std::size_t>(i)] = static_cast<float>(v);
    }
    KSAC record(npts, std::move(samples), st.lat, st.lon, st.elevation, kDelta, st.code, "BHZ", ToSystemTime(start));
    record.SetCharHeader(KSAC::KNETWK, "XS");
    record.SetCharHeader(KSAC::KEVNM, "SYNTHETIC");
    record.SetFloatHeader(KSAC::O, KSAC::UNDEFINED_FLOAT);
    const std::string name = std::string(st.code) + ".sac";
    if (auto reason = WriteSeismogramFile((out / name).string(), record)) {
      std::fprintf(stderr, "synth-event: %s: %s\n", name.c_str(), reason->c_str());
      return 1;
    }
    std::printf("%-6s %-10s %8.3f %9.3f %9.3f %9.1f\n", st.code, name.c_str(), distance, onsetP, onsetS, length);
  }
  return 0;
}

}  // namespace orvane::synth
