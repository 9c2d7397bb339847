#include "project/safe_file_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

namespace glyphmill {
namespace {

// Links followed before a chain is taken for a loop (the kernel's own limit for a path).
constexpr int kMaxLinkDepth = 40;

std::string SystemError(const std::string& what, const std::string& path, int err) {
  return what + " \"" + path + "\": " + std::strerror(err);
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool WriteAll(int fd, const std::vector<uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (put == 0) {
      errno = ENOSPC;
      return false;
    }
    done += static_cast<std::size_t>(put);
  }
  return true;
}

// Creates a fresh temporary file in `folder`, named after `name` when the folder takes such a long
// name, else with a short name. The descriptor, or -1 with errno set.
int MakeTemporary(const std::string& folder, const std::string& name, std::string* temporary) {
  const std::string named = folder + "/." + name;
  for (const std::string& pattern : {named + ".XXXXXX", folder + "/.glyphmill-XXXXXX"}) {
    std::string buffer = pattern;
    const int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
    if (fd >= 0) {
      *temporary = buffer;
      return fd;
    }
    if (errno != ENAMETOOLONG) return -1;
  }
  return -1;
}

}  // namespace

Result<std::string> ResolveFileLinks(const std::string& path) {
  std::string current = path;
  for (int depth = 0; depth <= kMaxLinkDepth; ++depth) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
    std::string target(static_cast<std::size_t>(PATH_MAX), '\0');
    const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
    if (length < 0) return Fail(SystemError("Cannot read the link", current, errno));
    target.resize(static_cast<std::size_t>(length));
    if (target.empty() || target[0] == '/') {
      current = target;
    } else {
      current = FolderOf(current);
      current += '/';
      current += target;
    }
  }
  return Fail(SystemError("Cannot follow the link", path, ELOOP));
}

Result<void> ReplaceFileContents(const std::string& path, const std::vector<uint8_t>& bytes) {
  const Result<std::string> resolved = ResolveFileLinks(path);
  if (!resolved) return Fail(resolved.error());
  const std::string& target = *resolved;

  // The new file keeps the old one's permission bits (and, where allowed, its owner and group);
  // a new file gets the usual bits under the umask.
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && !S_ISREG(old.st_mode)) return Fail("Cannot replace \"" + target + "\": it is not a regular file");
  mode_t mode = 0;
  if (exists) {
    mode = old.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }

  std::string temporary;
  const int fd = MakeTemporary(FolderOf(target), NameOf(target), &temporary);
  if (fd < 0) return Fail(SystemError("Cannot create a temporary file beside", target, errno));
  const auto fail = [&](const char* what, int err) -> Result<void> {
    ::unlink(temporary.c_str());
    return Fail(SystemError(what, target, err));
  };
  if (exists && ::fchown(fd, old.st_uid, old.st_gid) != 0) {
    // Only the owner's rights matter to the user; a foreign group is kept where the system allows.
    [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
  }
  if (::fchmod(fd, mode) != 0 || !WriteAll(fd, bytes) || ::fsync(fd) != 0) {
    const int err = errno;
    ::close(fd);
    return fail("Cannot write", err);
  }
  if (::close(fd) != 0) return fail("Cannot write", errno);
  if (::rename(temporary.c_str(), target.c_str()) != 0) return fail("Cannot replace", errno);

  // The rename itself reaches the disk with the folder's own flush.
  const int folder = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  return {};
}

}  // namespace glyphmill
