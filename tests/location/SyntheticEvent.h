#pragma once
// A synthetic earthquake for the tests: records of stations worldwide whose P
// picks are the travel times of the tables given, from a known epicentre,
// depth and origin time.

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "location/GreatCircle.h"
#include "location/JB.h"
#include "location/TableText.h"
#include "seismogram/KSAC.h"

namespace orvane::test {

struct StationSite {
  const char* code;
  float lat;
  float lon;
};

inline const std::vector<StationSite>& WorldStations() {
  static const std::vector<StationSite> sites = {
      {"KVAR", 64.1f, -21.9f},  {"BREN", 47.3f, 11.4f},   {"NAMB", -22.6f, 17.1f},
      {"OSKA", 34.7f, 135.5f},  {"TARW", -12.4f, 130.8f}, {"QUIL", -0.2f, -78.5f},
      {"HALV", 44.6f, -63.6f},  {"MOSR", 55.7f, 37.6f},   {"CHEN", 13.1f, 80.3f},
      {"WELK", -41.3f, 174.8f}, {"ANCH", 61.2f, -149.9f}, {"SAOV", -23.5f, -46.6f},
      {"KIRU", 67.8f, 20.2f},   {"DAKR", 14.7f, -17.4f},  {"HNLU", 21.3f, -157.9f},
  };
  return sites;
}

/// Stand-in tables when the committed ones are not there: P slows from
/// 13.5 s/deg to 4.5 s/deg at 100 deg, then 2 s/deg; S 1.8 times P.
inline double HandP(int i) {
  const double d = i;
  return d <= 100 ? 13.5 * d - 0.045 * d * d : 900.0 + 2.0 * (d - 100);
}
inline std::string HandTable(double factor) {
  return TableText(181, [=](int i) { return factor * HandP(i); });
}

/// The tables a synthetic event uses: the committed ones when both are
/// complete, otherwise the stand-ins.
inline std::pair<JB, JB> EventTables(float depth) {
  JB p("P", depth), s("S", depth);
  if (p.count == 181 && s.count == 181) return {std::move(p), std::move(s)};
  return {JB::FromText(HandTable(1.0), depth, "P.JB"), JB::FromText(HandTable(1.8), depth, "S.JB")};
}

/// Records of @p count stations for an event at (@p lat, @p lon) at
/// origin 2026-03-01 10:00:00 + @p originSeconds. Each record starts at a
/// whole second some 60 s before its P arrival; its pick is the exact arrival.
inline std::vector<std::unique_ptr<KSAC>> SyntheticRecords(const JB& p, float lat, float lon,
                                                            std::size_t count, double originSeconds = 12.34) {
  std::vector<std::unique_ptr<KSAC>> records;
  for (std::size_t i = 0; i < count; ++i) {
    const StationSite& site = WorldStations()[i % WorldStations().size()];
    // Stations beyond the first round are moved a little so that they differ.
    const float stla = site.lat + 1.3f * static_cast<float>(i / WorldStations().size());
    const float stlo = site.lon + 2.1f * static_cast<float>(i / WorldStations().size());
    const double arrival = originSeconds + p.TravelTime(GreatCircle(stla, stlo, lat, lon));
    const double start = std::floor(arrival - 60.0);
    SYSTEMTIME t;
    t.wYear = 2026;
    t.wMonth = 3;
    t.wDay = 1;
    t.wHour = 10;
    const int whole = static_cast<int>(start) + 3600;  // from 09:00:00
    t.wHour = static_cast<std::uint16_t>(9 + whole / 3600);
    t.wMinute = static_cast<std::uint16_t>((whole / 60) % 60);
    t.wSecond = static_cast<std::uint16_t>(whole % 60);
    auto samples = std::make_unique<float[]>(4);
    auto r = std::make_unique<KSAC>(4, std::move(samples), stla, stlo, 0.0f, 0.05f, site.code, "BHZ", t);
    r->fileName = std::string(site.code) + ".sac";
    r->SetPick(0, static_cast<float>(arrival - start));
    records.push_back(std::move(r));
  }
  return records;
}

}  // namespace orvane::test
