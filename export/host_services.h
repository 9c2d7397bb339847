// The program's side of glyphmill/host.h: the font information a plug-in's glyphmill_host_query
// answers with during an export call.
//
// The export run builds one HostFontInfo per run and, before the run's first plug-in call, writes
// it as a font information image (host/font_info_image.h) into the plug-in host's shared memory.
// The host rebuilds the records there and answers glyphmill_host_query with them
// (host/host_query.h). The kerning pairs are the one costly part: they are computed once per run,
// here in the program, on the first request for the records or the image.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "export/kerning_pairs.h"
#include "glyphmill/host.h"
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
  // Both records as one image for the plug-in host.
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
};

}  // namespace glyphmill
