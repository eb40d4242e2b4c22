#pragma once
// The trace of a seismogram as one polyline through all its samples, drawn on
// a Surface in time proportional to the columns it covers rather than to the
// samples.
//
// The windows define the trace as: the pen at the point of sample 0, then a
// line to the point of every sample in turn, up to and including the first
// point at or beyond the right edge (the rest is clipped anyway), with a thin
// pen that leaves out the end point of each line. A sample that is not a finite
// number (a gap or a glitch in the recording) is left out together with both
// lines that would meet it: the polyline ends at the finite sample before it
// and starts again at the finite sample after it. Where many samples share one
// pixel column, their lines only paint that column from the highest to the
// lowest of them, and the line into the next column starts from the last one.
// DrawTrace therefore draws per column the first point, the lowest, the
// highest and the last, and joins the columns as the full polyline does; the
// last column of the trace, whose own end point stays unpainted, is reduced
// so that exactly the same pixels come out. The picture is pixel for pixel the
// full polyline's (the tests compare the two on images), and a repaint costs
// one pass over the visible samples for their extremes plus a few points per
// column.

#include <cstdint>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

#include "seismogram/BandPass.h"

namespace orvane {

class KSAC;
class Surface;

/// Where a sample falls across: x = trunc(float(i) × step + offset), in floats.
/// One seismogram: step = pixels per sample, offset = −scrollOffset. A row of
/// the common clock: step = pixels per second × delta, offset = the row's first
/// column.
struct SampleColumns {
  float step = 1.0f;
  float offset = 0.0f;
  int X(std::int64_t i) const;
};

/// Where a sample value falls down: y = trunc(centre − (value − mean) × scale),
/// positive amplitude upwards. A value that is not a number sits on the centre
/// line (DrawTrace leaves such samples out); values beyond the screen are held
/// at ±2^30.
struct SampleRows {
  int centre = 0;
  double mean = 0.0;
  double scale = 1.0;
  int Y(float value) const;
};

/// @brief Draws the trace of @p samples with the surface's selected pen (thin),
/// exactly as the full polyline described above, broken where a sample is not
/// a finite number, for a trace area @p width columns wide starting at logical
/// x = 0. Nothing for no samples, or for a column step that is not a positive
/// finite number (no time axis).
void DrawTrace(Surface& surface, std::span<const float> samples, const SampleColumns& columns,
               const SampleRows& rows, int width);

/// @brief For each column 0 … @p width − 1, the largest deviation from @p mean
/// of the finite samples that fall on it (as @p columns places them): the ink a
/// trace one pixel high would lay there. 0 for a column no sample reaches.
/// Costs one pass over the samples on the columns.
std::vector<float> ColumnPeaks(std::span<const float> samples, const SampleColumns& columns, float mean, int width);

/// What a window draws of a record: its samples, or those of its filter, and
/// the smallest, largest and mean of them, by which the trace is scaled.
struct DrawnSamples {
  std::span<const float> samples;
  float min = 0.0f;
  float max = 0.0f;
  float mean = 0.0f;
};

/// The smallest, largest and mean sample of records, computed once per record,
/// and the filtered samples of the records drawn through a band-pass.
///
/// The windows scale every trace by depmin, depmax and depmen, recomputed from
/// all samples at every paint. A record's samples never change while it is
/// shown, so the cache computes them on a record's first paint and afterwards
/// only writes the kept values back into the header, which keeps a repaint of a
/// million samples from summing them each time. A record is known again by its
/// address, its samples array and its count; its filtered samples also by the
/// band chosen and its sampling interval.
class SampleStatisticsCache {
 public:
  /// @brief Sets depmin, depmax and depmen of @p record as ComputeMinMaxMean would.
  void Apply(KSAC& record);
  /// @brief What the windows draw of @p record, after Apply(@p record): its
  /// own samples with the header's statistics or, while a band-pass is chosen
  /// for it (KSAC::filter) that its sampling allows, its samples through that
  /// filter (causal, from rest, restarting after each gap), filtered once per
  /// choice and kept, with the statistics of the filtered samples. The
  /// header keeps the statistics of the record's own samples.
  DrawnSamples Drawn(KSAC& record);
  /// @brief ColumnPeaks of @p samples drawn for @p record, kept from the last
  /// call for the record with the same samples, columns, mean and width: a
  /// repaint at the same zoom and scroll reads no sample again.
  const std::vector<float>& ColumnPeaksOf(const KSAC& record, std::span<const float> samples,
                                          const SampleColumns& columns, float mean, int width);
  void Clear() {
    entries_.clear();
    peaks_.clear();
    filtered_.clear();
  }

 private:
  struct Filtered {
    const float* samples = nullptr;
    std::int32_t npts = 0;
    float delta = 0.0f;
    BandPass band;
    std::vector<float> values;
    float min = 0.0f, max = 0.0f, mean = 0.0f;
  };
  std::unordered_map<const KSAC*, Filtered> filtered_;

  struct Peaks {
    const float* samples = nullptr;
    std::int32_t npts = 0;
    float step = 0.0f, offset = 0.0f, mean = 0.0f;
    int width = 0;
    std::vector<float> peaks;
  };
  std::unordered_map<const KSAC*, Peaks> peaks_;

  struct Entry {
    const float* samples = nullptr;
    std::int32_t npts = 0;
    float min = 0.0f, max = 0.0f, mean = 0.0f;
  };
  std::unordered_map<const KSAC*, Entry> entries_;
};

}  // namespace orvane
