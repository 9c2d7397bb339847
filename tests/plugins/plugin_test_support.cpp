#include "tests/plugins/plugin_test_support.h"

#include <dlfcn.h>
#include <png.h>
#include <unistd.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <csetjmp>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace glyphmill::plugintest {

// ---- plug-in libraries -------------------------------------------------------------------

std::string PluginPath(const std::string& fileName) { return std::string(GLYPHMILL_TEST_PLUGIN_DIR) + "/" + fileName; }

std::string ShortString(const uint8_t* field) {
  return std::string(reinterpret_cast<const char*>(field + 1), field[0]);
}

LoadedPlugin::LoadedPlugin(const std::string& fileName) {
  handle_ = dlopen(PluginPath(fileName).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) throw std::runtime_error(std::string("dlopen: ") + dlerror());
}

LoadedPlugin::~LoadedPlugin() {
  if (handle_ != nullptr) dlclose(handle_);
}

void* LoadedPlugin::symbol(const char* name) const { return dlsym(handle_, name); }

TPluginInfo LoadedPlugin::info() const {
  TPluginInfo info;
  std::memset(&info, 0, sizeof info);
  auto get = reinterpret_cast<GetPluginInfoProc>(symbol("GetPluginInfo"));
  if (get == nullptr) throw std::runtime_error("no GetPluginInfo");
  get(&info);
  return info;
}

std::string LoadedPlugin::name() const {
  const TPluginInfo i = info();
  return ShortString(i.Name);
}

void LoadedPlugin::simpleExport(const TSimpleExportInfo& record) const {
  auto entry = reinterpret_cast<SimpleExportProc>(symbol("SimpleExport"));
  if (entry == nullptr) throw std::runtime_error("no SimpleExport");
  entry(&record);
}

void LoadedPlugin::graphicExport(const TGraphicExportInfo& record) const {
  auto entry = reinterpret_cast<GraphicExportProc>(symbol("GraphicExport"));
  if (entry == nullptr) throw std::runtime_error("no GraphicExport");
  entry(&record);
}

void LoadedPlugin::dataExport(const TDataExportInfo& record) const {
  auto entry = reinterpret_cast<DataExportProc>(symbol("DataExport"));
  if (entry == nullptr) throw std::runtime_error("no DataExport");
  entry(&record);
}

// ---- generated input -----------------------------------------------------------------------

TestTexture MakeTexture(uint16_t width, uint16_t height) {
  TestTexture t;
  t.width = width;
  t.height = height;
  const std::size_t pixels = std::size_t{width} * height;
  t.bgr.resize(pixels * 3);
  t.alpha.resize(pixels);
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      const std::size_t i = std::size_t{y} * width + x;
      t.bgr[3 * i] = static_cast<uint8_t>(x * 7 + y);            // blue
      t.bgr[3 * i + 1] = static_cast<uint8_t>(y * 5 + 3);        // green
      t.bgr[3 * i + 2] = static_cast<uint8_t>((x ^ y) * 3 + 1);  // red
      t.alpha[i] = static_cast<uint8_t>(x * 11 + y * 13);
    }
  }
  return t;
}

std::vector<TExportCharInfo> MakeCharTable(uint32_t count, uint16_t textureWidth, uint32_t cellWidth,
                                           uint32_t cellHeight) {
  std::vector<TExportCharInfo> chars(count);
  const uint32_t perRow = std::max<uint32_t>(1, textureWidth / cellWidth);
  for (uint32_t i = 0; i < count; ++i) {
    TExportCharInfo& c = chars[i];
    c.Code = 33 + i;
    c.Width = cellWidth - (i % 3);
    c.Height = cellHeight;
    c.X = static_cast<int32_t>((i % perRow) * cellWidth);
    c.Y = static_cast<int32_t>((i / perRow) * cellHeight);
    c.PreAdvance = static_cast<int32_t>(i % 4) - 1;
    c.PostAdvance = static_cast<int32_t>(cellWidth) - static_cast<int32_t>(i % 5);
  }
  return chars;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string ReadText(const std::string& path) {
  const auto bytes = ReadBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

// ---- image readers -------------------------------------------------------------------------
namespace {

struct PngReadState {
  char message[256] = "";
};

void OnReadError(png_structp png, png_const_charp text) {
  auto* state = static_cast<PngReadState*>(png_get_error_ptr(png));
  std::strncpy(state->message, text, sizeof state->message - 1);
  png_longjmp(png, 1);
}

void OnReadWarning(png_structp, png_const_charp) {}

// libpng jumps back here on error; no object with a destructor is created after setjmp.
bool DecodePng(std::FILE* f, DecodedImage* out, std::vector<uint8_t>* pixels, PngReadState* state) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, state, OnReadError, OnReadWarning);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_init_io(png, f);
  png_read_info(png, info);
  out->width = png_get_image_width(png, info);
  out->height = png_get_image_height(png, info);
  out->bitDepth = png_get_bit_depth(png, info);
  out->channels = png_get_channels(png, info);
  const std::size_t rowBytes = png_get_rowbytes(png, info);
  pixels->resize(rowBytes * out->height);
  for (uint32_t y = 0; y < out->height; ++y) png_read_row(png, pixels->data() + y * rowBytes, nullptr);
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

uint32_t Be32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

}  // namespace

DecodedImage ReadPng(const std::string& path) {
  DecodedImage image;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) throw std::runtime_error("cannot open " + path);
  PngReadState state;
  std::vector<uint8_t> pixels;
  const bool ok = DecodePng(f, &image, &pixels, &state);
  std::fclose(f);
  if (!ok) throw std::runtime_error(std::string("libpng: ") + state.message);
  image.pixels = std::move(pixels);
  // The chunk list, read straight from the file.
  const auto bytes = ReadBytes(path);
  for (std::size_t at = 8; at + 8 <= bytes.size();) {
    const uint32_t length = Be32(&bytes[at]);
    image.chunks.emplace_back(reinterpret_cast<const char*>(&bytes[at + 4]), 4);
    at += 12 + std::size_t{length};
  }
  return image;
}

TgaFile ReadTga(const std::string& path) {
  const auto b = ReadBytes(path);
  if (b.size() < 18) throw std::runtime_error("TGA shorter than its header");
  TgaFile t;
  t.idLength = b[0];
  t.colourMapType = b[1];
  t.imageType = b[2];
  auto u16 = [&b](std::size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); };
  t.xOrigin = u16(8);
  t.yOrigin = u16(10);
  t.width = u16(12);
  t.height = u16(14);
  t.depth = b[16];
  t.descriptor = b[17];
  const std::size_t start = 18 + t.idLength;
  const std::size_t size = std::size_t{t.width} * t.height * (t.depth / 8);
  if (b.size() < start + size) throw std::runtime_error("TGA pixels cut short");
  t.pixels.assign(b.begin() + static_cast<std::ptrdiff_t>(start),
                  b.begin() + static_cast<std::ptrdiff_t>(start + size));
  t.footer.assign(b.begin() + static_cast<std::ptrdiff_t>(start + size), b.end());
  return t;
}

std::vector<uint8_t> ExpectedRgb(const TestTexture& t) {
  std::vector<uint8_t> out(t.bgr.size());
  for (std::size_t i = 0; i < t.bgr.size(); i += 3) {
    out[i] = t.bgr[i + 2];
    out[i + 1] = t.bgr[i + 1];
    out[i + 2] = t.bgr[i];
  }
  return out;
}

std::vector<uint8_t> ExpectedRgba(const TestTexture& t) {
  std::vector<uint8_t> out(t.alpha.size() * 4);
  for (std::size_t i = 0; i < t.alpha.size(); ++i) {
    out[4 * i] = t.bgr[3 * i + 2];
    out[4 * i + 1] = t.bgr[3 * i + 1];
    out[4 * i + 2] = t.bgr[3 * i];
    out[4 * i + 3] = t.alpha[i];
  }
  return out;
}

// ---- BMFont readers ------------------------------------------------------------------------
namespace {

int64_t Number(const std::string& s) {
  std::size_t used = 0;
  const long long v = std::stoll(s, &used);
  if (used != s.size()) throw std::runtime_error("not a number: " + s);
  return v;
}

using Fields = std::map<std::string, std::string>;

std::string Field(const Fields& f, const std::string& key) {
  auto it = f.find(key);
  if (it == f.end()) throw std::runtime_error("missing field " + key);
  return it->second;
}

// Fills a BmFont from the tag/field lists both text forms reduce to.
void Apply(BmFont& font, const std::string& tag, const Fields& f) {
  auto n = [&f](const char* key) { return Number(Field(f, key)); };
  if (tag == "info") {
    font.face = Field(f, "face");
    font.size = n("size");
    font.bold = n("bold");
    font.italic = n("italic");
    font.unicode = n("unicode");
    font.smooth = n("smooth");
    font.outline = n("outline");
  } else if (tag == "common") {
    font.lineHeight = n("lineHeight");
    font.base = n("base");
    font.scaleW = n("scaleW");
    font.scaleH = n("scaleH");
    font.pages = n("pages");
    font.packed = n("packed");
    font.alphaChnl = n("alphaChnl");
    font.redChnl = n("redChnl");
    font.greenChnl = n("greenChnl");
    font.blueChnl = n("blueChnl");
  } else if (tag == "page") {
    if (n("id") != static_cast<int64_t>(font.pageFiles.size())) throw std::runtime_error("page ids out of order");
    font.pageFiles.push_back(Field(f, "file"));
  } else if (tag == "chars") {
    font.declaredChars = n("count");
  } else if (tag == "char") {
    font.chars.push_back({n("id"), n("x"), n("y"), n("width"), n("height"), n("xoffset"), n("yoffset"), n("xadvance"),
                          n("page"), n("chnl")});
  } else if (tag == "kernings") {
    font.declaredKernings = n("count");
  } else if (tag == "kerning") {
    font.kernings.push_back({n("first"), n("second"), n("amount")});
  }
}

std::string XmlUnescape(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '&') {
      out += s[i];
      continue;
    }
    const std::size_t end = s.find(';', i);
    const std::string entity = s.substr(i + 1, end - i - 1);
    if (entity == "amp")
      out += '&';
    else if (entity == "lt")
      out += '<';
    else if (entity == "gt")
      out += '>';
    else if (entity == "quot")
      out += '"';
    else if (entity == "apos")
      out += '\'';
    else
      throw std::runtime_error("unknown entity " + entity);
    i = end;
  }
  return out;
}

}  // namespace

std::vector<TextLine> SplitBmFontText(const std::string& text) {
  std::vector<TextLine> lines;
  std::istringstream in(text);
  std::string raw;
  while (std::getline(in, raw)) {
    if (raw.empty()) continue;
    TextLine line;
    std::size_t i = raw.find(' ');
    line.tag = raw.substr(0, i);
    while (i != std::string::npos && i < raw.size()) {
      while (i < raw.size() && raw[i] == ' ') ++i;
      if (i >= raw.size()) break;
      const std::size_t eq = raw.find('=', i);
      if (eq == std::string::npos) throw std::runtime_error("field without '=' in: " + raw);
      std::string key = raw.substr(i, eq - i);
      std::string value;
      if (eq + 1 < raw.size() && raw[eq + 1] == '"') {
        const std::size_t close = raw.find('"', eq + 2);
        if (close == std::string::npos) throw std::runtime_error("unclosed quote in: " + raw);
        value = raw.substr(eq + 2, close - eq - 2);
        i = close + 1;
      } else {
        const std::size_t end = raw.find(' ', eq + 1);
        value = raw.substr(eq + 1, end == std::string::npos ? std::string::npos : end - eq - 1);
        i = end;
      }
      line.fields.emplace_back(std::move(key), std::move(value));
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

BmFont ParseBmFontText(const std::string& text) {
  BmFont font;
  for (const TextLine& line : SplitBmFontText(text)) {
    Fields f(line.fields.begin(), line.fields.end());
    Apply(font, line.tag, f);
  }
  return font;
}

BmFont ParseBmFontXml(const std::string& text) {
  if (text.rfind("<?xml version=\"1.0\"?>\n<font>\n", 0) != 0)
    throw std::runtime_error("no XML declaration and <font>");
  if (text.find("</font>") == std::string::npos) throw std::runtime_error("<font> not closed");
  BmFont font;
  // Every start or empty element: its name, then name="value" attributes up to '>' or "/>".
  for (std::size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at + 1)) {
    std::size_t i = at + 1;
    if (i < text.size() && (text[i] == '/' || text[i] == '?')) continue;
    std::string tag;
    while (i < text.size() && std::isalpha(static_cast<unsigned char>(text[i]))) tag += text[i++];
    Fields f;
    for (;;) {
      while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
      if (i >= text.size()) throw std::runtime_error("element <" + tag + "> not closed");
      if (text[i] == '>' || text.compare(i, 2, "/>") == 0) break;
      const std::size_t eq = text.find('=', i);
      if (eq == std::string::npos || text.at(eq + 1) != '"') throw std::runtime_error("bad attribute in <" + tag + ">");
      const std::size_t close = text.find('"', eq + 2);
      if (close == std::string::npos) throw std::runtime_error("unclosed attribute in <" + tag + ">");
      f[text.substr(i, eq - i)] = XmlUnescape(text.substr(eq + 2, close - eq - 2));
      i = close + 1;
    }
    Apply(font, tag, f);
  }
  return font;
}

BmFont ParseBmFontBinary(const std::vector<uint8_t>& b) {
  if (b.size() < 4 || b[0] != 'B' || b[1] != 'M' || b[2] != 'F' || b[3] != 3) throw std::runtime_error("not BMF v3");
  auto u8 = [&b](std::size_t at) -> int64_t { return b.at(at); };
  auto u16 = [&b](std::size_t at) -> int64_t { return b.at(at) | (b.at(at + 1) << 8); };
  auto i16 = [&u16](std::size_t at) -> int64_t { return static_cast<int16_t>(u16(at)); };
  auto u32 = [&b](std::size_t at) -> int64_t {
    return int64_t{b.at(at)} | (int64_t{b.at(at + 1)} << 8) | (int64_t{b.at(at + 2)} << 16) |
           (int64_t{b.at(at + 3)} << 24);
  };
  BmFont font;
  int lastType = 0;
  for (std::size_t at = 4; at < b.size();) {
    const int type = b.at(at);
    const std::size_t size = static_cast<std::size_t>(u32(at + 1));
    const std::size_t d = at + 5;
    if (d + size > b.size()) throw std::runtime_error("block runs past the end");
    if (type <= lastType) throw std::runtime_error("blocks out of order");
    lastType = type;
    if (type == 1) {
      font.size = i16(d);
      const int64_t bits = u8(d + 2);
      font.smooth = (bits >> 7) & 1;
      font.unicode = (bits >> 6) & 1;
      font.italic = (bits >> 5) & 1;
      font.bold = (bits >> 4) & 1;
      font.outline = u8(d + 13);
      if (size < 15 || b[d + size - 1] != 0) throw std::runtime_error("info block: face not terminated");
      font.face = std::string(reinterpret_cast<const char*>(&b[d + 14]));
    } else if (type == 2) {
      if (size != 15) throw std::runtime_error("common block size");
      font.lineHeight = u16(d);
      font.base = u16(d + 2);
      font.scaleW = u16(d + 4);
      font.scaleH = u16(d + 6);
      font.pages = u16(d + 8);
      font.packed = u8(d + 10) & 1;
      font.alphaChnl = u8(d + 11);
      font.redChnl = u8(d + 12);
      font.greenChnl = u8(d + 13);
      font.blueChnl = u8(d + 14);
    } else if (type == 3) {
      for (std::size_t p = d; p < d + size;) {
        std::string name(reinterpret_cast<const char*>(&b[p]));
        p += name.size() + 1;
        font.pageFiles.push_back(std::move(name));
      }
    } else if (type == 4) {
      if (size % 20 != 0) throw std::runtime_error("chars block size");
      for (std::size_t c = d; c < d + size; c += 20) {
        font.chars.push_back({u32(c), u16(c + 4), u16(c + 6), u16(c + 8), u16(c + 10), i16(c + 12), i16(c + 14),
                              i16(c + 16), u8(c + 18), u8(c + 19)});
      }
    } else if (type == 5) {
      if (size % 10 != 0) throw std::runtime_error("kerning block size");
      for (std::size_t k = d; k < d + size; k += 10) font.kernings.push_back({u32(k), u32(k + 4), i16(k + 8)});
    } else {
      throw std::runtime_error("unknown block type");
    }
    at = d + size;
  }
  return font;
}

BmFont ParseBmFontJson(const std::string& text) {
  const auto doc = nlohmann::json::parse(text);
  BmFont font;
  const auto& info = doc.at("info");
  font.face = info.at("face").get<std::string>();
  font.size = info.at("size");
  font.bold = info.at("bold");
  font.italic = info.at("italic");
  font.unicode = info.at("unicode");
  font.smooth = info.at("smooth");
  font.outline = info.at("outline");
  if (info.at("padding") != nlohmann::json::array({0, 0, 0, 0}) ||
      info.at("spacing") != nlohmann::json::array({0, 0})) {
    throw std::runtime_error("padding or spacing is not zero");
  }
  const auto& common = doc.at("common");
  font.lineHeight = common.at("lineHeight");
  font.base = common.at("base");
  font.scaleW = common.at("scaleW");
  font.scaleH = common.at("scaleH");
  font.pages = common.at("pages");
  font.packed = common.at("packed");
  font.alphaChnl = common.at("alphaChnl");
  font.redChnl = common.at("redChnl");
  font.greenChnl = common.at("greenChnl");
  font.blueChnl = common.at("blueChnl");
  for (const auto& page : doc.at("pages")) font.pageFiles.push_back(page.get<std::string>());
  for (const auto& c : doc.at("chars")) {
    font.chars.push_back({c.at("id"), c.at("x"), c.at("y"), c.at("width"), c.at("height"), c.at("xoffset"),
                          c.at("yoffset"), c.at("xadvance"), c.at("page"), c.at("chnl")});
  }
  for (const auto& k : doc.at("kernings")) font.kernings.push_back({k.at("first"), k.at("second"), k.at("amount")});
  return font;
}

}  // namespace glyphmill::plugintest
