#pragma once
// The owner and group of a file, for a writer that replaces a file by a new
// one and must not hand it to someone else on the way.
//
// On systems without file owners there is nothing to carry, and the
// functions say so by succeeding.

#include <string>

namespace orvane {

/// @brief Gives the file @p path the owner and group of the file @p model.
/// @return true when @p path has them afterwards (also when it had them
/// already); false when the system refuses (changing the owner needs the
/// right to do so) or either file cannot be looked at.
bool CarryFileOwner(const std::string& model, const std::string& path);

}  // namespace orvane
