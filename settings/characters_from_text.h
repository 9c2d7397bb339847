// The characters of a text, as a character selection: what "--chars-from FILE" of the command line
// and "Add Characters..." of the window take.
//
// The text is UTF-8, or UTF-16 (little- or big-endian) when it starts with that form's byte-order
// mark; a UTF-8 byte-order mark at the very start is skipped too, and later ones are text. Control
// characters (U+0000..U+001F, U+007F, U+0080..U+009F: line ends, tabs, NUL) are layout, not glyphs,
// and are skipped. The selection holds UTF-16 code units, so a character above U+FFFF cannot be
// selected: it is listed once (in the order first met) for the caller to report, and marks
// nothing. Malformed text (broken UTF-8 or UTF-16, lone surrogates, an odd number of UTF-16 bytes)
// is refused with its byte offset and marks nothing at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/character_selection.h"

namespace glyphmill {

// Text files larger than this are refused unread: a list of characters is small (every code unit
// in UTF-8 is under 200 KiB), and a device such as /dev/zero never ends.
inline constexpr std::size_t kMaxCharacterTextBytes = 16u << 20;

// What marking a text found besides the characters it marked.
struct TextCharacters {
  uint32_t marked = 0;                     // characters marked (each code unit once)
  uint32_t controlsSkipped = 0;            // control characters met (every occurrence)
  std::vector<uint32_t> notRepresentable;  // characters above U+FFFF, each once
};

// Marks every character of `text` in `selection` (writing 1), leaving every other flag as it was.
// False with `*error` set, and nothing marked, for malformed text.
bool MarkTextCharacters(std::string_view text, CharacterSelection& selection, TextCharacters* found,
                        std::string* error);

// Reads a whole text file of characters in bounded pieces. False with a message naming the file
// and the reason (a folder, unreadable, larger than kMaxCharacterTextBytes).
bool ReadCharacterText(const std::string& path, std::string* text, std::string* error);

// Reads `path` and marks its characters (ReadCharacterText, then MarkTextCharacters); a malformed
// text's message names the file.
bool MarkFileCharacters(const std::string& path, CharacterSelection& selection, TextCharacters* found,
                        std::string* error);

// The notice for a character above U+FFFF: "U+1F600 is not representable: a selection holds
// characters up to U+FFFF only".
std::string NotRepresentableNotice(uint32_t codePoint);

}  // namespace glyphmill
