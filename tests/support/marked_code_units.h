// The code units a selection marks, for tests that compare what a parser marked with a list.
#pragma once

#include <cstdint>
#include <vector>

#include "settings/character_selection.h"

namespace glyphmill::testing {

// Every code unit whose flag is nonzero, ascending.
inline std::vector<uint32_t> Marked(const CharacterSelection& s) {
  std::vector<uint32_t> out;
  for (uint32_t u = 0; u < s.size(); ++u)
    if (s[u]) out.push_back(u);
  return out;
}

}  // namespace glyphmill::testing
