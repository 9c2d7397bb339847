// A font no system has installed: an installed TrueType font with its family renamed, written by
// the tests into a folder of their own.
#pragma once

#include <string>
#include <vector>

namespace glyphmill::testing {

inline constexpr const char* kDejaVuSansFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
inline constexpr const char* kRenamedFamily = "Glyphmill Test Sans";

// Copies the TrueType file `source` to `target` with a new 'name' table that names the family
// `family` (style "Book"); every other table is unchanged, so every glyph is drawn exactly as the
// original draws it. False when `source` is not a TrueType file or `target` cannot be written.
bool WriteRenamedFont(const std::string& source, const std::string& target, const std::string& family);

// A TrueType collection of renamed copies of `source`, face i named `families[i]`.
bool WriteRenamedCollection(const std::string& source, const std::vector<std::string>& families,
                            const std::string& target);

}  // namespace glyphmill::testing
