// Writes one export of every shipped exporter into a folder, for the independent readers of
// check_outputs.js. Usage: plugins_acceptance_samples FOLDER
//
// The texture and table are generated (tests/plugins/plugin_test_support.h); the program offers
// the host's font information, so the BMFont files carry a face, a base and kerning pairs.
#include <cstdio>
#include <string>

#include "tests/plugins/plugin_test_support.h"
#include "tests/plugins/test_font_info_host.h"

using namespace glyphmill::plugintest;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  const TestTexture t = MakeTexture(256, 128);
  const auto chars = MakeCharTable(90, 256, 16, 20);  // 33 to 122, 16 cells a row

  TestFontInfo host;
  host.face = "DejaVu Sans";
  host.placed.assign(chars.size(), 1);
  host.kernings = {{65, 86, -2}, {84, 111, -3}, {86, 65, -2}};
  host.record.struct_size = sizeof(GlyphmillFontInfoV1);
  host.record.point_size = 12;
  host.record.pixel_size = 16;
  host.record.line_height = 20;
  host.record.base = 17;
  host.record.ascent = 15;
  host.record.descent = 4;
  OfferFontInfo(host.bind());

  try {
    for (const char* form : {"bmfont_text", "bmfont_xml", "bmfont_binary"}) {
      const std::string path = folder + "/" + form + ".fnt";
      TSimpleExportInfo r{};
      r.FileName = path.c_str();
      r.Width = t.width;
      r.Height = t.height;
      r.RGB = t.bgr.data();
      r.Alpha = t.alpha.data();
      r.CharCount = static_cast<uint32_t>(chars.size());
      r.SpaceAdvance = 5;
      r.Chars = chars.data();
      LoadedPlugin(std::string(form) + ".so").simpleExport(r);
    }
    const struct {
      const char* name;
      bool colour, alpha;
    } images[] = {{"image_rgb", true, false}, {"image_alpha", false, true}, {"image_rgba", true, true}};
    for (const auto& image : images) {
      for (const char* kind : {"png", "tga"}) {
        const std::string path = folder + "/" + image.name + "." + kind;
        TGraphicExportInfo r{};
        r.FileName = path.c_str();
        r.Width = t.width;
        r.Height = t.height;
        r.RGB = image.colour ? t.bgr.data() : nullptr;
        r.Alpha = image.alpha ? t.alpha.data() : nullptr;
        LoadedPlugin(std::string(kind) + "_image.so").graphicExport(r);
      }
    }
    const std::string json = folder + "/metrics.json";
    TDataExportInfo d{};
    d.FileName = json.c_str();
    d.CharCount = static_cast<uint32_t>(chars.size());
    d.SpaceAdvance = 5;
    d.Width = t.width;
    d.Height = t.height;
    d.Chars = chars.data();
    LoadedPlugin("json_metrics.so").dataExport(d);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "export failed: %s\n", e.what());
    return 1;
  }
  return 0;
}
