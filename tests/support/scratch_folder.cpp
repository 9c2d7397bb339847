#include "scratch_folder.h"

#include <stdlib.h>

#include <algorithm>
#include <stdexcept>
#include <system_error>

namespace glyphmill::testing {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(const std::string& stem) {
  std::string pattern = (fs::temp_directory_path() / ("glyphmill-" + stem + "-XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a folder like " + pattern);
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored, walk;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  // Each folder gets its permissions back as it is visited, before the walk goes into it.
  for (auto it = fs::recursive_directory_iterator(path_, walk); !walk && it != fs::recursive_directory_iterator();
       it.increment(walk)) {
    if (it->is_directory(ignored) && !it->is_symlink(ignored))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  fs::remove_all(path_, ignored);
}

std::vector<std::string> ScratchFolder::entries() const {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(path_)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace glyphmill::testing
