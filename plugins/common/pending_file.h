// PendingFile: an output file that appears under its name only once it is complete.
//
// The bytes go to a new temporary file beside the target; Commit() moves it over the target in one
// rename. A failed export therefore never leaves a half-written file behind and never destroys the
// file the user had under that name. Dropping a PendingFile without Commit() removes the temporary.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

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
  [[noreturn]] void fail(int error);
  void discard();

  std::string target_;
  std::string temp_;
  std::FILE* stream_ = nullptr;
  bool committed_ = false;
};

}  // namespace glyphmill::plugins
