#include "display/TraceDrawing.h"

#include <QPoint>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "display/TraceLayout.h"
#include "platform/Surface.h"
#include "seismogram/BandPassFilter.h"
#include "seismogram/KSAC.h"
#include "seismogram/SampleStatistics.h"

namespace orvane {
namespace {

constexpr double kFarAway = 1073741824.0;  // 2^30 pixels: off every screen, safe to draw towards

// The smallest and largest sample of a run, leaving out NaNs (noted apart).
struct Extremes {
  float min = std::numeric_limits<float>::infinity();
  float max = -std::numeric_limits<float>::infinity();
  bool nan = false;
  bool HasValue() const { return min <= max; }
  /// A NaN or an infinity among the samples: a gap in the trace.
  bool NotFinite() const {
    return nan || min == -std::numeric_limits<float>::infinity() || max == std::numeric_limits<float>::infinity();
  }
};

Extremes ScanExtremes(const float* values, std::size_t count) {
  Extremes e;
  std::size_t i = 0;
#if defined(__SSE2__)
  // Four lanes at a time. min/max return their second operand when the first is
  // a NaN, so NaNs never become an extreme; they are collected separately.
  if (count >= 8) {
    __m128 lo0 = _mm_set1_ps(e.min), lo1 = lo0;
    __m128 hi0 = _mm_set1_ps(e.max), hi1 = hi0;
    __m128 nan = _mm_setzero_ps();
    for (; i + 8 <= count; i += 8) {
      const __m128 a = _mm_loadu_ps(values + i);
      const __m128 b = _mm_loadu_ps(values + i + 4);
      nan = _mm_or_ps(nan, _mm_or_ps(_mm_cmpunord_ps(a, a), _mm_cmpunord_ps(b, b)));
      lo0 = _mm_min_ps(a, lo0);
      lo1 = _mm_min_ps(b, lo1);
      hi0 = _mm_max_ps(a, hi0);
      hi1 = _mm_max_ps(b, hi1);
    }
    alignas(16) float lo[4], hi[4];
    _mm_store_ps(lo, _mm_min_ps(lo0, lo1));
    _mm_store_ps(hi, _mm_max_ps(hi0, hi1));
    for (int k = 0; k < 4; ++k) {
      e.min = std::min(e.min, lo[k]);
      e.max = std::max(e.max, hi[k]);
    }
    e.nan = _mm_movemask_ps(nan) != 0;
  }
#endif
  for (; i < count; ++i) {
    const float v = values[i];
    if (v != v) {
      e.nan = true;
      continue;
    }
    if (v < e.min) e.min = v;
    if (v > e.max) e.max = v;
  }
  return e;
}

// The rows covered by the samples of a run: from the row of the largest to the
// row of the smallest (or the other way round for a negative scale), and the
// centre line when a NaN is among them.
void RowSpan(const Extremes& e, const SampleRows& rows, int& top, int& bottom) {
  if (e.HasValue()) {
    const int a = rows.Y(e.min);
    const int b = rows.Y(e.max);
    top = std::min(a, b);
    bottom = std::max(a, b);
    if (e.nan) {
      top = std::min(top, rows.centre);
      bottom = std::max(bottom, rows.centre);
    }
  } else {
    top = bottom = rows.centre;
  }
}

bool Finite(float v) { return std::fabs(v) <= std::numeric_limits<float>::max(); }

class TracePoints {
 public:
  TracePoints(std::span<const float> samples, const SampleColumns& columns, const SampleRows& rows)
      : v_(samples.data()), columns_(columns), rows_(rows) {}

  // The first index of lo … hi − 1 whose column is at least @p x, or hi.
  std::int64_t FirstAtLeast(int x, std::int64_t lo, std::int64_t hi) const {
    while (lo < hi) {
      const std::int64_t mid = lo + (hi - lo) / 2;
      if (columns_.X(mid) >= x)
        hi = mid;
      else
        lo = mid + 1;
    }
    return lo;
  }

  // The first index after @p i (at most last + 1) whose column lies right of @p x.
  std::int64_t NextColumn(std::int64_t i, int x, std::int64_t last) const {
    const double estimate = std::ceil((static_cast<double>(x) + 1.0 - columns_.offset) / columns_.step);
    std::int64_t j = last + 1;
    if (estimate < static_cast<double>(last + 1)) j = std::max<std::int64_t>(i + 1, static_cast<std::int64_t>(estimate));
    j = std::max(j, i + 1);
    while (j > i + 1 && columns_.X(j - 1) > x) --j;
    while (j <= last && columns_.X(j) <= x) ++j;
    return j;
  }

  void Add(int x, int y) { points_.emplace_back(x, y); }

  // A column that the trace leaves: its own lines fill the rows from the first
  // to the lowest, highest and last sample, and the line into the next column
  // starts at the last one, which is therefore painted too.
  void AddColumn(int x, std::int64_t i, std::int64_t j, const Extremes& extremes) {
    int top = 0, bottom = 0;
    RowSpan(extremes, rows_, top, bottom);
    Add(x, rows_.Y(v_[i]));
    Add(x, top);
    Add(x, bottom);
    Add(x, rows_.Y(v_[j - 1]));
  }

  // The column where the trace ends. Its lines cover every row between its
  // extremes except perhaps the row of the very last point, which a thin line
  // leaves out: that row is painted only when some earlier line of the column
  // starts on it or passes it.
  void AddLastColumn(int x, std::int64_t i, std::int64_t last) {
    const int first = rows_.Y(v_[i]);
    const int end = rows_.Y(v_[last]);
    if (i == last) {
      Add(x, first);
      return;
    }
    int top = 0, bottom = 0;
    RowSpan(ScanExtremes(v_ + i, static_cast<std::size_t>(last - i + 1)), rows_, top, bottom);
    if (top == bottom) {
      Add(x, end);
      return;
    }
    if (end > top && end < bottom) {
      // Some line crosses or leaves the end row on the way between the extremes.
      Add(x, first);
      Add(x, top);
      Add(x, bottom);
      Add(x, end);
      return;
    }
    // The end row is an extreme: painted only when it is visited before the run
    // of samples on it that closes the trace (a line then leaves it).
    std::int64_t run = last;
    while (run > i && rows_.Y(v_[run - 1]) == end) --run;
    bool painted = false;
    for (std::int64_t k = i; k < run && !painted; ++k) painted = rows_.Y(v_[k]) == end;
    const int other = end == top ? bottom : top;
    Add(x, first);
    if (painted) {
      Add(x, end);
      Add(x, other);
      Add(x, end);
    } else {
      Add(x, other);
      Add(x, end);
    }
  }

  std::size_t Size() const { return points_.size(); }
  void Truncate(std::size_t size) { points_.resize(size); }

  // Draws the points gathered and starts over; a single point draws nothing.
  void Flush(Surface& surface) {
    if (points_.size() > 1) surface.Polyline(points_);
    points_.clear();
  }

 private:
  const float* v_;
  SampleColumns columns_;
  SampleRows rows_;
  std::vector<QPoint> points_;
};

}  // namespace

int SampleColumns::X(std::int64_t i) const { return TruncToInt(static_cast<float>(i) * step + offset); }

int SampleRows::Y(float value) const {
  const float deviation = value - static_cast<float>(mean);
  const double y = centre - deviation * scale;
  if (std::isnan(y)) return centre;
  return static_cast<int>(std::clamp(y, -kFarAway, kFarAway));
}

void DrawTrace(Surface& surface, std::span<const float> samples, const SampleColumns& columns,
               const SampleRows& rows, int width) {
  const auto n = static_cast<std::int64_t>(samples.size());
  if (n == 0 || width <= 0 || !(columns.step > 0.0f) || !std::isfinite(columns.step) ||
      !std::isfinite(columns.offset))
    return;
  const float* v = samples.data();
  TracePoints trace(samples, columns, rows);

  // The trace ends at the first point at or beyond the right edge.
  std::int64_t last = trace.FirstAtLeast(width, 0, n);
  if (last == n) last = n - 1;
  // Lines left of the area are clipped away; only the one that enters it counts.
  std::int64_t i = std::min(std::max<std::int64_t>(trace.FirstAtLeast(0, 0, n) - 1, 0), last);

  // The first finite sample from @p k on, or last + 1.
  const auto nextFinite = [v, last](std::int64_t k) {
    while (k <= last && !Finite(v[k])) ++k;
    return k;
  };
  // One polyline for every run of finite samples. A column's scan for its
  // extremes also finds a sample that is not finite: the run then ends at the
  // sample before it, and when that sample closed the previous column, that
  // column becomes the run's last.
  i = nextFinite(i);
  while (i <= last) {
    std::int64_t previousFrom = -1, previousTo = 0;
    std::size_t previousPoints = 0;
    int previousX = 0;
    const auto endAtPreviousColumn = [&] {
      if (previousFrom < 0) return;
      trace.Truncate(previousPoints);
      trace.AddLastColumn(previousX, previousFrom, previousTo - 1);
    };
    if (columns.X(i) < 0) {
      // The point the line into the area starts from.
      trace.Add(columns.X(i), rows.Y(v[i]));
      ++i;
    }
    std::int64_t resume = last + 1;
    while (i <= last) {
      const int x = columns.X(i);
      if (x >= width) {
        if (Finite(v[i]))
          trace.Add(x, rows.Y(v[i]));
        else
          endAtPreviousColumn();
        break;
      }
      const std::int64_t j = trace.NextColumn(i, x, last);
      const Extremes extremes = ScanExtremes(v + i, static_cast<std::size_t>(j - i));
      if (extremes.NotFinite()) {
        std::int64_t gap = i;
        while (Finite(v[gap])) ++gap;
        if (gap > i)
          trace.AddLastColumn(x, i, gap - 1);
        else
          endAtPreviousColumn();
        resume = nextFinite(gap + 1);
        break;
      }
      if (j > last) {
        trace.AddLastColumn(x, i, last);
        break;
      }
      previousFrom = i;
      previousTo = j;
      previousX = x;
      previousPoints = trace.Size();
      trace.AddColumn(x, i, j, extremes);
      i = j;
    }
    trace.Flush(surface);
    i = resume;
  }
}

std::vector<float> ColumnPeaks(std::span<const float> samples, const SampleColumns& columns, float mean, int width) {
  std::vector<float> peaks(static_cast<std::size_t>(std::max(0, width)), 0.0f);
  const auto n = static_cast<std::int64_t>(samples.size());
  if (n == 0 || width <= 0 || !(columns.step > 0.0f) || !std::isfinite(columns.step) ||
      !std::isfinite(columns.offset))
    return peaks;
  const TracePoints trace(samples, columns, SampleRows{});
  std::int64_t i = trace.FirstAtLeast(0, 0, n);
  while (i < n) {
    const int x = columns.X(i);
    if (x >= width) break;
    const std::int64_t j = trace.NextColumn(i, x, n - 1);
    const Extremes e = ScanExtremes(samples.data() + i, static_cast<std::size_t>(j - i));
    if (e.HasValue() && x >= 0) {
      const float peak = std::max(std::fabs(e.max - mean), std::fabs(e.min - mean));
      if (std::isfinite(peak)) peaks[static_cast<std::size_t>(x)] = peak;
    }
    i = j;
  }
  return peaks;
}

const std::vector<float>& SampleStatisticsCache::ColumnPeaksOf(const KSAC& record, std::span<const float> samples,
                                                               const SampleColumns& columns, float mean, int width) {
  const auto npts = static_cast<std::int32_t>(samples.size());
  Peaks& kept = peaks_[&record];
  if (kept.samples != samples.data() || kept.npts != npts || kept.step != columns.step ||
      kept.offset != columns.offset || kept.mean != mean || kept.width != width) {
    kept = Peaks{samples.data(), npts, columns.step, columns.offset, mean, width,
                 ColumnPeaks(samples, columns, mean, width)};
  }
  return kept.peaks;
}

DrawnSamples SampleStatisticsCache::Drawn(KSAC& record) {
  const float* samples = record.samples.get();
  const std::int32_t npts = samples != nullptr ? std::max(0, record.GetIntHeader(KSAC::NPTS)) : 0;
  const float delta = record.GetFloatHeader(KSAC::DELTA);
  const DrawnSamples own{std::span<const float>(samples, static_cast<std::size_t>(npts)),
                         record.GetFloatHeader(KSAC::DEPMIN), record.GetFloatHeader(KSAC::DEPMAX),
                         record.GetFloatHeader(KSAC::DEPMEN)};
  // The column peaks of the samples that go are dropped with them: they are
  // known by the address of the samples, which new ones may take.
  const auto drop = [this, &record] {
    if (filtered_.erase(&record) != 0) peaks_.erase(&record);
  };
  if (!record.filter || npts == 0) {
    drop();
    return own;
  }
  Filtered& kept = filtered_[&record];
  if (kept.values.empty() || kept.samples != samples || kept.npts != npts || kept.delta != delta ||
      !(kept.band == *record.filter)) {
    std::string reason;
    const std::optional<BandPassFilter> filter = BandPassFilter::Design(*record.filter, delta, reason);
    if (!filter) {
      // The windows refuse such a choice; one that got here anyway (a record
      // whose sampling cannot carry it) is drawn as it is.
      drop();
      return own;
    }
    peaks_.erase(&record);
    kept = Filtered{samples, npts, delta, *record.filter, std::vector<float>(static_cast<std::size_t>(npts)), 0, 0, 0};
    filter->Apply(samples, kept.values.data(), kept.values.size());
    const SampleStatistics statistics = ComputeSampleStatistics(kept.values.data(), npts);
    kept.min = statistics.min;
    kept.max = statistics.max;
    kept.mean = statistics.mean;
  }
  return DrawnSamples{std::span<const float>(kept.values), kept.min, kept.max, kept.mean};
}

void SampleStatisticsCache::Apply(KSAC& record) {
  const float* samples = record.samples.get();
  const std::int32_t npts = record.GetIntHeader(KSAC::NPTS);
  auto it = entries_.find(&record);
  if (it != entries_.end() && it->second.samples == samples && it->second.npts == npts) {
    record.SetFloatHeader(KSAC::DEPMIN, it->second.min);
    record.SetFloatHeader(KSAC::DEPMAX, it->second.max);
    record.SetFloatHeader(KSAC::DEPMEN, it->second.mean);
    return;
  }
  record.ComputeMinMaxMean();
  entries_[&record] = Entry{samples, npts, record.GetFloatHeader(KSAC::DEPMIN),
                            record.GetFloatHeader(KSAC::DEPMAX), record.GetFloatHeader(KSAC::DEPMEN)};
}

}  // namespace orvane
