#include "plugins/common/pending_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "plugins/common/interrupt_cleanup.h"
#include "plugins/common/plugin_messages.h"

namespace glyphmill::plugins {

PendingFile::PendingFile(std::string targetPath) : target_(std::move(targetPath)) {
  // A hidden name of our own in the target's folder, so that the final rename stays inside one
  // file system; it does not grow with the target's name, which may already be as long as a name
  // can be. O_EXCL never reuses a file someone else holds; the mode is the usual one, narrowed by
  // the umask.
  const std::filesystem::path folder = std::filesystem::path(target_).parent_path();
  const std::string prefix = (folder / (".glyphmill-" + std::to_string(static_cast<long>(getpid())) + "-")).string();
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
  cleanupSlot_ = RegisterInterruptCleanup(temp_);
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
  PendingFile* self = this;
  CommitTogether(std::span<PendingFile* const>(&self, 1));
}

void PendingFile::finish() {
  if (stream_ == nullptr) return;
  int error = 0;
  if (std::fflush(stream_) != 0 || std::ferror(stream_)) error = errno != 0 ? errno : EIO;
  if (std::fclose(stream_) != 0 && error == 0) error = errno != 0 ? errno : EIO;
  stream_ = nullptr;
  if (error != 0) fail(error);
}

namespace {

// A hard link that keeps a target's current file while it is being replaced.
struct KeptOriginal {
  std::string path;     // the link; empty when there is none
  bool existed = true;  // false: there was no file under the target's name
};

KeptOriginal KeepOriginal(const std::string& target) {
  KeptOriginal kept;
  const std::filesystem::path folder = std::filesystem::path(target).parent_path();
  const std::string base = (folder / (".glyphmill-" + std::to_string(static_cast<long>(getpid())) + "-")).string();
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const std::string candidate = base + std::to_string(attempt) + ".old";
    if (::link(target.c_str(), candidate.c_str()) == 0) {
      kept.path = candidate;
      return kept;
    }
    if (errno != EEXIST) {
      // ENOENT: nothing to keep. Other errors (a file system without hard links): the original
      // exists but cannot be brought back.
      kept.existed = errno != ENOENT;
      break;
    }
  }
  return kept;
}

// Removes the hard links that kept the originals.
void ForgetKept(const std::vector<KeptOriginal>& kept) {
  for (const KeptOriginal& k : kept) {
    if (!k.path.empty()) ::unlink(k.path.c_str());
  }
}

// Undoes the rename over one target: its original goes back, a name that was new goes away.
void UndoRename(const std::string& target, KeptOriginal& kept) {
  if (!kept.path.empty()) {
    if (std::rename(kept.path.c_str(), target.c_str()) == 0) kept.path.clear();
  } else if (!kept.existed) {
    ::unlink(target.c_str());
  }
}

}  // namespace

void CommitTogether(std::span<PendingFile* const> files) {
  for (PendingFile* f : files) {
    if (!f->committed_) f->finish();
  }
  const DeferInterrupts deferred;
  std::vector<KeptOriginal> kept(files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (!files[i]->committed_) kept[i] = KeepOriginal(files[i]->target_);
  }
  std::vector<bool> renamed(files.size(), false);
  for (std::size_t i = 0; i < files.size(); ++i) {
    PendingFile* f = files[i];
    if (f->committed_) continue;
    if (std::rename(f->temp_.c_str(), f->target_.c_str()) != 0) {
      const int error = errno;
      // Undo the renames made so far.
      for (std::size_t j = 0; j < i; ++j) {
        if (renamed[j]) UndoRename(files[j]->target_, kept[j]);
      }
      ForgetKept(kept);
      f->fail(error);
    }
    f->committed_ = true;
    renamed[i] = true;
    ReleaseInterruptCleanup(f->cleanupSlot_);
    f->cleanupSlot_ = -1;
  }
  ForgetKept(kept);
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
  ReleaseInterruptCleanup(cleanupSlot_);
  cleanupSlot_ = -1;
}

void CommitTogether(const std::vector<std::unique_ptr<PendingFile>>& files) {
  std::vector<PendingFile*> all;
  all.reserve(files.size());
  for (const auto& file : files) all.push_back(file.get());
  CommitTogether(all);
}

}  // namespace glyphmill::plugins
