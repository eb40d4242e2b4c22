// The encoding of samples as miniSEED records, through libmseed.
#include "seismogram/MiniSEED.h"

#include <libmseed.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "seismogram/MiniSEEDRecords.h"

namespace orvane {
namespace {

struct PackTarget {
  std::vector<unsigned char>* out;
};

void AppendRecord(char* record, int length, void* handlerData) {
  auto* target = static_cast<PackTarget*>(handlerData);
  target->out->insert(target->out->end(), record, record + length);
}

template <typename T>
std::vector<T> Rounded(std::span<const float> samples) {
  std::vector<T> out(samples.size());
  const double low = static_cast<double>(std::numeric_limits<T>::min());
  const double high = static_cast<double>(std::numeric_limits<T>::max());
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const double v = std::isnan(samples[i]) ? 0.0 : std::nearbyint(static_cast<double>(samples[i]));
    out[i] = static_cast<T>(std::clamp(v, low, high));
  }
  return out;
}

}  // namespace

bool EncodeMiniSEED(const std::string& network, const std::string& station, const std::string& location,
                    const std::string& channel, MicroTime start, double rate, std::span<const float> samples,
                    const MiniSEEDEncoding& encoding, std::vector<unsigned char>& out, std::string& reason) {
  miniseed::CaptureLibraryLog();
  out.clear();
  if (network.size() > 10 || station.size() > 10 || location.size() > 10 || channel.size() > 10) {
    reason = "a network, station, location or channel code is longer than 10 characters";
    return false;
  }
  if (!(rate > 0.0) || !std::isfinite(rate)) {
    reason = "the sampling rate must be a positive number";
    return false;
  }
  MSRecord* msr = msr_init(nullptr);
  if (msr == nullptr) {
    reason = "out of memory";
    return false;
  }
  std::strcpy(msr->network, network.c_str());
  std::strcpy(msr->station, station.c_str());
  std::strcpy(msr->location, location.c_str());
  std::strcpy(msr->channel, channel.c_str());
  msr->dataquality = 'D';
  msr->starttime = start;
  msr->samprate = rate;
  msr->reclen = encoding.recordLength;
  msr->byteorder = encoding.bigEndian ? 1 : 0;

  std::vector<std::int32_t> ints;
  std::vector<float> floats;
  std::vector<double> doubles;
  switch (encoding.kind) {
    case MiniSEEDEncoding::kSteim1:
    case MiniSEEDEncoding::kSteim2:
    case MiniSEEDEncoding::kInt16:
    case MiniSEEDEncoding::kInt32:
      if (encoding.kind == MiniSEEDEncoding::kInt16) {
        const std::vector<std::int16_t> shorts = Rounded<std::int16_t>(samples);
        ints.assign(shorts.begin(), shorts.end());
      } else {
        ints = Rounded<std::int32_t>(samples);
      }
      msr->datasamples = ints.data();
      msr->sampletype = 'i';
      msr->encoding = encoding.kind == MiniSEEDEncoding::kSteim1   ? DE_STEIM1
                      : encoding.kind == MiniSEEDEncoding::kSteim2 ? DE_STEIM2
                      : encoding.kind == MiniSEEDEncoding::kInt16  ? DE_INT16
                                                                   : DE_INT32;
      break;
    case MiniSEEDEncoding::kFloat32:
      floats.assign(samples.begin(), samples.end());
      msr->datasamples = floats.data();
      msr->sampletype = 'f';
      msr->encoding = DE_FLOAT32;
      break;
    case MiniSEEDEncoding::kFloat64:
      doubles.assign(samples.begin(), samples.end());
      msr->datasamples = doubles.data();
      msr->sampletype = 'd';
      msr->encoding = DE_FLOAT64;
      break;
  }
  msr->numsamples = static_cast<std::int64_t>(samples.size());
  PackTarget target{&out};
  std::int64_t packed = 0;
  miniseed::ForgetLibraryMessage();
  const int records = msr_pack(msr, AppendRecord, &target, &packed, 1, 0);
  msr->datasamples = nullptr;  // ours, not the library's
  msr_free(&msr);
  if (records < 0 || packed != static_cast<std::int64_t>(samples.size())) {
    reason = "the samples cannot be packed: " + miniseed::LibraryReason(records < 0 ? records : MS_GENERROR);
    out.clear();
    return false;
  }
  return true;
}

}  // namespace orvane
