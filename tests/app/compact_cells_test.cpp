// Compact cells in the job table: every cell as tall as its glyph's ink plus the margins of the
// line cell, the text line's top moved by the distance to the ink, checked against the ink boxes
// FreeType renders.
#include <gtest/gtest.h>

#include <string>

#include "app/job_table.h"
#include "export/host_services.h"
#include "settings/font_face.h"
#include "settings/font_metrics.h"

namespace glyphmill {
namespace {

GenerationSettings Plain() {
  GenerationSettings s = FirstStartSettings();
  s.styleFlags = 0;
  s.setFontName("DejaVu Sans");
  s.fontSize = 24;
  return s;
}

GenerationExtras Compact() {
  GenerationExtras e;
  e.cellMode = kCellsCompact;
  return e;
}

TEST(CompactCell, InkReplacesTheLineAndTheLineTopMovesToTheInk) {
  // Default margins: O = 1, nothing else. Ink 20 rows tall, its top 18 rows above the baseline,
  // ascent 30: the line top lies 12 rows above the ink top.
  const PlacedCharacter pc = BuildCompactCharacter(Plain(), 'A', GlyphABC{1, 10, 2}, GlyphInk{18, 20}, 30);
  EXPECT_EQ(pc.cellHeight, 2u + 20u);
  EXPECT_EQ(pc.drawOffsetY, 1 - 12);
  // Widths, horizontal offsets and advances are those of the line cell.
  const PlacedCharacter line = BuildPlacedCharacter(Plain(), 'A', GlyphABC{1, 10, 2}, 37);
  EXPECT_EQ(pc.cellWidth, line.cellWidth);
  EXPECT_EQ(pc.drawOffsetX, line.drawOffsetX);
  EXPECT_EQ(pc.advanceBefore, line.advanceBefore);
  EXPECT_EQ(pc.advanceAfter, line.advanceAfter);
}

TEST(CompactCell, EveryMarginOfTheLineCellStays) {
  GenerationSettings s = Plain();
  s.styleFlags = kStyleBold | kStyleOutline | kStyleDropShadow;
  s.outlineWidth = 3;  // O = 7
  s.shadowSmoothing = 5;
  s.shadowOffset = 1;  // S = 1, E = 6
  s.verticalPad = 2;
  s.generalPadding = 3;
  const PlacedCharacter pc = BuildCompactCharacter(s, 'g', GlyphABC{0, 9, 1}, GlyphInk{12, 17}, 25);
  // 2O + ink + 2 vpad + 2d + 2 gp + E
  EXPECT_EQ(pc.cellHeight, 14u + 17u + 4u + 2u + 6u + 6u);
  // O + vpad + d + gp + S, less the 13 rows from the line top to the ink.
  EXPECT_EQ(pc.drawOffsetY, 7 + 2 + 1 + 3 + 1 - 13);
}

TEST(CompactCell, AGlyphWithoutInkGetsItsMarginsOnly) {
  GenerationSettings s = Plain();
  s.styleFlags = kStyleOutline;
  s.outlineWidth = 2;  // O = 5
  const PlacedCharacter pc = BuildCompactCharacter(s, ' ', GlyphABC{0, 0, 9}, GlyphInk{}, 30);
  EXPECT_EQ(pc.cellHeight, 10u);
  // The empty ink sits on the baseline, `ascent` below the line top.
  EXPECT_EQ(pc.drawOffsetY, 5 - 30);
}

TEST(CompactCell, NegativeSpacingWrapsLikeTheLineCell) {
  GenerationSettings s = Plain();
  s.verticalPad = -20;  // the margins exceed a small ink: a "negative" height, as line cells get
  const PlacedCharacter pc = BuildCompactCharacter(s, '.', GlyphABC{2, 3, 2}, GlyphInk{3, 3}, 30);
  EXPECT_EQ(static_cast<int32_t>(pc.cellHeight), 2 + 3 - 40);
  EXPECT_EQ(pc.drawOffsetY, 1 - 20 - 27);
}

// A real measurement of DejaVu Sans (or a face with synthesised style) and both tables.
struct Measured {
  FontTables tables;
  CharacterSelection selection{};
  std::unique_ptr<FontFace> face;
};

Measured Measure(const GenerationSettings& s, uint16_t first, uint16_t last) {
  Measured m;
  for (uint32_t u = first; u <= last; ++u) m.selection[u] = 1;
  FontMeasurer measurer;
  bool fontChanged = true;
  std::string error;
  const FontRequest font{s.fontNameString(), s.fontSize, s.bold(), s.italic()};
  EXPECT_TRUE(measurer.Measure(font, {}, s.kerning, m.selection, fontChanged, m.tables, &error)) << error;
  m.face = FontFace::Open(font, &error);
  EXPECT_TRUE(m.face) << error;
  return m;
}

// For every character: the compact cell is the line cell with the rows above and below the ink
// FreeType renders (Smooth) cut away, so the ink starts exactly at the line cell's top margin.
void ExpectCompactAgainstFreeType(const GenerationSettings& s, uint16_t first, uint16_t last) {
  Measured m = Measure(s, first, last);
  ASSERT_TRUE(m.face);
  const JobTable line = BuildJobTable(s, m.selection, m.tables, m.tables.selectedCount);
  const JobTable compact = BuildJobTable(s, m.selection, m.tables, m.tables.selectedCount, Compact());
  ASSERT_EQ(line.chars.size(), compact.chars.size());
  ASSERT_GT(line.chars.size(), 0u);
  const int32_t lineHeight = m.tables.ascent + m.tables.descent;
  int32_t above = INT32_MIN, below = INT32_MIN;
  for (std::size_t i = 0; i < line.chars.size(); ++i) {
    const PlacedCharacter& l = line.chars[i];
    const PlacedCharacter& c = compact.chars[i];
    SCOPED_TRACE("code unit " + std::to_string(c.codeUnit));
    GlyphImage glyph;
    ASSERT_TRUE(m.face->renderGlyph(c.codeUnit, kAntialiasSmooth, &glyph));
    const bool ink = glyph.rows > 0 && glyph.width > 0;
    const int32_t inkRows = ink ? glyph.rows : 0;
    const int32_t inkTop = ink ? glyph.top : 0;
    EXPECT_EQ(c.codeUnit, l.codeUnit);
    EXPECT_EQ(c.cellWidth, l.cellWidth);
    EXPECT_EQ(c.drawOffsetX, l.drawOffsetX);
    EXPECT_EQ(static_cast<int64_t>(c.cellHeight), int64_t{l.cellHeight} - lineHeight + inkRows);
    EXPECT_EQ(l.drawOffsetY - c.drawOffsetY, m.tables.ascent - inkTop);
    // Drawn at the cell's line top, the ink's first row is the line cell's top margin.
    EXPECT_EQ(c.drawOffsetY + m.tables.ascent - inkTop, l.drawOffsetY);
    above = std::max(above, c.drawOffsetY);
    below = std::max(below, static_cast<int32_t>(c.cellHeight) - c.drawOffsetY);
  }
  EXPECT_EQ(compact.tallestCell, static_cast<uint32_t>(above + below));
  EXPECT_EQ(line.tallestCell, line.chars.front().cellHeight);
  // Both tables know the text line's cell: the first line cell, whatever shape the cells have.
  for (const JobTable* t : {&line, &compact}) {
    EXPECT_EQ(t->line.height, line.chars.front().cellHeight);
    EXPECT_EQ(t->line.drawOffsetY, line.chars.front().drawOffsetY);
  }
}

TEST(CompactCellsFromFreeType, DefaultSettings) { ExpectCompactAgainstFreeType(Plain(), 32, 383); }

TEST(CompactCellsFromFreeType, Outline) {
  GenerationSettings s = Plain();
  s.styleFlags = kStyleOutline;
  s.outlineWidth = 4;
  ExpectCompactAgainstFreeType(s, 32, 126);
}

TEST(CompactCellsFromFreeType, DropShadow) {
  GenerationSettings s = Plain();
  s.styleFlags = kStyleDropShadow;
  s.shadowSmoothing = 6;
  s.shadowOffset = 1;
  ExpectCompactAgainstFreeType(s, 32, 126);
}

TEST(CompactCellsFromFreeType, BoldAndPaddings) {
  GenerationSettings s = Plain();
  s.styleFlags = kStyleBold;
  s.verticalPad = 3;
  s.generalPadding = 2;
  s.leading = 1;
  s.trailing = 4;
  ExpectCompactAgainstFreeType(s, 32, 255);
}

TEST(CompactCellsFromFreeType, SynthesisedBoldAndItalic) {
  // DejaVu Sans Light has neither a bold nor an oblique face: both are synthesised.
  GenerationSettings s = Plain();
  s.setFontName("DejaVu Sans Light");
  s.styleFlags = kStyleBold | kStyleItalic;
  ExpectCompactAgainstFreeType(s, 32, 126);
}

TEST(CompactCellsFromFreeType, CellsAreShorterThanLineCellsForLowGlyphs) {
  Measured m = Measure(Plain(), '-', '.');
  const JobTable line = BuildJobTable(Plain(), m.selection, m.tables, m.tables.selectedCount);
  const JobTable compact = BuildJobTable(Plain(), m.selection, m.tables, m.tables.selectedCount, Compact());
  ASSERT_EQ(compact.chars.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) EXPECT_LT(compact.chars[i].cellHeight * 3, line.chars[i].cellHeight);
  // The band that holds both on one text line is far lower than a line cell too.
  EXPECT_LT(compact.tallestCell, line.tallestCell);
}

TEST(CompactCellsFromFreeType, TheFontInformationDescribesTheTextLineNotTheFirstCell) {
  // A plug-in reading the first font-information record gets the same line height and base with
  // compact cells as with line cells, although the first compact cell ('-') is a few rows high.
  GenerationSettings s = Plain();
  s.outlineWidth = 2;
  s.styleFlags = kStyleOutline;
  Measured m = Measure(s, '-', 'Z');
  auto infoFor = [&](const GenerationExtras& extras) {
    const JobTable table = BuildJobTable(s, m.selection, m.tables, m.tables.selectedCount, extras);
    GenerationResult result;
    result.chars = table.chars;
    result.line = table.line;
    HostFontInfo info(
        HostFontInfoInput{&s, &result, static_cast<uint32_t>(table.chars.size()), m.tables.ascent, m.tables.descent});
    return *info.fontInfo();
  };
  const GlyphmillFontInfoV1 line = infoFor({}), compact = infoFor(Compact());
  ASSERT_GT(line.line_height, m.tables.ascent + m.tables.descent);
  EXPECT_EQ(compact.line_height, line.line_height);
  EXPECT_EQ(compact.base, line.base);
}

TEST(CompactCellsFromFreeType, WithoutInkTablesTheCellsStayLineCells) {
  Measured m = Measure(Plain(), 'A', 'Z');
  const JobTable line = BuildJobTable(Plain(), m.selection, m.tables, m.tables.selectedCount);
  const JobTable fromVectors = BuildJobTable(Plain(), m.selection, m.tables.glyphMetrics, m.tables.glyphHeights,
                                             m.tables.selectedCount, Compact());
  EXPECT_EQ(fromVectors.chars, line.chars);
}

}  // namespace
}  // namespace glyphmill
