// The host side of glyphmill/host.h: what glyphmill_host_query hands a plug-in during an export
// call.
//
// The export run prepares one HostFontInfo per run (before any plug-in call, and so before the
// call's process is forked) and installs it with a HostServicesScope around each plug-in call;
// outside such a scope glyphmill_host_query returns NULL. The kerning pairs are the one costly
// part: they are computed on the first query that asks for the font information, inside the call
// (in its child process when the call is isolated), from a font path resolved beforehand, so the
// call touches neither fontconfig nor another thread's locks.
//
// glyphmill_host_query is exported from every program that links glyphmill_core (export/
// CMakeLists.txt adds the linker options), so plug-ins find it with dlsym(RTLD_DEFAULT, ...).
// The current record is the one piece of process-wide state here: a C function has no other way
// to reach it. It is set and read on the main thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "export/kerning_pairs.h"
#include "glyphmill/host.h"
#include "render/placed_character.h"
#include "settings/generation_extras.h"
#include "settings/generation_settings.h"

extern "C" __attribute__((visibility("default"))) const void* GLYPHMILL_CALL glyphmill_host_query(const char* extension_id);

namespace glyphmill {

// What the font information of one export run is built from.
struct HostFontInfoInput {
  const GenerationSettings* settings = nullptr;
  const std::vector<PlacedCharacter>* chars = nullptr;  // the placed-character table, table order
  int32_t placedCount = kAllPlaced;                     // as placement left it (position in sort order)
  uint32_t charCount = 0;                               // CharCount of the export records
  int32_t ascent = 0;
  int32_t descent = 0;
  uint16_t sdfSpread = kDefaultSdfSpread;  // the distance-field spread (antialiasing Distance Field)
};

// The font information record of one export run and the storage it points into.
class HostFontInfo {
 public:
  explicit HostFontInfo(const HostFontInfoInput& input);
  HostFontInfo(const HostFontInfo&) = delete;
  HostFontInfo& operator=(const HostFontInfo&) = delete;

  // The records, with the kerning pairs computed on the first call of either.
  const GlyphmillFontInfoV1* fontInfo();
  const GlyphmillFontInfoV2* fontInfoV2();

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
  KerningSource kerningSource_;
  bool kerningAvailable_ = false;
  bool kerningDone_ = false;
  std::vector<GlyphmillKerningPair> kernings_;
};

// Installs a record for the duration of one plug-in call; the previous one comes back after it.
class HostServicesScope {
 public:
  explicit HostServicesScope(HostFontInfo& info);
  ~HostServicesScope();
  HostServicesScope(const HostServicesScope&) = delete;
  HostServicesScope& operator=(const HostServicesScope&) = delete;

 private:
  HostFontInfo* previous_;
};

}  // namespace glyphmill
