// PendingFile: an output file that appears under its name only once it is complete.
//
// The bytes go to a new temporary file beside the target; Commit() moves it over the target in one
// rename. A failed export therefore never leaves a half-written file behind and never destroys the
// file the user had under that name. Dropping a PendingFile without Commit() removes the temporary,
// and so does an interruption of the process (interrupt_cleanup.h). CommitTogether() puts several
// files in place as one step: all of them or none.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace glyphmill::plugins {

class PendingFile {
 public:
  // Creates the temporary file; throws std::runtime_error when the folder cannot take it.
  explicit PendingFile(std::string targetPath);
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  const std::string& targetPath() const { return target_; }
  // The open stream of the temporary file, for writers that take a FILE*.
  std::FILE* stream() { return stream_; }

  void write(std::span<const uint8_t> bytes);
  void write(std::string_view text);

  // Flushes, closes and renames the temporary over the target; throws on any failure.
  void Commit();

 private:
  friend void CommitTogether(std::span<PendingFile* const> files);
  // Flushes and closes the temporary; throws on failure.
  void finish();
  [[noreturn]] void fail(int error);
  void discard();

  std::string target_;
  std::string temp_;
  std::FILE* stream_ = nullptr;
  int cleanupSlot_ = -1;
  bool committed_ = false;
};

// Puts every file in place, or none: first each temporary is completed (a write failure leaves
// every target as it was), then, with interruptions held back, each target that exists is kept
// under a hard link, the temporaries are renamed over their targets, and if one rename fails the
// ones before it are undone (the kept originals go back; targets that did not exist are removed).
// Throws std::runtime_error with the reason on failure.
void CommitTogether(std::span<PendingFile* const> files);
// The same for files an export holds one by one (a page file each, then its descriptor).
void CommitTogether(const std::vector<std::unique_ptr<PendingFile>>& files);

}  // namespace glyphmill::plugins
