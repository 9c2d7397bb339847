#include "plugins/common/pending_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "plugins/common/plugin_messages.h"

namespace glyphmill::plugins {

PendingFile::PendingFile(std::string targetPath) : target_(std::move(targetPath)) {
  // A hidden name of our own in the target's folder, so that the final rename stays inside one
  // file system; it does not grow with the target's name, which may already be as long as a name
  // can be. O_EXCL never reuses a file someone else holds; the mode is the usual one, narrowed by
  // the umask.
  const std::filesystem::path folder = std::filesystem::path(target_).parent_path();
  const std::string prefix =
      (folder / (".glyphmill-" + std::to_string(static_cast<long>(getpid())) + "-")).string();
  int fd = -1;
  for (int attempt = 0; attempt < 1000 && fd < 0; ++attempt) {
    temp_ = prefix + std::to_string(attempt) + ".part";
    fd = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    const int error = errno;
    temp_.clear();
    fail(error);
  }
  stream_ = ::fdopen(fd, "wb");
  if (stream_ == nullptr) {
    const int error = errno;
    ::close(fd);
    fail(error);
  }
}

PendingFile::~PendingFile() { discard(); }

void PendingFile::write(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return;
  if (std::fwrite(bytes.data(), 1, bytes.size(), stream_) != bytes.size()) fail(errno);
}

void PendingFile::write(std::string_view text) {
  write(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

void PendingFile::Commit() {
  if (committed_) return;
  int error = 0;
  if (std::fflush(stream_) != 0 || std::ferror(stream_)) error = errno != 0 ? errno : EIO;
  if (std::fclose(stream_) != 0 && error == 0) error = errno != 0 ? errno : EIO;
  stream_ = nullptr;
  if (error != 0) fail(error);
  if (std::rename(temp_.c_str(), target_.c_str()) != 0) fail(errno);
  committed_ = true;
}

void PendingFile::fail(int error) {
  const std::string reason = error != 0 ? std::strerror(error) : "write error";
  discard();
  throw std::runtime_error(CannotWriteMessage(target_, reason));
}

void PendingFile::discard() {
  if (stream_ != nullptr) {
    std::fclose(stream_);
    stream_ = nullptr;
  }
  if (!committed_ && !temp_.empty()) {
    ::unlink(temp_.c_str());
    temp_.clear();
  }
}

}  // namespace glyphmill::plugins
