// Text as a character set: the UTF-16 code units of a UTF-8 or UTF-16 text, the way a person who
// pastes or saves "the characters my game needs" means it. Used by the character range editor's
// "Add Characters..." and "Add From File..." and by the command line's --chars-from.
//
// Rules:
// - The text is UTF-8 unless it starts with a UTF-16 byte-order mark (FF FE little-endian,
//   FE FF big-endian). A UTF-8 byte-order mark at the start is skipped; the mark is not text.
// - Control characters are not characters of a font: C0 (U+0000..U+001F, line ends and tabs
//   included), DEL (U+007F) and C1 (U+0080..U+009F) are skipped.
// - Invalid sequences are skipped and decoding goes on at the next byte (UTF-8: overlong forms,
//   encoded surrogates, stray or missing continuation bytes, values beyond U+10FFFF; UTF-16: an
//   unpaired surrogate, a trailing odd byte).
// - A character beyond U+FFFF has no single UTF-16 code unit, so it cannot be a cell of the
//   texture: it is reported (once, in the order first seen) and marks nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace glyphmill {

struct TextCharacters {
  std::vector<uint16_t> codeUnits;         // unique, ascending
  std::vector<uint32_t> notRepresentable;  // unique code points above U+FFFF, in first-seen order
};

// The characters of `bytes` by the rules above.
TextCharacters DecodeTextCharacters(std::string_view bytes);

// Largest text file read as a character set by default (a book's worth of text is a few MB).
inline constexpr std::size_t kMaxCharacterFileBytes = 64u * 1024u * 1024u;

// The bytes of a text file, read in bounded pieces: a file larger than `maxBytes` (or one that
// grows past it while read), a folder or an unreadable file is refused with `error` set and
// nothing returned.
std::optional<std::string> ReadTextFileBounded(const std::string& path, std::size_t maxBytes, std::string* error);

// "U+1F600": a code point as the Unicode notation, at least four upper-case hexadecimal digits.
std::string CodePointNotation(uint32_t codePoint);

}  // namespace glyphmill
