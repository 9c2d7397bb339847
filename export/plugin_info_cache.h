// PluginInfoCache: what each usable plug-in library said about itself the last time it was loaded
// (the entry points found and its TPluginInfo), kept in a file of the user's cache folder, so that
// discovery can register a library it has seen before without loading it: the plug-in host then
// loads it, and calls its GetPluginInfo, only when the run first calls one of its exports.
//
// An answer is used only for the very file it came from: the same canonical path, device, inode,
// size, modification and status-change times. A library that is replaced, rewritten or touched
// has another identity and is loaded and asked again, and its new answer replaces the old one.
// Only usable libraries are kept: one that failed to load or to describe itself is asked again on
// every discovery, so its messages are shown as before.
//
// The file is text, one library per line, written whole to a temporary file and renamed over the
// old one, so a reader never sees half a file; two programs writing at once lose at most one's
// additions. A missing, unreadable or damaged file is an empty cache.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <string>

#include "glyphmill/plugin.h"

namespace glyphmill {

// Which file a library path names, as far as a cached answer is concerned.
struct LibraryIdentity {
  std::string path;  // canonical (absolute, links resolved)
  uint64_t device = 0;
  uint64_t inode = 0;
  int64_t size = 0;
  int64_t modifiedNs = 0;
  int64_t changedNs = 0;
  bool operator==(const LibraryIdentity&) const = default;
};

// False when the path names no regular file (or a path a line of the file cannot hold).
bool IdentifyLibrary(const std::string& path, LibraryIdentity* out);

// What a library answered: host_protocol::kHas* bits and its TPluginInfo as it filled it.
struct CachedPluginInfo {
  uint32_t entries = 0;
  TPluginInfo info{};
};

class PluginInfoCache {
 public:
  // An empty cache that is never written (no file).
  PluginInfoCache() = default;
  // Reads `file` (an empty path: no file).
  explicit PluginInfoCache(std::string file);

  // The answer kept for exactly this file, or nullptr.
  const CachedPluginInfo* find(const LibraryIdentity& library) const;
  // Keeps an answer for a library, replacing any for its path.
  void store(const LibraryIdentity& library, const CachedPluginInfo& answer);
  // Drops what is kept for a path.
  void forget(const std::string& canonicalPath);

  // Writes the file when something changed since it was read (creating its folder). False when it
  // could not be written; the cache then simply stays as it was on disk.
  bool save();

  std::size_t size() const { return entries_.size(); }

 private:
  struct Entry {
    LibraryIdentity library;
    CachedPluginInfo answer;
  };
  std::string file_;
  std::map<std::string, Entry> entries_;  // by canonical path
  bool changed_ = false;
};

}  // namespace glyphmill
