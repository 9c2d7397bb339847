// The characters of a text as a character set: what the window's "Add Characters..." and "Add From
// File..." and the command line's --chars-from take, by the same rules for both.
//
// Rules:
// - The text is UTF-8, or UTF-16 (little- or big-endian) when it starts with that form's byte-order
//   mark (FF FE, FE FF). A UTF-8 byte-order mark at the very start is skipped too; later ones
//   (U+FEFF) are text.
// - Control characters are layout, not glyphs of a font: C0 (U+0000..U+001F, line ends and tabs
//   included), DEL (U+007F) and C1 (U+0080..U+009F) are skipped and counted.
// - A selection holds UTF-16 code units, so a character beyond U+FFFF cannot be a cell of the
//   texture: it is listed once (in the order first met) for the caller to report, and marks nothing
//   (no surrogate half either).
// - Malformed text is refused with its byte offset, and nothing of it is used: broken UTF-8
//   (overlong forms, encoded surrogates, stray or missing continuation bytes, values beyond
//   U+10FFFF) or UTF-16 (an unpaired surrogate, an odd number of bytes). A file in another encoding
//   (Latin-1, say) is reported rather than read with some of its characters silently dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/character_selection.h"

namespace glyphmill {

// What a text holds besides layout, and what marking it did.
struct TextCharacters {
  std::vector<uint16_t> codeUnits;         // unique, ascending
  std::vector<uint32_t> notRepresentable;  // unique code points above U+FFFF, in first-seen order
  uint32_t controlsSkipped = 0;            // control characters met (every occurrence)
  uint32_t marked = 0;                     // code units MarkTextCharacters newly marked
};

// The characters of `text` by the rules above. False with `*error` set ("malformed UTF-8 at byte
// 12") for malformed text.
bool DecodeTextCharacters(std::string_view text, TextCharacters* out, std::string* error);

// Marks every character of `text` in `selection` (writing 1), leaving every other flag as it was.
// False with `*error` set, and nothing marked, for malformed text.
bool MarkTextCharacters(std::string_view text, CharacterSelection& selection, TextCharacters* found,
                        std::string* error);

// Text files larger than this are refused unread: a list of characters is small (every code unit
// in UTF-8 is under 200 KiB), and a device such as /dev/zero never ends.
inline constexpr std::size_t kMaxCharacterTextBytes = 16u << 20;

// Reads a whole text file of characters in bounded pieces. False with a message naming the file
// and the reason (a folder, unreadable, larger than `maxBytes` or grown past it while read).
bool ReadCharacterText(const std::string& path, std::string* text, std::string* error,
                       std::size_t maxBytes = kMaxCharacterTextBytes);

// Reads `path` and decodes its characters (ReadCharacterText, then DecodeTextCharacters); a
// malformed text's message names the file.
bool ReadFileCharacters(const std::string& path, TextCharacters* out, std::string* error);

// Reads `path` and marks its characters (ReadFileCharacters, then marking as MarkTextCharacters).
bool MarkFileCharacters(const std::string& path, CharacterSelection& selection, TextCharacters* found,
                        std::string* error);

// "U+1F600": a code point as the Unicode notation, at least four upper-case hexadecimal digits.
std::string CodePointNotation(uint32_t codePoint);

// The notice for a character above U+FFFF: "U+1F600 is not representable: a selection holds
// characters up to U+FFFF only".
std::string NotRepresentableNotice(uint32_t codePoint);

}  // namespace glyphmill
