// miniSEED files: any bytes, split into up to three files of one event,
// through the record checks, libmseed's parsing and decoding and the merging
// of every channel. Whatever the bytes, each file is kept or refused with a
// reason, and each channel becomes a consistent record or is refused with one.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "seismogram/KSAC.h"
#include "seismogram/MiniSEED.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  // The first byte says where the input is cut into files (in 64-byte steps).
  const std::size_t step = 64;
  const std::size_t first = (data[0] & 0x0f) * step;
  const std::size_t second = first + ((data[0] >> 4) & 0x0f) * step;
  const std::uint8_t* bytes = data + 1;
  const std::size_t length = size - 1;
  const std::size_t cuts[] = {0, std::min(first, length), std::min(second, length), length};

  orvane::MiniSEEDReader reader;
  for (int f = 0; f < 3; ++f) {
    if (cuts[f + 1] <= cuts[f]) continue;
    orvane::ByteReadError error;
    if (!reader.AddBytes(std::vector<unsigned char>(bytes + cuts[f], bytes + cuts[f + 1]), "fuzz", error)) {
      if (error.reason.empty()) std::abort();
      if (error.offset != orvane::ByteReadError::kWholeFile && error.offset >= cuts[f + 1] - cuts[f]) std::abort();
    }
  }
  const orvane::MiniSEEDData merged = reader.Merge();
  for (const orvane::MiniSEEDRefusal& refusal : merged.refused) {
    if (refusal.what.empty() || refusal.reason.empty()) std::abort();
  }
  for (const orvane::MiniSEEDTrace& trace : merged.traces) {
    const orvane::KSAC& k = *trace.record;
    const std::int32_t npts = k.GetIntHeader(orvane::KSAC::NPTS);
    if (npts <= 0 || npts > orvane::KSAC::kMaxSamples || !k.samples) std::abort();
    const float delta = k.GetFloatHeader(orvane::KSAC::DELTA);
    if (!(delta > 0.0f) || !std::isfinite(delta)) std::abort();
    orvane::FileTime ticks;
    if (!k.GetReferenceFileTime(ticks)) std::abort();
    // Every sample is readable (the memory sanitizer of the build sees it).
    float sum = 0.0f;
    for (std::int32_t i = 0; i < npts; ++i) sum += k.samples[i];
    (void)sum;
    (void)orvane::MicroTimeText(trace.start);
  }
  return 0;
}
