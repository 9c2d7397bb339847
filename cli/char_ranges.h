// Character sets given on the command line as code-unit ranges ("32-126,0x400-0x4FF"), marked in a
// CharacterSelection (writing 1), every other flag left as it was; bad input is refused with a
// message and marks nothing. The characters of a text file are marked by the core's
// MarkFileCharacters (settings/text_characters.h).
#pragma once

#include <string>
#include <string_view>

#include "settings/character_selection.h"

namespace glyphmill::cli {

// RANGES: comma-separated items, each a code unit N or an inclusive range N-M with N <= M.
// Numbers are decimal, or hexadecimal after "0x" / "U+"; every value lies in 0..65535. Blanks
// around items and numbers are allowed; an empty item is not.
bool MarkCharRanges(std::string_view ranges, CharacterSelection& selection, std::string* error);

}  // namespace glyphmill::cli
