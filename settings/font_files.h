// Font files named by their path rather than found among the installed fonts.
//
// A font file joins fontconfig's current configuration as an application font, so that its
// families appear in the catalogue and every later step (matching, measurement, synthesis,
// rendering) treats them exactly as installed families. Anything FreeType reads is accepted:
// TrueType, OpenType with CFF outlines, collections (every face joins; a face index picks one), and
// WOFF/WOFF2 as far as the system's FreeType reads them.
//
// A family is matched by its name: when an installed font or an earlier file carries the same
// family name, fontconfig's match keeps choosing that one.
//
// Threads: call these on the main thread only, while no render job is starting.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace glyphmill {

// One face of a font file and the family fontconfig lists it under (its first family name, as
// the catalogue lists families).
struct FontFileFace {
  int32_t faceIndex = 0;
  std::string family;
  bool operator==(const FontFileFace&) const = default;
};

struct FontFile {
  std::string path;                 // absolute, without "." and ".." parts
  std::vector<FontFileFace> faces;  // every face of the file, by ascending index

  // The distinct families of the file, in face order.
  std::vector<std::string> families() const;
  // The family of a face, or nullptr when the file has no such face.
  const std::string* familyOfFace(int32_t faceIndex) const;
  // The first face of a family, or -1 when the file holds no such family.
  int32_t faceOfFamily(const std::string& family) const;
};

// The absolute form of a path (against the current folder), without "." and ".." parts.
std::string AbsoluteFontPath(const std::string& path);

// The number of faces FreeType finds in a font file, from its header alone. False with a message
// naming the file (and FreeType's error name) when FreeType cannot read it.
bool CountFontFaces(const std::string& path, int32_t* count, std::string* error);

// Reads the faces of a font file without adding it anywhere. False with a message naming the
// file (and FreeType's error name) when FreeType cannot read it.
bool ReadFontFile(const std::string& path, FontFile* out, std::string* error);

// Adds a font file to fontconfig's current configuration as an application font and gives its
// faces as fontconfig lists them (the file is described once). False with a message naming the
// file when FreeType cannot read it or fontconfig refuses it.
bool AddApplicationFont(const std::string& path, FontFile* out, std::string* error);

// Makes an empty configuration fontconfig's current one: no configuration file, cache or system
// font folder is read, and only application fonts added afterwards are known. Call it before
// anything else asks fontconfig for a font. False with a message when fontconfig fails.
bool UseOnlyApplicationFonts(std::string* error);

}  // namespace glyphmill
