#include "plugins/bmfont_json/bmfont_json_format.h"

#include <nlohmann/json.hpp>

namespace glyphmill::plugins {

std::string FormatBmFontJson(const BmFontDescription& font) {
  using Json = nlohmann::ordered_json;
  const BmFontInfo& i = font.info;
  const BmFontCommon& c = font.common;
  auto flag = [](bool b) { return b ? 1 : 0; };
  Json doc;
  doc["pages"] = font.pageFiles;
  Json chars = Json::array();
  for (const BmFontChar& ch : font.chars) {
    chars.push_back({{"id", ch.id},
                     {"x", ch.x},
                     {"y", ch.y},
                     {"width", ch.width},
                     {"height", ch.height},
                     {"xoffset", ch.xoffset},
                     {"yoffset", ch.yoffset},
                     {"xadvance", ch.xadvance},
                     {"page", ch.page},
                     {"chnl", ch.chnl}});
  }
  doc["chars"] = std::move(chars);
  doc["info"] = {{"face", i.face},           {"size", i.size},           {"bold", flag(i.bold)},
                 {"italic", flag(i.italic)}, {"charset", i.charset},     {"unicode", flag(i.unicode)},
                 {"stretchH", i.stretchH},   {"smooth", flag(i.smooth)}, {"aa", i.aa},
                 {"padding", i.padding},     {"spacing", i.spacing},     {"outline", i.outline}};
  doc["common"] = {{"lineHeight", c.lineHeight}, {"base", c.base},       {"scaleW", c.scaleW},
                   {"scaleH", c.scaleH},         {"pages", c.pages},     {"packed", flag(c.packed)},
                   {"alphaChnl", c.alphaChnl},   {"redChnl", c.redChnl}, {"greenChnl", c.greenChnl},
                   {"blueChnl", c.blueChnl}};
  // A distance-field font says so in the object engines that read BMFont JSON look for.
  if (font.distanceRange > 0)
    doc["distanceField"] = {{"fieldType", font.fieldType}, {"distanceRange", font.distanceRange}};
  if (font.premultipliedAlpha) doc["premultipliedAlpha"] = true;
  Json kernings = Json::array();
  for (const KerningPair& k : font.kernings) {
    kernings.push_back({{"first", k.first}, {"second", k.second}, {"amount", k.amount}});
  }
  doc["kernings"] = std::move(kernings);
  // A face name that is not valid UTF-8 must not stop the export: such bytes become U+FFFD.
  return doc.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace glyphmill::plugins
