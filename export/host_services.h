// The program's side of glyphmill/host.h: the font information a plug-in's glyphmill_host_query
// answers with during an export call.
//
// The export run builds one HostFontInfo per run and, before the run's first plug-in call, writes
// it as a font information image (host/font_info_image.h) into the plug-in host's shared memory.
// The host rebuilds the records there and answers glyphmill_host_query with them
// (host/host_query.h). The kerning pairs are the one costly part: they are computed once per run,
// here in the program, on the first request for the records or the image.
//
// Texture pages: the fixed records and both font information records describe page 0, the
// characters on it (and any that found room on no page). The pages record (glyphmill.pages/1)
// describes every page and the whole table; the buffers of the pages after the first go into the
// image straight from the job's pages, one page at a time (and, when the run is the result's last
// use, each page is released right after). The kerning pairs cover the whole
// table, so that a descriptor of several pages kerns across them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "export/kerning_pairs.h"
#include "glyphmill/host.h"
#include "host/font_info_image.h"
#include "render/generation_result.h"
#include "settings/generation_extras.h"
#include "settings/generation_settings.h"

namespace glyphmill {

// What the font information of one export run is built from.
struct HostFontInfoInput {
  const GenerationSettings* settings = nullptr;
  // The job's result: its placed-character table (table order), placed count, order and the
  // distance-field spread of its mask.
  const GenerationResult* result = nullptr;
  uint32_t charCount = 0;  // CharCount of the export records
  int32_t ascent = 0;
  int32_t descent = 0;
  // The same result when the run is its last use (the command line ends after its export): each
  // later page's memory is given back as soon as its buffers are written into the image, so that
  // the pages are never held twice. Null: the result is left as it is.
  GenerationResult* spentResult = nullptr;
};

// The font information record of one export run and the storage it points into.
class HostFontInfo {
 public:
  explicit HostFontInfo(const HostFontInfoInput& input);
  HostFontInfo(const HostFontInfo&) = delete;
  HostFontInfo& operator=(const HostFontInfo&) = delete;

  // The records, with the kerning pairs computed on the first call of any of these.
  const GlyphmillFontInfoV1* fontInfo();
  const GlyphmillFontInfoV2* fontInfoV2();
  // The records and the pages as one image for the plug-in host: in parts (the page buffers
  // written by the part writers, which read the job's images), or whole.
  FontInfoImage imageParts();
  std::vector<uint8_t> image();

  // The parts, for inspection.
  const std::vector<uint8_t>& placed() const { return placed_; }
  bool kerningComputed() const { return kerningDone_; }

 private:
  void computeKerning();

  GlyphmillFontInfoV1 record_{};
  GlyphmillFontInfoV2 recordV2_{};
  std::vector<GlyphmillCharGeometry> geometry_;
  std::string faceName_;
  std::vector<uint8_t> placed_;
  std::vector<uint16_t> codeUnits_;
  std::vector<uint8_t> fontOf_;                // each record's font, as codeUnits_
  std::vector<KerningSource> kerningSources_;  // per font: the chosen one, then the fallbacks
  bool kerningDone_ = false;
  std::vector<GlyphmillKerningPair> kernings_;
  // The pages record's lists and pages.
  std::vector<TExportCharInfo> allChars_;
  std::vector<uint32_t> charPages_;
  std::vector<uint8_t> allPlaced_;
  std::vector<GlyphmillCharGeometry> allGeometry_;
  PagesImageSource pages_;
};

}  // namespace glyphmill
