#include "display/TraceTexts.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "seismogram/Calendar.h"
#include "seismogram/KSAC.h"
#include "seismogram/RecordReadouts.h"

namespace orvane {
namespace {

template <typename... Args>
std::string Format(const char* format, Args... args) {
  char buffer[160];
  const int n = std::snprintf(buffer, sizeof buffer, format, args...);
  if (n < 0) return std::string();
  return std::string(buffer, static_cast<std::size_t>(std::min<int>(n, sizeof buffer - 1)));
}

const char* TimeFormat(TextPrecision precision) {
  return precision == TextPrecision::kTenths ? "%04d/%02d/%02d %02d:%02d:%02d.%01d"
                                             : "%04d/%02d/%02d %02d:%02d:%02d.%02d";
}

int Fraction(int milliseconds, TextPrecision precision) {
  return precision == TextPrecision::kTenths ? milliseconds / 100 : milliseconds / 10;
}

}  // namespace

std::string ReferenceTimeText(const KSAC& record, TextPrecision precision) {
  const int year = record.GetIntHeader(KSAC::NZYEAR);
  int month = 0, day = 0;
  MonthDayFromDayOfYear(record.GetIntHeader(KSAC::NZJDAY), year, month, day);
  return Format(TimeFormat(precision), year, month, day, record.GetIntHeader(KSAC::NZHOUR),
                record.GetIntHeader(KSAC::NZMIN), record.GetIntHeader(KSAC::NZSEC),
                Fraction(record.GetIntHeader(KSAC::NZMSEC), precision));
}

std::string PickTimeText(const KSAC& record, TextPrecision precision) {
  if (!HasPick(record)) return std::string();
  const SYSTEMTIME t = record.GetPickSystemTime(0);
  return Format(TimeFormat(precision), int{t.wYear}, int{t.wMonth}, int{t.wDay}, int{t.wHour}, int{t.wMinute},
                int{t.wSecond}, Fraction(t.wMilliseconds, precision));
}

std::string ResidualText(const KSAC& record, TextPrecision precision) {
  const std::optional<float> residual = DeltaT(record);
  if (!residual) return std::string();
  std::string text = Format(precision == TextPrecision::kTenths ? "  Delta T: %.1f" : "  Delta T: %.2f",
                            static_cast<double>(*residual));
  if (const std::optional<float> distance = TrialDistance(record))
    text += Format("Dist: %.1f deg.", static_cast<double>(*distance));
  return text;
}

std::string SampleRateText(const KSAC& record) {
  return Format("Sample rate: %.3g, Npts: %ld", 1.0 / record.GetFloatHeader(KSAC::DELTA),
                static_cast<long>(record.GetIntHeader(KSAC::NPTS)));
}

std::string SpokenStationLabel(const KSAC& record) {
  const std::string station = TrimmedHeaderText(record, KSAC::KSTNM);
  const std::string component = TrimmedHeaderText(record, KSAC::KCMPNM);
  if (!station.empty() && station[0] == '-') return "Component: " + component;
  return station + " " + component;
}

std::string FilterText(const BandPass& band) {
  std::string text = Format("%g-%g Hz", band.low, band.high);
  if (band.order != 4) text += Format(", order %d", band.order);
  return text;
}

std::string FilterTag(const KSAC& record) {
  return record.filter ? " [" + FilterText(*record.filter) + "]" : std::string();
}

std::string StationLineText(const KSAC& record) { return StationLabel(record) + FilterTag(record); }

std::string TraceDescription(const KSAC& record, TextPrecision precision) {
  std::string text = SpokenStationLabel(record) + ".";
  if (record.filter) {
    text += Format(" Filtered %g to %g Hz", record.filter->low, record.filter->high);
    text += record.filter->order != 4 ? Format(", order %d.", record.filter->order) : std::string(".");
  }
  if (record.leftOut) text += " Left out of the location.";
  if (!HasPick(record)) return text + " No pick.";
  text += " P pick " + PickTimeText(record, precision) + ".";
  // As on the screen: the distance comes with the residual of the trial.
  if (const std::optional<float> residual = DeltaT(record)) {
    text += Format(precision == TextPrecision::kTenths ? " Delta T %.1f s." : " Delta T %.2f s.",
                   static_cast<double>(*residual));
    if (const std::optional<float> distance = TrialDistance(record))
      text += Format(" Distance %.1f degrees.", static_cast<double>(*distance));
  }
  return text;
}

std::string TraceDescriptionWithStart(const KSAC& record, TextPrecision precision) {
  return TraceDescription(record, precision) + " Reference time " + ReferenceTimeText(record, precision) + ".";
}

}  // namespace orvane
