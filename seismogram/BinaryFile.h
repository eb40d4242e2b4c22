#pragma once
// Whole-file reads and all-or-nothing writes for the seismogram formats.
//
// The PEPP and PSN readers work in three steps: the bytes of the file (here),
// the record from the bytes, the samples from the payload. The last two work
// on a byte span and can say why they refused (a reason and the byte offset in
// the file), which the command-line tool shows to the user; the record classes
// themselves keep their empty exceptions.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

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

/// @brief Replaces the file @p path by @p bytes as a whole: the bytes go to a
/// temporary file in the same directory, which is renamed over @p path only
/// when every byte was written. On failure the temporary file is removed and
/// the old file, if any, is left as it was.
/// @return false when the file could not be created, written or renamed;
/// @p reason (when given) then says which, e.g. "the file cannot be created:
/// No such file or directory".
bool WriteFileAtomically(const std::string& path, std::span<const unsigned char> bytes,
                         std::string* reason = nullptr);

}  // namespace orvane
