// SAC files: any bytes through the byte-level reader into a record, then the
// record's time and pick arithmetic and the writer's encoding. Whatever the
// bytes, a read either succeeds with a consistent record or says why not.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "seismogram/KSAC.h"
#include "seismogram/SACFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::span<const unsigned char> bytes(data, size);
  orvane::KSAC record;
  auto failure = orvane::ParseSAC(bytes, record);
  if (failure) {
    if (failure->reason.empty() || record.samples != nullptr) std::abort();
    return 0;
  }
  const std::int32_t npts = record.GetIntHeader(orvane::KSAC::NPTS);
  if (npts < 0 || npts > orvane::KSAC::kMaxSamples) std::abort();
  if (size < orvane::kSACHeaderBytes + 4 * static_cast<std::size_t>(npts)) std::abort();
  if (npts > 0 && record.samples == nullptr) std::abort();

  // The rest of the record's interface on whatever the header holds.
  record.ComputeReferenceSeconds();
  for (int n = 0; n < 10; ++n) {
    (void)record.GetPickSystemTime(n);
    (void)record.GetPickSeconds(n);
  }
  for (int i = 0; i < orvane::KSAC::kCharCount; ++i) (void)record.GetCharHeader(i);

  // Encoding and decoding again gives the same header and samples.
  std::vector<unsigned char> out(orvane::kSACHeaderBytes + 4 * static_cast<std::size_t>(npts));
  orvane::EncodeSACHeader(record.header.get(), out.data());
  orvane::EncodeSACSamples(record.samples.get(), static_cast<std::size_t>(npts),
                           out.data() + orvane::kSACHeaderBytes);
  // Every encoded header comes back unchanged, except a version that tells
  // nothing (outside 1-20), which is written as 6.
  const std::int32_t version = record.GetIntHeader(orvane::KSAC::NVHDR);
  if (version < 1 || version > 20) record.SetIntHeader(orvane::KSAC::NVHDR, 6);
  orvane::KSAC again;
  if (orvane::ParseSAC(out, again)) std::abort();
  if (std::memcmp(record.header.get(), again.header.get(), orvane::KSAC::kHeaderBytes) != 0) std::abort();
  if (npts > 0 && std::memcmp(record.samples.get(), again.samples.get(), 4 * static_cast<std::size_t>(npts)) != 0)
    std::abort();
  return 0;
}
