#include "project/project_extensions.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>

namespace glyphmill {
namespace {

// ---- little-endian fields --------------------------------------------------------------------

void PutU16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint16_t GetU16(const uint8_t* in) { return static_cast<uint16_t>(in[0] | in[1] << 8); }

uint32_t GetU32(const uint8_t* in) {
  return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 | static_cast<uint32_t>(in[2]) << 16 |
         static_cast<uint32_t>(in[3]) << 24;
}

// ---- the known entry types -------------------------------------------------------------------
// encode: appends the payload and returns true when the addition differs from its default.
// decode: reads a payload into the extensions; false when the payload does not fit the type.

bool EncodeFontFile(const ProjectExtensions& e, std::vector<uint8_t>& payload) {
  if (!e.fontFile) return false;
  PutU32(payload, e.fontFile->faceIndex);
  payload.insert(payload.end(), e.fontFile->path.begin(), e.fontFile->path.end());
  return true;
}

bool DecodeFontFile(const uint8_t* p, std::size_t n, ProjectExtensions& e) {
  // A face index and a path that is not empty and holds no zero byte (no file name can).
  if (n <= 4 || std::find(p + 4, p + n, 0) != p + n) return false;
  e.fontFile = ProjectFontFile{GetU32(p), std::string(reinterpret_cast<const char*>(p + 4), n - 4)};
  return true;
}

bool EncodeCellMode(const ProjectExtensions& e, std::vector<uint8_t>& payload) {
  if (e.extras.cellMode == GenerationExtras{}.cellMode) return false;
  payload.push_back(e.extras.cellMode);
  return true;
}

bool DecodeCellMode(const uint8_t* p, std::size_t n, ProjectExtensions& e) {
  if (n != 1 || p[0] > kCellsCompact) return false;
  e.extras.cellMode = p[0];
  return true;
}

bool EncodeFitTexture(const ProjectExtensions& e, std::vector<uint8_t>& payload) {
  const GenerationExtras defaults;
  if (e.extras.fitTexture == defaults.fitTexture && e.extras.fitMaxWidth == defaults.fitMaxWidth &&
      e.extras.fitMaxHeight == defaults.fitMaxHeight)
    return false;
  payload.push_back(e.extras.fitTexture ? 1 : 0);
  PutU16(payload, e.extras.fitMaxWidth);
  PutU16(payload, e.extras.fitMaxHeight);
  return true;
}

bool DecodeFitTexture(const uint8_t* p, std::size_t n, ProjectExtensions& e) {
  if (n != 5 || p[0] > 1) return false;
  e.extras.fitTexture = p[0] != 0;
  e.extras.fitMaxWidth = GetU16(p + 1);
  e.extras.fitMaxHeight = GetU16(p + 3);
  return true;
}

bool EncodeSdfSpread(const ProjectExtensions& e, std::vector<uint8_t>& payload) {
  if (e.extras.sdfSpread == GenerationExtras{}.sdfSpread) return false;
  PutU16(payload, e.extras.sdfSpread);
  return true;
}

bool DecodeSdfSpread(const uint8_t* p, std::size_t n, ProjectExtensions& e) {
  if (n != 2) return false;
  // A spread outside the offered range is limited to it, as the window's control would.
  e.extras.sdfSpread = std::clamp(GetU16(p), kMinSdfSpread, kMaxSdfSpread);
  return true;
}

bool EncodeMaxPages(const ProjectExtensions& e, std::vector<uint8_t>& payload) {
  if (e.extras.maxPages == GenerationExtras{}.maxPages) return false;
  PutU16(payload, e.extras.maxPages);
  return true;
}

bool DecodeMaxPages(const uint8_t* p, std::size_t n, ProjectExtensions& e) {
  if (n != 2) return false;
  const uint16_t pages = GetU16(p);
  if (pages < kMinMaxPages || pages > kMaxMaxPages) return false;
  e.extras.maxPages = pages;
  return true;
}

bool EncodePagePixels(const ProjectExtensions& e, std::vector<uint8_t>& payload) {
  if (e.extras.pagePixels == GenerationExtras{}.pagePixels) return false;
  payload.push_back(e.extras.pagePixels);
  return true;
}

bool DecodePagePixels(const uint8_t* p, std::size_t n, ProjectExtensions& e) {
  if (n != 1 || p[0] > kPagePixelsPremultiplied) return false;
  e.extras.pagePixels = p[0];
  return true;
}

// u16 count, then per font: u32 face index, u16 byte length, the UTF-8 path or family name, u8
// kind. Names are never empty and hold no zero byte.
bool EncodeFallbacks(const ProjectExtensions& e, std::vector<uint8_t>& payload) {
  if (e.extras.fallbacks.empty()) return false;
  const std::size_t count = std::min<std::size_t>(e.extras.fallbacks.size(), UINT16_MAX);
  PutU16(payload, static_cast<uint16_t>(count));
  for (std::size_t i = 0; i < count; ++i) {
    const FallbackFont& f = e.extras.fallbacks[i];
    const std::size_t length = std::min<std::size_t>(f.name.size(), UINT16_MAX);
    PutU32(payload, f.faceIndex);
    PutU16(payload, static_cast<uint16_t>(length));
    payload.insert(payload.end(), f.name.begin(), f.name.begin() + static_cast<std::ptrdiff_t>(length));
    payload.push_back(f.kind);
  }
  return true;
}

bool DecodeFallbacks(const uint8_t* p, std::size_t n, ProjectExtensions& e) {
  if (n < 2) return false;
  const uint16_t count = GetU16(p);
  std::size_t at = 2;
  std::vector<FallbackFont> fonts;
  for (uint16_t i = 0; i < count; ++i) {
    if (n - at < 6) return false;
    FallbackFont f;
    f.faceIndex = GetU32(p + at);
    const uint16_t length = GetU16(p + at + 4);
    at += 6;
    if (length == 0 || n - at < std::size_t{length} + 1) return false;
    const uint8_t* name = p + at;
    if (std::find(name, name + length, 0) != name + length) return false;
    f.name.assign(reinterpret_cast<const char*>(name), length);
    f.kind = p[at + length];
    if (f.kind != kFallbackFamily && f.kind != kFallbackFile) return false;
    at += std::size_t{length} + 1;
    fonts.push_back(std::move(f));
  }
  if (at != n) return false;
  e.extras.fallbacks = std::move(fonts);
  return true;
}

struct KnownEntry {
  uint16_t type;
  const char* what;  // named in the damage text
  bool (*encode)(const ProjectExtensions&, std::vector<uint8_t>&);
  bool (*decode)(const uint8_t*, std::size_t, ProjectExtensions&);
};

constexpr KnownEntry kKnownEntries[] = {
    {kExtensionFontFile, "font file", EncodeFontFile, DecodeFontFile},
    {kExtensionCellMode, "cell mode", EncodeCellMode, DecodeCellMode},
    {kExtensionFitTexture, "fitted texture size", EncodeFitTexture, DecodeFitTexture},
    {kExtensionSdfSpread, "distance-field spread", EncodeSdfSpread, DecodeSdfSpread},
    {kExtensionMaxPages, "texture pages", EncodeMaxPages, DecodeMaxPages},
    {kExtensionFallbackFonts, "fallback fonts", EncodeFallbacks, DecodeFallbacks},
    {kExtensionPagePixels, "page pixels", EncodePagePixels, DecodePagePixels},
};

const KnownEntry* FindKnown(uint16_t type) {
  for (const KnownEntry& k : kKnownEntries)
    if (k.type == type) return &k;
  return nullptr;
}

// ---- damage texts ----------------------------------------------------------------------------

Failure<std::string> Damaged(const std::string& why) {
  return Fail("The project file's extension block is damaged: " + why + ".");
}

// The entries of a block are read in slices, so a length far beyond the file costs no more memory
// than the file really holds.
constexpr std::size_t kReadSlice = 64 * 1024;

void AppendEntry(std::vector<uint8_t>& out, uint16_t type, const std::vector<uint8_t>& payload) {
  PutU16(out, type);
  PutU32(out, static_cast<uint32_t>(payload.size()));
  out.insert(out.end(), payload.begin(), payload.end());
}

std::filesystem::path FolderOf(const std::string& projectPath) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(projectPath, ec);
  if (ec) absolute = projectPath;
  return absolute.lexically_normal().parent_path();
}

}  // namespace

std::vector<uint8_t> ExtensionBlockBytes(const ProjectExtensions& extensions) {
  std::vector<uint8_t> entries;
  for (const KnownEntry& known : kKnownEntries) {
    std::vector<uint8_t> payload;
    if (known.encode(extensions, payload)) AppendEntry(entries, known.type, payload);
  }
  for (const ExtensionEntry& entry : extensions.unknown) AppendEntry(entries, entry.type, entry.payload);
  if (entries.empty()) return {};
  std::vector<uint8_t> block(std::begin(kExtensionTag), std::end(kExtensionTag));
  PutU32(block, static_cast<uint32_t>(entries.size()));
  block.insert(block.end(), entries.begin(), entries.end());
  return block;
}

Result<ProjectExtensions> ParseExtensionEntries(const uint8_t* data, std::size_t size) {
  ProjectExtensions parsed;
  std::size_t at = 0;
  while (at < size) {
    if (size - at < kExtensionEntryHeaderBytes)
      return Damaged("an entry at byte " + std::to_string(at) + " is cut short");
    const uint16_t type = GetU16(data + at);
    const uint32_t length = GetU32(data + at + 2);
    at += kExtensionEntryHeaderBytes;
    if (length > size - at)
      return Damaged("entry type " + std::to_string(type) + " says " + std::to_string(length) + " bytes where " +
                     std::to_string(size - at) + " remain");
    if (const KnownEntry* known = FindKnown(type)) {
      if (!known->decode(data + at, length, parsed))
        return Damaged(std::string("the ") + known->what + " entry does not hold a valid value");
    } else {
      parsed.unknown.push_back({type, std::vector<uint8_t>(data + at, data + at + length)});
    }
    at += length;
  }
  return parsed;
}

Result<ProjectExtensions> ReadExtensionBlock(const ExtensionReader& read) {
  uint8_t header[kExtensionHeaderBytes] = {};
  const std::size_t got = read(header, sizeof header);
  if (got < sizeof kExtensionTag || std::memcmp(header, kExtensionTag, sizeof kExtensionTag) != 0)
    return ProjectExtensions{};
  if (got < kExtensionHeaderBytes) return Damaged("its length is cut short");
  const uint32_t length = GetU32(header + 4);
  std::vector<uint8_t> entries;
  while (entries.size() < length) {
    const std::size_t step = std::min<std::size_t>(length - entries.size(), kReadSlice);
    const std::size_t before = entries.size();
    entries.resize(before + step);
    const std::size_t arrived = read(entries.data() + before, step);
    if (arrived < step)
      return Damaged("it says " + std::to_string(length) + " bytes where the file holds " +
                     std::to_string(before + arrived));
  }
  return ParseExtensionEntries(entries.data(), entries.size());
}

std::string StoredFontPath(const std::string& fontPath, const std::string& projectPath) {
  std::error_code ec;
  std::filesystem::path font = std::filesystem::absolute(fontPath, ec);
  if (ec) return fontPath;
  font = font.lexically_normal();
  const std::filesystem::path relative = font.lexically_relative(FolderOf(projectPath));
  if (relative.empty() || *relative.begin() == ".." || relative == ".") return font.string();
  return relative.string();
}

std::string ResolveStoredFontPath(const std::string& storedPath, const std::string& projectPath) {
  const std::filesystem::path stored(storedPath);
  if (stored.is_absolute()) return storedPath;
  return (FolderOf(projectPath) / stored).lexically_normal().string();
}

}  // namespace glyphmill
