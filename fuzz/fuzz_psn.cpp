// PSN files: any bytes through the byte-level reader; an accepted file is
// converted into a KSAC and must encode and decode back to the same record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "seismogram/KSAC.h"
#include "seismogram/PSN.h"
#include "seismogram/PSNFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orvane::PSN record;
  orvane::ByteReadError error;
  if (!orvane::DecodePSN(std::span<const unsigned char>(data, size), record, error)) {
    if (error.reason.empty()) std::abort();  // every refusal says why
    return 0;
  }
  if (!record.CheckPSNHeader() || !(record.PSNSampleRate() > 0.0f)) std::abort();
  orvane::KSAC converted(record);
  converted.ComputeReferenceSeconds();
  (void)converted.GetPickSystemTime(0);

  orvane::PSN again;
  if (!orvane::DecodePSN(orvane::EncodePSN(record), again, error)) std::abort();
  if (again.header != record.header || again.prefix != record.prefix || again.samples != record.samples)
    std::abort();
  return 0;
}
