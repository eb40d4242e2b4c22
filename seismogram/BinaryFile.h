#pragma once
// Whole-file reads, and the writes of every format, which go through the
// program's one checked writer (WriteFile, platform/FileWriter.h).
//
// The PEPP and PSN readers work in three steps: the bytes of the file (here),
// the record from the bytes, the samples from the payload. The last two work
// on a byte span and can say why they refused (a reason and the byte offset in
// the file), which the command-line tool shows to the user; the record classes
// themselves keep their empty exceptions.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/FileWriter.h"

namespace orvane {

/// Why a byte-level reader refused its input.
struct ByteReadError {
  /// The offset of a refusal that concerns the file as a whole (it cannot be opened).
  static constexpr std::size_t kWholeFile = static_cast<std::size_t>(-1);

  std::string reason;       ///< e.g. "the end marker is missing"
  std::size_t offset = 0;   ///< byte offset in the file where the problem lies, or kWholeFile

  /// @brief The reason with its offset, e.g. "the end marker is missing (at byte 681)";
  /// the reason alone for kWholeFile.
  std::string Text() const;
};

/// @brief Reads at most @p maxBytes bytes from the start of the file @p path
/// into @p bytes. A reader passes the largest size a valid file of its format
/// can have that it will look at, so that a huge file costs no more memory
/// than that; the bytes beyond are not read.
/// @return false (with @p error set) when the file cannot be opened or read.
bool ReadFileBytes(const std::string& path, std::size_t maxBytes, std::vector<unsigned char>& bytes,
                   ByteReadError& error);

}  // namespace orvane
