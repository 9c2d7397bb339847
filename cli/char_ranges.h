// Character sets given on the command line: code-unit ranges ("32-126,0x400-0x4FF") and the
// code units of a UTF-8 text file. Both mark code units in a CharacterSelection (writing 1) and
// leave every other flag as it was; bad input is refused with a message and marks nothing.
#pragma once

#include <string>
#include <string_view>

#include "settings/character_selection.h"

namespace glyphmill::cli {

// RANGES: comma-separated items, each a code unit N or an inclusive range N-M with N <= M.
// Numbers are decimal, or hexadecimal after "0x" / "U+"; every value lies in 0..65535. Blanks
// around items and numbers are allowed; an empty item is not.
bool MarkCharRanges(std::string_view ranges, CharacterSelection& selection, std::string* error);

// Every UTF-16 code unit of a UTF-8 text: a character beyond U+FFFF marks both halves of its
// surrogate pair. A byte-order mark at the very start is not text and marks nothing; every other
// character, line ends included, is marked. Malformed UTF-8 (overlong forms, encoded surrogates,
// stray or missing continuation bytes, values beyond U+10FFFF) is refused with its byte offset.
bool MarkUtf8CodeUnits(std::string_view utf8, CharacterSelection& selection, std::string* error);

// Reads a UTF-8 text file and marks its code units (MarkUtf8CodeUnits).
bool MarkFileCodeUnits(const std::string& path, CharacterSelection& selection, std::string* error);

}  // namespace glyphmill::cli
