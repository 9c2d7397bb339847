// The project file's extension block: what Glyphmill stores beyond the classic file.
//
// Classic readers stop after the last job entry, so additions live in one block right there:
//
//   offset  size  field
//   0       4     tag, the bytes "GMX1"
//   4       4     unsigned 32-bit: byte length L of the entries that follow
//   8       L     entries, one after another
//
// Each entry: unsigned 16-bit type, unsigned 32-bit payload length P, then P payload bytes. All
// little-endian. Entry types:
//
//   type  payload                                       meaning
//   1     u32 face index, then the path in UTF-8        the font file the project uses; relative to
//         (no terminator)                               the project file's folder when the font lies
//                                                       in it or below it, absolute otherwise
//   2     u8                                            cell mode: 0 line cells, 1 compact cells
//   3     u8 on, u16 max width, u16 max height          fitted texture size and its maximum
//   4     u16                                           distance-field spread in pixels
//   5     u16                                           the most texture pages a generation may
//                                                       fill, 1 to 64
//   6     u16 count, then per font: u32 face index,     fallback fonts, in the order they are asked;
//         u16 byte length, the UTF-8 path or family     a file's path is stored as the font file's
//         name, u8 kind (0 family, 1 file)              (relative to the project's folder in it)
//   7     u8                                            page pixels: 0 classic, 1 straight colour
//                                                       bled into transparent pixels, 2 premultiplied
//
// A reader keeps entries of types it does not know and writes them back unchanged after the known
// ones. An entry that runs past the block, a block that runs past the file, or a known entry whose
// payload does not fit its type makes the file refused as damaged. Bytes after the last job that do
// not start with the tag are ignored, as classic readers ignore them. A writer writes the block only
// when an addition differs from its default, so a project using only classic features is byte for
// byte a classic file.
//
// Adding an entry type: a member of ProjectExtensions with its default, an encode and a decode
// function and one row of the table in project_extensions.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "settings/generation_extras.h"
#include "settings/result.h"

namespace glyphmill {

inline constexpr uint8_t kExtensionTag[4] = {'G', 'M', 'X', '1'};
inline constexpr std::size_t kExtensionHeaderBytes = 8;
inline constexpr std::size_t kExtensionEntryHeaderBytes = 6;

inline constexpr uint16_t kExtensionFontFile = 1;
inline constexpr uint16_t kExtensionCellMode = 2;
inline constexpr uint16_t kExtensionFitTexture = 3;
inline constexpr uint16_t kExtensionSdfSpread = 4;
inline constexpr uint16_t kExtensionMaxPages = 5;
inline constexpr uint16_t kExtensionFallbackFonts = 6;
inline constexpr uint16_t kExtensionPagePixels = 7;

// An entry of a type this build does not know, kept as it was read.
struct ExtensionEntry {
  uint16_t type = 0;
  std::vector<uint8_t> payload;
  bool operator==(const ExtensionEntry&) const = default;
};

// The font file of entry type 1. In memory after LoadProjectFile the path is absolute; in the
// file (and from ParseProjectBytes) it is as stored.
struct ProjectFontFile {
  uint32_t faceIndex = 0;
  std::string path;
  bool operator==(const ProjectFontFile&) const = default;
};

struct ProjectExtensions {
  std::optional<ProjectFontFile> fontFile;  // type 1; none: installed fonts only, by the font name
  GenerationExtras extras;                  // types 2 to 7, each written only when not the default
  std::vector<ExtensionEntry> unknown;      // in the order read
  bool operator==(const ProjectExtensions&) const = default;
};

// The block's bytes, or nothing when every addition is at its default and no unknown entry is kept.
std::vector<uint8_t> ExtensionBlockBytes(const ProjectExtensions& extensions);

// Parses the L bytes of entries of a block: what they hold, or the text saying how the block is
// damaged.
Result<ProjectExtensions> ParseExtensionEntries(const uint8_t* data, std::size_t size);

// Reads what follows the last job entry through `read` (which fills up to n bytes and returns how
// many it gave, fewer only at the end). A file that ends there or continues with anything but the
// tag has no block: the defaults come back. Else what the block holds, or how it is damaged.
using ExtensionReader = std::function<std::size_t(uint8_t* dst, std::size_t n)>;
Result<ProjectExtensions> ReadExtensionBlock(const ExtensionReader& read);

// The path stored for a font file of a project saved at `projectPath`: relative to the project's
// folder when the font lies in it or below it, else absolute.
std::string StoredFontPath(const std::string& fontPath, const std::string& projectPath);

// The path a stored font path names for a project read from `projectPath` (absolute paths as they
// are; relative ones against the project's folder).
std::string ResolveStoredFontPath(const std::string& storedPath, const std::string& projectPath);

}  // namespace glyphmill
