// Replacing a file's contents without ever destroying the old contents first.
//
// The new bytes go to a temporary file in the same folder as the file they replace; the
// temporary is written in full, flushed to the disk (fsync), given the old file's permission bits
// (or those of a new file under the process's umask) and only then renamed over the target, after
// which the folder is flushed too. When anything fails before the rename, the temporary is removed
// and the old file is untouched. When no temporary file can be made in that folder the write fails
// with the reason: the old file is never truncated or rewritten in place.
//
// A target that is a symbolic link (or a chain of them) is resolved first: the file the link
// points to is replaced and the link itself stays. A target that exists and is not a regular file
// (a device, a folder, a pipe) is refused, so a save never renames a file over /dev/null.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/result.h"

namespace glyphmill {

// Writes `bytes` as the whole new contents of `path` as described above. On failure, a message
// naming the file and the system's reason.
Result<void> ReplaceFileContents(const std::string& path, const std::vector<uint8_t>& bytes);

// The file a path finally names after following symbolic links in its last component (the link's
// own folder is the base of a relative link). The path itself when it is no link or does not
// exist; the reason when the links loop or cannot be read.
Result<std::string> ResolveFileLinks(const std::string& path);

}  // namespace glyphmill
