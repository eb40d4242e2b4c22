#pragma once
// The one writer of every file the program and its tools write: exercises,
// the recovery file, exported trials, pictures, printouts, desktop entries
// and seismogram files.
//
// Every step is checked (the open, each write, the flush, the sync, the
// close and the rename), so that a write that fails half-way (a full disk,
// a quota, a device that refuses) is reported as failed and leaves the old
// file as it was. What the target path names decides how it is written; see
// WriteFile.

#include <cstddef>
#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace orvane {

/// @brief Writes the file @p path through @p write, which writes every byte
/// of it to the stream it is given and returns whether that went well. What
/// the path names decides how:
///   - a symbolic link is followed to the file it names (a link to nothing
///     creates that file); the link stays a link;
///   - a missing file, or a regular file with no other name: the bytes go to
///     a temporary file with a short name beside it, which is flushed and
///     synced, takes the old file's mode (and owner and group) and then
///     replaces it, so the file is whole or unchanged. When no temporary file
///     may be made there (a directory the user may not write to, a path at
///     the length limit), or the old file's owner cannot be given to the new
///     one, the file is written in place instead (created or truncated);
///   - a regular file with other names (hard links) is written in place, so
///     that every name shows the new bytes;
///   - anything else (a FIFO, a device) is opened and written in place, never
///     replaced;
///   - a directory is refused.
/// A failed in-place write can leave the file cut short; a failed write
/// through a temporary file leaves the old file whole and no temporary file
/// behind. @p write may be called a second time, for the in-place write after
/// a replacement that could not be made.
/// @return false when the file could not be created or written; @p reason
/// (when given) then says which, e.g. "the file cannot be created: No such
/// file or directory", "the file could not be written: No space left on
/// device" or "the path is a directory".
bool WriteFile(const std::string& path, const std::function<bool(std::FILE*)>& write,
               std::string* reason = nullptr);

/// @brief Writes @p bytes as the whole file @p path, as WriteFile does.
bool WriteFileAtomically(const std::string& path, std::span<const unsigned char> bytes,
                         std::string* reason = nullptr);

/// @brief Writes @p bytes as the whole file @p path, as WriteFile does.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* reason = nullptr);

/// The steps of a write, in the order they are taken.
enum class WriteStep { kOpen, kWrite, kFlush, kSync, kClose, kRename };

/// @brief For tests: the next write that reaches @p step fails there, as if
/// the system had refused it for lack of space (then the writer works
/// normally again).
void FailNextWriteAt(WriteStep step);

}  // namespace orvane
