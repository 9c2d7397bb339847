#include "app/job_table.h"

#include <algorithm>
#include <cstdint>

#include "settings/distance_field_mode.h"
#include "settings/rounding.h"

namespace glyphmill {

int32_t OutlineMargin(const GenerationSettings& s) {
  return BakesOutline(s) ? 2 * static_cast<int32_t>(s.outlineWidth) + 1 : 1;
}

int32_t ShadowLead(const GenerationSettings& s) {
  if (!BakesDropShadow(s)) return 0;
  return std::max<int32_t>(static_cast<int32_t>(s.shadowSmoothing) / 2 - static_cast<int32_t>(s.shadowOffset), 0);
}

int32_t ShadowExtent(const GenerationSettings& s) {
  if (!BakesDropShadow(s)) return 0;
  return static_cast<int32_t>(s.shadowSmoothing) + static_cast<int32_t>(s.shadowOffset);
}

int32_t DistanceFieldMargin(const GenerationSettings& s, const GenerationExtras& extras) {
  return IsDistanceField(s) ? static_cast<int32_t>(FieldSpread(extras)) : 0;
}

void GrowCellByMargin(PlacedCharacter& pc, int32_t margin) {
  pc.drawOffsetX += margin;
  pc.drawOffsetY += margin;
  pc.cellWidth += static_cast<uint32_t>(2 * margin);
  pc.cellHeight += static_cast<uint32_t>(2 * margin);
}

PlacedCharacter BuildPlacedCharacter(const GenerationSettings& s, uint16_t codeUnit, const GlyphABC& abc,
                                     int32_t height) {
  const int32_t O = OutlineMargin(s);
  const int32_t S = ShadowLead(s);
  const int32_t E = ShadowExtent(s);
  const int32_t d = s.bold() ? 1 : 0;
  const int32_t A = abc.abcA;
  const uint32_t B = abc.abcB;
  const int32_t C = abc.abcC;
  const double halfKerning = s.kerning / 2.0;
  // Integer sums wrap like the 32-bit arithmetic they describe.
  auto sum = [](std::initializer_list<int64_t> parts) {
    int64_t total = 0;
    for (int64_t p : parts) total += p;
    return static_cast<uint32_t>(static_cast<uint64_t>(total));
  };
  PlacedCharacter pc;
  pc.advanceAfter = RoundHalfEven32(static_cast<double>(B) + C + halfKerning);
  pc.advanceBefore = RoundHalfEven32(A + halfKerning);
  pc.codeUnit = codeUnit;
  pc.drawOffsetX = static_cast<int32_t>(sum({O, -int64_t{A}, s.leading, d, s.generalPadding, S}));
  pc.drawOffsetY = static_cast<int32_t>(sum({O, s.verticalPad, d, s.generalPadding, S}));
  pc.cellWidth = sum({2 * int64_t{O}, std::max<int64_t>(-int64_t{A}, 0), int64_t{B}, std::max<int64_t>(C, 0), s.leading,
                      s.trailing, 2 * int64_t{d}, 2 * int64_t{s.generalPadding}, E});
  pc.cellHeight =
      sum({2 * int64_t{O}, height, 2 * int64_t{s.verticalPad}, 2 * int64_t{d}, 2 * int64_t{s.generalPadding}, E});
  return pc;
}

PlacedCharacter BuildCompactCharacter(const GenerationSettings& s, uint16_t codeUnit, const GlyphABC& abc,
                                      const GlyphInk& ink, int32_t ascent) {
  PlacedCharacter pc = BuildPlacedCharacter(s, codeUnit, abc, ink.height);
  // The ink's top row lies ascent - ink.top rows below the line top; the margins now end at the ink.
  const int64_t lineTopToInk = int64_t{ascent} - ink.top;
  pc.drawOffsetY = static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(pc.drawOffsetY - lineTopToInk)));
  return pc;
}

JobTable BuildJobTable(const GenerationSettings& s, const CharacterSelection& selection,
                       std::span<const GlyphABC> glyphMetrics, std::span<const int32_t> glyphHeights, uint32_t capacity,
                       const GenerationExtras& extras, const InkSource& ink) {
  const int32_t fieldMargin = DistanceFieldMargin(s, extras);
  JobTable table;
  table.chars.reserve(capacity);
  table.abc.reserve(capacity);
  const bool compact = extras.cellMode == kCellsCompact && ink.glyphInk.size() >= kCodeUnitCount;
  // The band: the largest reach above the line top and the largest reach below it.
  int64_t above = 0, below = 0;
  for (size_t u = 0; u < kCodeUnitCount && table.chars.size() < capacity; ++u) {
    if (!selection[u]) continue;
    const uint16_t unit = static_cast<uint16_t>(u);
    if (table.chars.empty()) {
      PlacedCharacter lineCell = BuildPlacedCharacter(s, unit, glyphMetrics[u], glyphHeights[u]);
      GrowCellByMargin(lineCell, fieldMargin);
      table.line = {lineCell.cellHeight, lineCell.drawOffsetY};
    }
    PlacedCharacter pc = compact ? BuildCompactCharacter(s, unit, glyphMetrics[u], ink.glyphInk[u], ink.ascent)
                                 : BuildPlacedCharacter(s, unit, glyphMetrics[u], glyphHeights[u]);
    GrowCellByMargin(pc, fieldMargin);
    const int64_t up = pc.drawOffsetY, down = int64_t{pc.cellHeight} - pc.drawOffsetY;
    if (table.chars.empty() || up > above) above = up;
    if (table.chars.empty() || down > below) below = down;
    table.chars.push_back(pc);
    table.abc.push_back(glyphMetrics[u]);
  }
  if (!table.chars.empty())
    table.tallestCell = static_cast<uint32_t>(std::clamp<int64_t>(above + below, 0, UINT32_MAX));
  return table;
}

JobTable BuildJobTable(const GenerationSettings& s, const CharacterSelection& selection, const FontTables& tables,
                       uint32_t capacity, const GenerationExtras& extras) {
  JobTable table = BuildJobTable(s, selection, tables.glyphMetrics, tables.glyphHeights, capacity, extras,
                                 InkSource{tables.glyphInk, tables.ascent});
  // Each record is drawn from the font it was measured with.
  if (tables.glyphFont.size() >= kCodeUnitCount)
    for (PlacedCharacter& pc : table.chars) pc.font = tables.glyphFont[pc.codeUnit];
  return table;
}

}  // namespace glyphmill
