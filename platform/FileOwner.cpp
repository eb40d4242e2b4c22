#include "platform/FileOwner.h"

#if __has_include(<unistd.h>)
#include <sys/stat.h>
#include <unistd.h>
#define ORVANE_FILE_OWNERS 1
#endif

namespace orvane {

bool CarryFileOwner(const std::string& model, const std::string& path) {
#ifdef ORVANE_FILE_OWNERS
  struct stat want;
  struct stat have;
  if (::stat(model.c_str(), &want) != 0 || ::stat(path.c_str(), &have) != 0) return false;
  if (have.st_uid == want.st_uid && have.st_gid == want.st_gid) return true;
  // The owner and the group at once; an owner that may not be given away can
  // still leave the group to be set alone (to a group the user belongs to).
  if (::chown(path.c_str(), want.st_uid, want.st_gid) == 0) return true;
  if (have.st_uid == want.st_uid) return ::chown(path.c_str(), static_cast<uid_t>(-1), want.st_gid) == 0;
  return false;
#else
  (void)model;
  (void)path;
  return true;
#endif
}

}  // namespace orvane
