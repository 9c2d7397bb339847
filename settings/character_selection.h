// CharacterSelection: one flag byte per UTF-16 code unit; nonzero means "generate this character".
#pragma once

#include <array>
#include <cstdint>

namespace glyphmill {

inline constexpr std::size_t kCodeUnitCount = 65536;

using CharacterSelection = std::array<uint8_t, kCodeUnitCount>;

// The first-start selection: code units 33 to 132 inclusive (the space is not selected).
inline void SetDefaultSelection(CharacterSelection& sel) {
  for (std::size_t u = 0; u < kCodeUnitCount; ++u) sel[u] = (u >= 33 && u <= 132) ? 1 : 0;
}

// Number of nonzero flags.
inline uint32_t CountSelected(const CharacterSelection& sel) {
  uint32_t n = 0;
  for (uint8_t f : sel) n += f != 0;
  return n;
}

}  // namespace glyphmill
