#include "export/host_services.h"

#include <algorithm>
#include <cstring>

#include "export/export_buffers.h"
#include "host/font_info_image.h"
#include "settings/distance_field_mode.h"
#include "settings/font_face.h"
#include "settings/font_request.h"

namespace glyphmill {

HostFontInfo::HostFontInfo(const HostFontInfoInput& input) {
  static const GenerationResult kNoResult;
  static const GenerationSettings kNoSettings;
  const GenerationResult& result = input.result ? *input.result : kNoResult;
  const std::vector<PlacedCharacter>& chars = result.chars;
  const GenerationSettings& s = input.settings ? *input.settings : kNoSettings;
  const uint32_t count = static_cast<uint32_t>(std::min<std::size_t>(input.charCount, chars.size()));

  faceName_ = s.fontNameString();

  // A record is placed when its position in placement's order lies below the placed count.
  std::vector<uint8_t> placed = PlacedFlags(result);
  placed.resize(count);

  // The fixed records' table: the records on page 0.
  const std::vector<uint32_t> firstPage = FirstPageRecords(chars, count);
  const uint32_t classicCount = static_cast<uint32_t>(firstPage.size());
  placed_.reserve(classicCount);
  geometry_.reserve(classicCount);
  for (uint32_t i : firstPage) {
    placed_.push_back(placed[i]);
    geometry_.push_back({chars[i].drawOffsetX, chars[i].drawOffsetY});
  }

  // The whole table, for the pages record and the kerning.
  allChars_ = BuildAllPagesCharTable(chars, count);
  allPlaced_ = placed;
  codeUnits_.reserve(count);
  fontOf_.reserve(count);
  charPages_.reserve(count);
  allGeometry_.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    codeUnits_.push_back(chars[i].codeUnit);
    fontOf_.push_back(chars[i].font);
    charPages_.push_back(chars[i].page);
    allGeometry_.push_back({chars[i].drawOffsetX, chars[i].drawOffsetY});
  }
  for (int32_t k = 0; k < PageCount(result); ++k) {
    const Image24& colour = ExportedColour(result, k);
    PageImageSource page;
    page.width = static_cast<uint32_t>(colour.width());
    page.height = static_cast<uint32_t>(colour.height());
    if (k > 0) {
      const TexturePage& kept = result.morePages[static_cast<std::size_t>(k - 1)];
      page.writeRgb = ColourBufferWriter(colour);
      // Every page's alpha as the first page's: opaque for a multi-channel field.
      page.writeAlpha = [&kept, opaque = ExportsOpaqueAlpha(result)](uint8_t* dst) {
        WriteAlphaBuffer(kept, dst, opaque);
      };
      if (input.spentResult == input.result && input.spentResult != nullptr)
        page.written = [&spent = input.spentResult->morePages[static_cast<std::size_t>(k - 1)]] { ReleasePage(spent); };
    }
    pages_.pages.push_back(std::move(page));
  }
  pages_.chars = allChars_;
  pages_.charPages = charPages_;
  pages_.placed = allPlaced_;
  pages_.geometry = allGeometry_;

  // The line height and base describe the cell of a whole text line: every cell with line cells,
  // and the cell a line would take with compact cells, whose own heights follow their ink.
  int32_t cellHeight = input.ascent + input.descent;
  int32_t drawOffsetY = 0;
  if (result.line.height > 0) {
    cellHeight = static_cast<int32_t>(result.line.height);
    drawOffsetY = result.line.drawOffsetY;
  } else if (!chars.empty()) {
    cellHeight = static_cast<int32_t>(chars.front().cellHeight);
    drawOffsetY = chars.front().drawOffsetY;
  }

  record_.struct_size = sizeof(GlyphmillFontInfoV1);
  record_.point_size = s.fontSize;
  record_.pixel_size = EmPixels(s.fontSize);
  record_.line_height = cellHeight;
  record_.base = drawOffsetY + input.ascent;
  record_.ascent = input.ascent;
  record_.descent = input.descent;
  record_.outline_width = BakesOutline(s) ? s.outlineWidth : 0;
  record_.bold = s.bold() ? 1 : 0;
  record_.italic = s.italic() ? 1 : 0;
  record_.antialias_mode = static_cast<uint8_t>(s.antialiasMode);
  record_.char_count = classicCount;
  record_.face_name = faceName_.c_str();
  record_.placed = placed_.empty() ? nullptr : placed_.data();
  record_.kerning_count = 0;
  record_.kernings = nullptr;

  recordV2_.struct_size = sizeof(GlyphmillFontInfoV2);
  recordV2_.point_size = record_.point_size;
  recordV2_.pixel_size = record_.pixel_size;
  recordV2_.line_height = input.ascent + input.descent;
  recordV2_.ascent = input.ascent;
  recordV2_.descent = input.descent;
  recordV2_.outline_width = record_.outline_width;
  recordV2_.bold = record_.bold;
  recordV2_.italic = record_.italic;
  recordV2_.antialias_mode = record_.antialias_mode;
  // The colour buffer is the job's page when it made one (never for distance fields).
  recordV2_.page_pixels = result.page.width() > 0 ? result.pagePixels : 0;
  recordV2_.char_count = classicCount;
  // Engines read the field's whole range: from -spread to +spread around the outline.
  recordV2_.distance_range = IsDistanceField(s) ? 2 * static_cast<uint32_t>(result.fieldSpread) : 0;
  recordV2_.face_name = faceName_.c_str();
  recordV2_.placed = record_.placed;
  recordV2_.geometry = geometry_.empty() ? nullptr : geometry_.data();

  // The font file is resolved with the run's settings; the kerning is computed from it when the
  // records are first needed.
  const FontRequest request = FontRequestFromSettings(s);
  ResolvedFont resolved;
  std::string error;
  if (count > 0 && ResolveFont(request, &resolved, &error)) {
    kerningSources_.push_back(KerningSource{resolved.path, resolved.faceIndex, record_.pixel_size});
    // The characters drawn from a fallback are kerned by that font alone.
    for (const ResolvedFont& fallback : result.fallbackFonts)
      kerningSources_.push_back(KerningSource{fallback.path, fallback.faceIndex, record_.pixel_size});
  }
}

void HostFontInfo::computeKerning() {
  if (kerningDone_) return;
  kerningDone_ = true;
  // Pairs exist only between two characters of the same font: each font's characters are kerned
  // among themselves, and the lists are merged in the record's order.
  for (std::size_t k = 0; k < kerningSources_.size(); ++k) {
    std::vector<uint16_t> units;
    for (std::size_t i = 0; i < codeUnits_.size(); ++i)
      if (fontOf_[i] == k || (k == 0 && fontOf_[i] >= kerningSources_.size())) units.push_back(codeUnits_[i]);
    if (units.empty()) continue;
    std::vector<GlyphmillKerningPair> pairs = ComputeKerningPairs(kerningSources_[k], units);
    kernings_.insert(kernings_.end(), pairs.begin(), pairs.end());
  }
  if (kerningSources_.size() > 1)
    std::sort(kernings_.begin(), kernings_.end(), [](const GlyphmillKerningPair& a, const GlyphmillKerningPair& b) {
      return a.first != b.first ? a.first < b.first : a.second < b.second;
    });
  record_.kerning_count = recordV2_.kerning_count = static_cast<uint32_t>(kernings_.size());
  record_.kernings = recordV2_.kernings = kernings_.empty() ? nullptr : kernings_.data();
}

const GlyphmillFontInfoV1* HostFontInfo::fontInfo() {
  computeKerning();
  return &record_;
}

const GlyphmillFontInfoV2* HostFontInfo::fontInfoV2() {
  computeKerning();
  return &recordV2_;
}

FontInfoImage HostFontInfo::imageParts() {
  computeKerning();
  return WriteFontInfoImageParts(record_, recordV2_, &pages_);
}

std::vector<uint8_t> HostFontInfo::image() { return imageParts().bytes(); }

}  // namespace glyphmill
