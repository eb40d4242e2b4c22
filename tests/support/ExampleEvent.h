#pragma once
// The first sample event (examples/*.sac) as the tests use it: where its
// files are, and the time of each P onset (seconds after the reference time)
// where a student's click would put the pick.

#include <string>
#include <utility>
#include <vector>

#ifndef ORVANE_SOURCE_DIR
#error "a test that uses the example event needs ORVANE_SOURCE_DIR"
#endif

namespace orvane::test {

inline const std::string kExamples = ORVANE_SOURCE_DIR "/examples/";

inline const std::vector<std::pair<std::string, float>> kOnsets = {
    {"TAIG.sac", 55.37f}, {"MNGL.sac", 66.06f}, {"KODK.sac", 54.38f}, {"NVSB.sac", 62.02f},
    {"HVLO.sac", 63.06f}, {"DRWN.sac", 64.58f}, {"ORPL.sac", 46.98f}, {"KRUN.sac", 54.09f}};

}  // namespace orvane::test
