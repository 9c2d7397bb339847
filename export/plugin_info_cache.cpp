#include "export/plugin_info_cache.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace glyphmill {

namespace {

// The first line of the file; a file that starts otherwise (another version) is not read.
constexpr const char* kFileHeader = "glyphmill-plugin-info 1";

std::string Hex(const uint8_t* bytes, std::size_t count) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(count * 2);
  for (std::size_t i = 0; i < count; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 15];
  }
  return text;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool FromHex(const std::string& text, uint8_t* bytes, std::size_t count) {
  if (text.size() != count * 2) return false;
  for (std::size_t i = 0; i < count; ++i) {
    const int high = HexDigit(text[2 * i]), low = HexDigit(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    bytes[i] = static_cast<uint8_t>(high * 16 + low);
  }
  return true;
}

int64_t Nanoseconds(const timespec& t) { return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec; }

}  // namespace

bool IdentifyLibrary(const std::string& path, LibraryIdentity* out) {
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) == nullptr) return false;
  struct stat info {};
  if (::stat(resolved, &info) != 0 || !S_ISREG(info.st_mode)) return false;
  LibraryIdentity id;
  id.path = resolved;
  if (id.path.find('\n') != std::string::npos) return false;
  id.device = static_cast<uint64_t>(info.st_dev);
  id.inode = static_cast<uint64_t>(info.st_ino);
  id.size = static_cast<int64_t>(info.st_size);
  id.modifiedNs = Nanoseconds(info.st_mtim);
  id.changedNs = Nanoseconds(info.st_ctim);
  *out = std::move(id);
  return true;
}

PluginInfoCache::PluginInfoCache(std::string file) : file_(std::move(file)) {
  if (file_.empty()) return;
  std::ifstream in(file_);
  std::string line;
  if (!std::getline(in, line) || line != kFileHeader) return;
  // device inode size modified changed entries info-hex path (the path is the rest of the line)
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    Entry e;
    std::string info;
    if (!(fields >> e.library.device >> e.library.inode >> e.library.size >> e.library.modifiedNs >>
          e.library.changedNs >> e.answer.entries >> info))
      continue;
    if (!FromHex(info, reinterpret_cast<uint8_t*>(&e.answer.info), sizeof e.answer.info)) continue;
    if (fields.get() != ' ') continue;
    std::getline(fields, e.library.path);
    if (e.library.path.empty() || e.library.path.front() != '/') continue;
    entries_[e.library.path] = std::move(e);
  }
}

const CachedPluginInfo* PluginInfoCache::find(const LibraryIdentity& library) const {
  const auto it = entries_.find(library.path);
  if (it == entries_.end() || !(it->second.library == library)) return nullptr;
  return &it->second.answer;
}

void PluginInfoCache::store(const LibraryIdentity& library, const CachedPluginInfo& answer) {
  Entry& e = entries_[library.path];
  if (e.library == library && std::memcmp(&e.answer.info, &answer.info, sizeof answer.info) == 0 &&
      e.answer.entries == answer.entries)
    return;
  e.library = library;
  e.answer = answer;
  changed_ = true;
}

void PluginInfoCache::forget(const std::string& canonicalPath) {
  if (entries_.erase(canonicalPath) != 0) changed_ = true;
}

bool PluginInfoCache::save() {
  if (!changed_ || file_.empty()) return true;
  std::error_code ec;
  const std::filesystem::path target(file_);
  if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);
  const std::string temporary = file_ + "." + std::to_string(::getpid()) + ".tmp";
  {
    std::ofstream out(temporary, std::ios::trunc);
    out << kFileHeader << '\n';
    for (const auto& [path, e] : entries_) {
      out << e.library.device << ' ' << e.library.inode << ' ' << e.library.size << ' ' << e.library.modifiedNs << ' '
          << e.library.changedNs << ' ' << e.answer.entries << ' '
          << Hex(reinterpret_cast<const uint8_t*>(&e.answer.info), sizeof e.answer.info) << ' ' << path << '\n';
    }
    out.flush();
    if (!out) {
      out.close();
      ::unlink(temporary.c_str());
      return false;
    }
  }
  if (::rename(temporary.c_str(), file_.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  changed_ = false;
  return true;
}

}  // namespace glyphmill
