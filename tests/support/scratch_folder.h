// A scratch folder for a test: fresh and empty below the system's temporary folder, removed with
// everything in it when the object goes.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace glyphmill::testing {

class ScratchFolder {
 public:
  // Creates "<temp>/glyphmill-<stem>-XXXXXX"; throws std::runtime_error when it cannot.
  explicit ScratchFolder(const std::string& stem = "test");
  // Removes the folder; a test that took the owner's permissions from it or from a folder inside
  // gets them back first, so nothing is left behind.
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // "<folder>/<name>"; `name` may hold folders of its own ("game/fonts/a.ttf").
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  std::vector<std::string> entries() const;  // the names directly inside, sorted

 private:
  std::filesystem::path path_;
};

}  // namespace glyphmill::testing
