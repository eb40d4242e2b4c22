#pragma once
// Records for the tests of the seismogram windows, built from values:
//
//   auto r = TraceRecord({1, 2, 3}).Delta(0.5f).FirstSample(600.0f).Start(Time(2025, 10, 19, 7, 50)).Build();

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "seismogram/Calendar.h"
#include "seismogram/KSAC.h"

namespace orvane::test {

class TraceRecord {
 public:
  explicit TraceRecord(std::vector<float> samples) : samples_(std::move(samples)) {}

  TraceRecord& Delta(float delta) { delta_ = delta; return *this; }
  TraceRecord& Station(std::string name) { station_ = std::move(name); return *this; }
  TraceRecord& Start(const SYSTEMTIME& start) { start_ = start; return *this; }
  /// The header's b: seconds from the reference time to the first sample.
  TraceRecord& FirstSample(float b) { b_ = b; return *this; }
  TraceRecord& Distance(float gcarc) { gcarc_ = gcarc; return *this; }
  TraceRecord& File(std::string name) { file_ = std::move(name); return *this; }

  /// The record, with its reference seconds computed as an opened event has them.
  std::unique_ptr<KSAC> Build() const {
    auto values = std::make_unique<float[]>(samples_.size());
    std::copy(samples_.begin(), samples_.end(), values.get());
    auto r = std::make_unique<KSAC>(static_cast<std::int32_t>(samples_.size()), std::move(values), 40.0f, 140.0f,
                                    0.0f, delta_, station_, "BHZ", start_);
    r->SetFloatHeader(KSAC::B, b_);
    r->SetFloatHeader(KSAC::GCARC, gcarc_);
    if (!file_.empty()) r->fileName = file_;
    r->ComputeReferenceSeconds();
    return r;
  }

 private:
  std::vector<float> samples_;
  float delta_ = 1.0f;
  std::string station_ = "ANMO";
  SYSTEMTIME start_{2025, 10, 0, 19, 7, 50, 0, 0};
  float b_ = 0.0f;
  float gcarc_ = KSAC::UNDEFINED_FLOAT;
  std::string file_;
};

/// @brief @p count samples of a slow sine with a swing of ±@p amplitude.
inline std::vector<float> Sine(int count, float amplitude = 100.0f, double period = 37.0) {
  std::vector<float> v(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) v[static_cast<std::size_t>(i)] = amplitude * static_cast<float>(std::sin(i * 6.283185307179586 / period));
  return v;
}

}  // namespace orvane::test
