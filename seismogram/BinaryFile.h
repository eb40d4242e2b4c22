#pragma once
// Whole-file reads, and the writes of every format, which respect what the
// target path names (see WriteFile).
//
// The PEPP and PSN readers work in three steps: the bytes of the file (here),
// the record from the bytes, the samples from the payload. The last two work
// on a byte span and can say why they refused (a reason and the byte offset in
// the file), which the command-line tool shows to the user; the record classes
// themselves keep their empty exceptions.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
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

/// @brief Writes the file @p path through @p write, which writes every byte
/// of it to the stream it is given and returns whether that went well. What
/// the path names decides how (the writers of every format go through here):
///   - a symbolic link is followed to the file it names (a link to nothing
///     creates that file); the link stays a link;
///   - a missing file, or a regular file with no other name: the bytes go to
///     a temporary file with a short name beside it, which takes the old
///     file's mode (and owner and group) and then replaces it, so the file is
///     whole or unchanged. When no temporary file can be made there (a
///     directory the user may not write to, a path at the length limit), or
///     the old file's owner cannot be given to the new one, the file is
///     written in place instead (created or truncated);
///   - a regular file with other names (hard links) is written in place, so
///     that every name shows the new bytes;
///   - anything else (a FIFO, a device) is opened and written in place, never
///     replaced;
///   - a directory is refused.
/// A failed in-place write can leave the file cut short. @p write may be
/// called a second time, for the in-place write after a replacement that
/// could not be made.
/// @return false when the file could not be created or written; @p reason
/// (when given) then says which, e.g. "the file cannot be created: No such
/// file or directory" or "the path is a directory".
bool WriteFile(const std::string& path, const std::function<bool(std::FILE*)>& write,
               std::string* reason = nullptr);

/// @brief Writes @p bytes as the whole file @p path, as WriteFile does.
bool WriteFileAtomically(const std::string& path, std::span<const unsigned char> bytes,
                         std::string* reason = nullptr);

}  // namespace orvane
