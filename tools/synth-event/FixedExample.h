#pragma once
// The first example event (examples/*.sac): one synthetic earthquake off
// Hokkaido recorded at eight invented stations. Its event, stations, seed and
// wave shapes are fixed in the code so that the committed files stay exactly
// as they are; new events are described by event files instead (EventFile.h).

#include <filesystem>

namespace orvane::synth {

/// @brief Writes the eight SAC files of the first example event into @p out
/// and prints the true event and every arrival on standard output.
/// @return 0 when every file was written, 1 otherwise (with a message on
/// standard error).
int WriteFixedExample(const std::filesystem::path& out);

}  // namespace orvane::synth
