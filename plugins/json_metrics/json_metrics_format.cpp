#include "plugins/json_metrics/json_metrics_format.h"

#include <nlohmann/json.hpp>

namespace glyphmill::plugins {

std::string FormatJsonMetrics(uint16_t width, uint16_t height, int32_t spaceAdvance,
                              std::span<const TExportCharInfo> chars, const std::optional<HostFontInfo>& host,
                              std::span<const HostPage> pages, std::span<const uint32_t> charPages) {
  using Json = nlohmann::ordered_json;
  Json doc;
  doc["width"] = width;
  doc["height"] = height;
  const bool severalPages = pages.size() > 1;
  if (severalPages) {
    Json sizes = Json::array();
    for (const HostPage& page : pages) sizes.push_back({{"width", page.width}, {"height", page.height}});
    doc["pages"] = std::move(sizes);
  }
  doc["spaceAdvance"] = spaceAdvance;
  if (host) {
    doc["font"] = {{"face", host->faceName},       {"pointSize", host->pointSize},
                   {"pixelSize", host->pixelSize}, {"lineHeight", host->lineHeight},
                   {"base", host->base},           {"ascent", host->ascent},
                   {"descent", host->descent},     {"bold", host->bold},
                   {"italic", host->italic},       {"outlineWidth", host->outlineWidth}};
    if (host->distanceRange > 0)
      doc["distanceField"] = {{"fieldType", host->fieldType()}, {"distanceRange", host->distanceRange}};
    if (host->premultipliedAlpha) doc["premultipliedAlpha"] = true;
  }
  Json list = Json::array();
  for (std::size_t i = 0; i < chars.size(); ++i) {
    const TExportCharInfo& c = chars[i];
    Json entry = {{"code", c.Code},
                  {"x", c.X},
                  {"y", c.Y},
                  {"width", c.Width},
                  {"height", c.Height},
                  {"preAdvance", c.PreAdvance},
                  {"postAdvance", c.PostAdvance}};
    if (severalPages) entry["page"] = i < charPages.size() ? charPages[i] : 0;
    if (host) entry["placed"] = host->isPlaced(i);
    if (host && host->hasGeometry()) {
      // The same geometry as the BMFont descriptors: the cell drawn at (pen + xoffset,
      // line top + yoffset) puts the ink where FreeType puts it.
      entry["xoffset"] = -static_cast<int64_t>(host->geometry[i].drawOffsetX);
      entry["yoffset"] = -static_cast<int64_t>(host->geometry[i].drawOffsetY);
      entry["xadvance"] = static_cast<int64_t>(c.PreAdvance) + c.PostAdvance;
    }
    list.push_back(std::move(entry));
  }
  doc["characters"] = std::move(list);
  if (host) {
    Json pairs = Json::array();
    for (const KerningPair& k : host->kernings) pairs.push_back({k.first, k.second, k.amount});
    doc["kernings"] = std::move(pairs);
  }
  // A face name that is not valid UTF-8 must not stop the export: such bytes become U+FFFD.
  return doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace glyphmill::plugins
