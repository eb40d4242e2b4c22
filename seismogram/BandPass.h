#pragma once
// A band-pass chosen for what the windows draw of a record: the corners in
// hertz and the order of the Butterworth design (2 or 4). BandPassFilter
// designs it for the record's sampling, or says why it cannot.

namespace orvane {

struct BandPass {
  double low = 0.0;   ///< lower corner, Hz
  double high = 0.0;  ///< upper corner, Hz
  int order = 4;      ///< 2 or 4
  bool operator==(const BandPass&) const = default;
};

}  // namespace orvane
