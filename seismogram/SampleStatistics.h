#pragma once
// The smallest, largest and mean sample value of a record, with the record's
// exact rounding: a single-precision running sum rounded at every step, the
// minimum replaced whenever "x >= min" fails, the maximum whenever "x > max"
// holds, and the mean as sum / count (the sum itself for no samples). Minimum
// and maximum start at 1.0e20 and -1.0e20.
//
// Samples that are not finite numbers (NaN, +inf, -inf: a gap or a glitch in
// the recording) are left out of all three, and count is the number of finite
// samples: one NaN would otherwise make the mean NaN, and one infinity the
// range infinite, and the whole trace would be drawn as a flat line.
//
// The rules live here once, for KSAC::ComputeMinMaxMean and for the SAC reader,
// which turns the samples' byte order in the same pass.
//
// Why it is written the way it is: the running sum is a chain of dependent
// additions (1,000,000 for a long record), and nothing may shorten it.
// Minimum and maximum written the same way are two more chains of
// compare-and-select that the compiler cannot reorder, and together they cost
// about three times the sum alone. So they are kept in four independent lanes
// (lane j sees samples j, j + 4, ...), which the compiler keeps in one vector
// register each and which fill the time the additions wait anyway; the lanes
// are combined at the end. That gives bit for bit the sequential result:
//   - Without NaN samples, "x >= min" fails exactly when "x < min", and the
//     sequential scan keeps the first of equal values. Equal values have equal
//     bits, except +0.0 and -0.0: when the minimum or maximum is zero, it is
//     taken from the first zero of the samples instead.
//   - A sample that is not finite makes the sum NaN or infinite for good, so
//     a sum that is not finite sends the whole record through a sequential
//     pass that leaves such samples out (a sum of finite samples that grows
//     beyond the float range takes the same pass and gives the same result).
// The loops live in their own source file, where nothing around them competes
// for the registers that the sum and the lanes need.

#include <cstdint>

namespace orvane {

struct SampleStatistics {
  float min = 1.0e20f;
  float max = -1.0e20f;
  float mean = 0.0f;
};

/// Statistics of samples added in order, in as many pieces as the caller likes.
class RunningStatistics {
 public:
  /// @brief Adds @p samples[0] ... @p samples[count - 1], in order.
  void Add(const float* samples, std::int32_t count);

  /// @brief Decodes @p count 32-bit floats stored in the byte order opposite
  /// to the host's from @p bytes into @p samples, and adds them in order.
  /// @p bytes may be the memory of @p samples itself: each word is read
  /// before it is written. The decoding runs a little ahead of the additions
  /// and fills the time they wait.
  void AddSwapped(const unsigned char* bytes, float* samples, std::int32_t count);

  /// @brief The statistics of everything added; @p all holds the @p count
  /// samples added, in order (read again only in the rare cases above).
  SampleStatistics Finish(const float* all, std::int32_t count) const;

 private:
  static constexpr int kLanes = 4;
  float sum_ = 0.0f;
  float low_[kLanes] = {1.0e20f, 1.0e20f, 1.0e20f, 1.0e20f};
  float high_[kLanes] = {-1.0e20f, -1.0e20f, -1.0e20f, -1.0e20f};
};

/// @brief Statistics of @p samples[0] ... @p samples[count - 1], taken in order.
SampleStatistics ComputeSampleStatistics(const float* samples, std::int32_t count);

}  // namespace orvane
