// Compact cells through the whole render job: packing, drawing, outline and drop shadow give, cell
// by cell, exactly the pixels of a line-cell run shifted up by the rows the compact cell cuts away;
// and the rows cut away hold nothing.
#include <gtest/gtest.h>

#include <string>

#include "app/job_table.h"
#include "render/placement.h"
#include "tests/render/render_job_fixture.h"

namespace glyphmill::testing {
namespace {

struct RenderedRun {
  std::unique_ptr<RenderThread> job;
  std::vector<uint8_t> placed;
};

RenderedRun Render(const GenerationSettings& s, const CharacterSelection& wanted, uint8_t cellMode) {
  CharacterSelection selection = wanted;
  FontMeasurer measurer;
  FontTables tables;
  bool fontChanged = true;
  std::string error;
  const FontRequest font{s.fontNameString(), s.fontSize, s.bold(), s.italic()};
  EXPECT_TRUE(measurer.Measure(font, {}, s.kerning, selection, fontChanged, tables, &error)) << error;
  GenerationExtras extras;
  extras.cellMode = cellMode;
  RenderedRun run;
  run.job = std::make_unique<RenderThread>(s, kJobPlace, nullptr, extras);
  JobTable table = BuildJobTable(s, selection, tables, tables.selectedCount, extras);
  run.job->setTable(std::move(table.chars), std::move(table.abc));
  run.job->run();
  PlacementResult placement;
  placement.sortOrder = run.job->sortOrder();
  placement.placedCount = run.job->placedCount();
  run.placed = PlacedFlags(placement, run.job->chars().size());
  return run;
}

bool SamePixel(const Image24& a, int64_t ax, int64_t ay, const Image24& b, int64_t bx, int64_t by) {
  const uint8_t* p = a.row(static_cast<int32_t>(ay)) + ax * 3;
  const uint8_t* q = b.row(static_cast<int32_t>(by)) + bx * 3;
  return p[0] == q[0] && p[1] == q[1] && p[2] == q[2];
}

// Every placed compact cell holds, in colour and mask, the pixels of the same character's line
// cell from `dy` = (line drawOffsetY - compact drawOffsetY) rows down; the line cell's other rows
// hold no coverage. Returns the number of cells compared.
int CompareCells(const RenderedRun& line, const RenderedRun& compact) {
  const auto& lc = line.job->chars();
  const auto& cc = compact.job->chars();
  EXPECT_EQ(lc.size(), cc.size());
  int compared = 0;
  for (std::size_t i = 0; i < lc.size() && i < cc.size(); ++i) {
    if (!line.placed[i] || !compact.placed[i]) continue;
    const PlacedCharacter& l = lc[i];
    const PlacedCharacter& c = cc[i];
    SCOPED_TRACE("code unit " + std::to_string(c.codeUnit));
    const int64_t dy = int64_t{l.drawOffsetY} - c.drawOffsetY;
    const Image24& lColour = line.job->colourImage();
    const Image24& lMask = line.job->maskImage();
    const Image24& cColour = compact.job->colourImage();
    const Image24& cMask = compact.job->maskImage();
    auto coverage = [](const Image24& mask, int64_t x, int64_t y) {
      return mask.pixel(static_cast<int32_t>(x), static_cast<int32_t>(y)).b;
    };
    int mismatches = 0;
    // Rows of either cell: where both hold the row, the pixels agree; a row only one of them holds
    // (the ink-free rows the compact cell cut away, or a margin row of the compact cell that lies
    // outside the line cell when ink rises above the text line) has no coverage.
    for (int64_t y = std::min<int64_t>(0, -dy); y < std::max<int64_t>(l.cellHeight, c.cellHeight + dy); ++y) {
      const bool inLine = y >= 0 && y < l.cellHeight;
      const bool inCompact = y - dy >= 0 && y - dy < c.cellHeight;
      for (int64_t x = 0; x < l.cellWidth; ++x) {
        const int64_t lx = l.cellX + x, ly = l.cellY + y;
        const int64_t cx = c.cellX + x, cy = c.cellY + y - dy;
        if (inLine && inCompact) {
          if (!SamePixel(lColour, lx, ly, cColour, cx, cy) || !SamePixel(lMask, lx, ly, cMask, cx, cy)) ++mismatches;
        } else if (inLine) {
          if (coverage(lMask, lx, ly) != 0) ++mismatches;
        } else if (inCompact) {
          if (coverage(cMask, cx, cy) != 0) ++mismatches;
        }
      }
    }
    EXPECT_EQ(mismatches, 0);
    ++compared;
  }
  return compared;
}

GenerationSettings Settings24(int texture = 512) {
  GenerationSettings s = TestSettings(texture);
  s.fontSize = 24;
  return s;
}

TEST(CompactRender, PlainGlyphsArePixelExactShiftedLineCells) {
  const CharacterSelection sel = Selection(32, 383);
  const RenderedRun line = Render(Settings24(1024), sel, kCellsLine);
  const RenderedRun compact = Render(Settings24(1024), sel, kCellsCompact);
  EXPECT_EQ(line.job->placedCount(), kAllPlaced);
  EXPECT_EQ(compact.job->placedCount(), kAllPlaced);
  EXPECT_GT(CompareCells(line, compact), 300);
}

TEST(CompactRender, EveryAntialiasingModeStaysInsideItsCell) {
  for (uint16_t mode : {kAntialiasSmooth, kAntialiasCleartype, kAntialiasNone}) {
    SCOPED_TRACE("antialiasing " + std::to_string(mode));
    GenerationSettings s = Settings24();
    s.antialiasMode = mode;
    const CharacterSelection sel = Selection(33, 126);
    EXPECT_EQ(CompareCells(Render(s, sel, kCellsLine), Render(s, sel, kCellsCompact)), 94);
  }
}

TEST(CompactRender, OutlineBoldAndPaddingsArePixelExact) {
  GenerationSettings s = Settings24();
  s.styleFlags = kStyleOutline | kStyleBold;
  s.outlineWidth = 3;
  s.outlineHardness = 4;
  s.verticalPad = 2;
  s.generalPadding = 1;
  const CharacterSelection sel = Selection(33, 126);
  EXPECT_EQ(CompareCells(Render(s, sel, kCellsLine), Render(s, sel, kCellsCompact)), 94);
}

TEST(CompactRender, DropShadowIsPixelExactForSingleCharacters) {
  // The shadow's blur reaches past a cell into whatever lies beside it, so each character is
  // rendered alone: its whole neighbourhood is then the same in both runs. The blur leaves the
  // texture's first rows and columns alone, so the cell is packed towards the centre, away from
  // the edges, in both runs.
  GenerationSettings s = Settings24(128);
  s.packOrigin = kOriginMiddle;
  s.styleFlags = kStyleDropShadow | kStyleOutline;
  s.outlineWidth = 2;
  s.shadowSmoothing = 4;
  s.shadowOffset = 3;
  for (uint16_t u : {u'g', u'A', u'.', u'|', u'\u00C5', u'~'}) {
    SCOPED_TRACE("code unit " + std::to_string(u));
    const CharacterSelection sel = Selection(u, u);
    EXPECT_EQ(CompareCells(Render(s, sel, kCellsLine), Render(s, sel, kCellsCompact)), 1);
  }
}

TEST(CompactRender, CompactCellsPackMoreCharactersIntoTheSameTexture) {
  const CharacterSelection sel = Selection(32, 126);
  const RenderedRun line = Render(Settings24(256), sel, kCellsLine);
  const RenderedRun compact = Render(Settings24(256), sel, kCellsCompact);
  EXPECT_LT(line.job->placedCount(), 95);  // a whole line per cell overflows 256 x 256
  EXPECT_EQ(compact.job->placedCount(), kAllPlaced);
  // Placed cells never overlap.
  const auto& cells = compact.job->chars();
  for (std::size_t i = 0; i < cells.size(); ++i)
    for (std::size_t j = i + 1; j < cells.size(); ++j) {
      const PlacedCharacter& a = cells[i];
      const PlacedCharacter& b = cells[j];
      const bool apart = a.cellX + static_cast<int64_t>(a.cellWidth) <= b.cellX ||
                         b.cellX + static_cast<int64_t>(b.cellWidth) <= a.cellX ||
                         a.cellY + static_cast<int64_t>(a.cellHeight) <= b.cellY ||
                         b.cellY + static_cast<int64_t>(b.cellHeight) <= a.cellY;
      EXPECT_TRUE(apart) << a.codeUnit << " and " << b.codeUnit;
    }
}

}  // namespace
}  // namespace glyphmill::testing
