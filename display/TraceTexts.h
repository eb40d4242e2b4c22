#pragma once
// The texts the seismogram windows write beside a trace, and the description
// that a screen reader gives of it. The single-seismogram window writes
// fractions of a second in tenths and Delta T with one decimal, the window of
// all seismograms in hundredths and with two.

#include <string>

#include "seismogram/BandPass.h"

namespace orvane {

class KSAC;

/// How finely a window writes times and residuals.
enum class TextPrecision {
  kTenths,      ///< "2025/10/19 07:50:40.8", "  Delta T: 0.7"
  kHundredths,  ///< "2025/10/19 07:50:40.87", "  Delta T: 0.71"
};

/// @brief The record's reference time, "%04d/%02d/%02d %02d:%02d:%02d.%1d" (or
/// ".%02d"), from nzyear, the month and day of nzjday, nzhour, nzmin, nzsec and
/// nzmsec / 100 (or / 10).
std::string ReferenceTimeText(const KSAC& record, TextPrecision precision);

/// @brief The calendar time of the P pick t0 (to the nearest tenth of a second)
/// in the same form; empty when there is no pick.
std::string PickTimeText(const KSAC& record, TextPrecision precision);

/// @brief "  Delta T: %.1f" (or "%.2f") with t1 − t0, followed directly by
/// "Dist: %.1f deg." with gcarc when the trial gave a distance; empty when there
/// is no Delta T (no pick, or no trial since the pick).
/// @return "  Delta T: 0.7Dist: 22.2 deg."
std::string ResidualText(const KSAC& record, TextPrecision precision);

/// @brief "Sample rate: %.3g, Npts: %ld" with 1 / delta and npts.
std::string SampleRateText(const KSAC& record);

/// @brief The station as a screen reader says it: kstnm and kcmpnm without the
/// blanks that pad them in the header, "ANMO BHZ" (or "Component: BHZ" when
/// kstnm is undefined).
std::string SpokenStationLabel(const KSAC& record);

/// @brief The band of a filter as the windows write it: "1-5 Hz", or
/// "1-5 Hz, order 2" for the gentler design (corners as "%g").
std::string FilterText(const BandPass& band);

/// @brief " [1-5 Hz]" while a filter is chosen for the record, else empty:
/// what its station label and the caption of its window carry.
std::string FilterTag(const KSAC& record);

/// @brief The station label with the filter tag: "ANMO BHZ [1-5 Hz]".
std::string StationLineText(const KSAC& record);

/// @brief What a screen reader says of a trace: the spoken station label, the
/// filter, the pick, Delta T and the distance, e.g. "ANMO BHZ. P pick
/// 2025/10/19 07:51:01.2. Delta T 0.7 s. Distance 22.2 degrees.",
/// "ANMO BHZ. No pick." or "ANMO BHZ. Filtered 1 to 5 Hz. No pick."
std::string TraceDescription(const KSAC& record, TextPrecision precision);

/// @brief The same followed by the reference time, for a row that has no room
/// to show it: "ANMO BHZ. No pick. Reference time 2025/10/19 07:50:00.00."
std::string TraceDescriptionWithStart(const KSAC& record, TextPrecision precision);

}  // namespace orvane
