// Fallback fonts: the fonts a character comes from when the chosen font lacks it.
//
// A generation's fonts are the chosen font (index 0) and then each fallback in the order the
// user gave them. A character is measured and drawn with the first of them that has it, at the
// chosen font's pixel size, style and antialiasing; only the line height and ascent are always
// the chosen font's. A fallback is named either as an installed family or as a font file (with
// the face of a collection). One that cannot be opened (a moved or damaged file, a family that is
// not installed) is skipped with a notice that names it, and stays in the list, so that nothing is
// lost when it comes back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/fallback_font.h"
#include "settings/font_face.h"
#include "settings/result.h"

namespace glyphmill {

// What a fallback list comes to for one request: the fallbacks that could be opened, in order
// (the font index of fonts[k] is k + 1), and one notice per fallback that was skipped.
struct ResolvedFallbacks {
  std::vector<ResolvedFont> fonts;
  std::vector<std::string> labels;  // FallbackLabel of each of `fonts`
  std::vector<std::string> notices;
  bool operator==(const ResolvedFallbacks&) const = default;
};

// Where one fallback's face is, for the style of `chosen` (a bold or italic request synthesises
// what the face lacks, as for the chosen font), or the notice that says why it is skipped.
Result<ResolvedFont> ResolveFallback(const FallbackFont& fallback, const FontRequest& chosen);

// Every fallback of `list` through ResolveFallback.
ResolvedFallbacks ResolveFallbacks(const std::vector<FallbackFont>& list, const FontRequest& chosen);

// The notice for a fallback that was found but that FreeType would not open at the job's size.
std::string FallbackCannotOpen(const std::string& path, const std::string& why);

// How the window and the range editor name a fallback: the family, or the file's name with its
// face when it is not the first.
std::string FallbackLabel(const FallbackFont& fallback);

}  // namespace glyphmill
