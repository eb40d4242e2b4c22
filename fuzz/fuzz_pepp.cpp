// PEPP files: any bytes through the byte-level reader; an accepted file is
// converted into a KSAC and must encode and decode back to the same record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "seismogram/KSAC.h"
#include "seismogram/PEPP.h"
#include "seismogram/PEPPFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orvane::PEPP record;
  orvane::ByteReadError error;
  if (!orvane::DecodePEPP(std::span<const unsigned char>(data, size), record, error)) {
    if (error.reason.empty()) std::abort();  // every refusal says why
    return 0;
  }
  orvane::KSAC converted(record);
  converted.ComputeReferenceSeconds();
  (void)converted.GetPickSystemTime(0);
  orvane::PEPP back(converted);  // and the way out again

  orvane::PEPP again;
  if (!orvane::DecodePEPP(orvane::EncodePEPP(record), again, error)) std::abort();
  if (again.header != record.header || again.samples.size() != record.samples.size()) std::abort();
  return 0;
}
