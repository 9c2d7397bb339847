#include "settings/fallback_fonts.h"

#include <fontconfig/fontconfig.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>

#include FT_FONT_FORMATS_H

#include "settings/font_files.h"

namespace glyphmill {
namespace {

std::string Skipped(const std::string& what, const std::string& why) {
  return "!The fallback font " + what + " " + why + "; it is skipped.";
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// True when fontconfig lists a font of `family` (compared as fontconfig compares names). A name
// nothing carries would otherwise be matched to fontconfig's substitute, which is not the font the
// user asked for.
bool FamilyIsInstalled(const std::string& family) {
  FcPattern* pattern = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  if (!pattern || !objects) {
    if (pattern) FcPatternDestroy(pattern);
    if (objects) FcObjectSetDestroy(objects);
    return false;
  }
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcFontSet* set = FcFontList(nullptr, pattern, objects);
  const bool found = set && set->nfont > 0;
  if (set) FcFontSetDestroy(set);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return found;
}

Result<ResolvedFont> ResolveFamily(const FallbackFont& fallback, const FontRequest& chosen) {
  const std::string what = Quoted(fallback.name);
  if (fallback.name.empty() || !FamilyIsInstalled(fallback.name)) return Fail(Skipped(what, "is not installed"));
  FontRequest request = chosen;
  request.name = fallback.name;
  ResolvedFont resolved;
  std::string error;
  if (!ResolveFont(request, &resolved, &error)) return Fail(Skipped(what, "cannot be opened (" + error + ")"));
  return resolved;
}

// A font file is opened by FreeType alone: its face's own style flags tell what a bold or italic
// request must synthesise, as fontconfig's weight and slant do for an installed family.
Result<ResolvedFont> ResolveFile(const FallbackFont& fallback, const FontRequest& chosen) {
  const std::string path = AbsoluteFontPath(fallback.name);
  const std::string what = "file " + Quoted(path);
  struct stat info {};
  if (fallback.name.empty() || ::stat(path.c_str(), &info) != 0) return Fail(Skipped(what, "is missing"));
  FT_Library library = nullptr;
  if (FT_Error err = FT_Init_FreeType(&library))
    return Fail(Skipped(what, "cannot be read (" + FreeTypeErrorText(err) + ")"));
  FT_Face face = nullptr;
  const FT_Error err = FT_New_Face(library, path.c_str(), static_cast<FT_Long>(fallback.faceIndex), &face);
  if (err) {
    FT_Done_FreeType(library);
    return Fail(Skipped(what, "cannot be read (" + FreeTypeErrorText(err) + ")"));
  }
  ResolvedFont r;
  r.path = path;
  r.faceIndex = static_cast<int>(fallback.faceIndex);
  r.synthesiseBold = chosen.bold && (face->style_flags & FT_STYLE_FLAG_BOLD) == 0;
  r.synthesiseItalic = chosen.italic && (face->style_flags & FT_STYLE_FLAG_ITALIC) == 0;
  const char* format = FT_Get_Font_Format(face);
  r.trueType = format && std::strcmp(format, "TrueType") == 0;
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  return r;
}

}  // namespace

Result<ResolvedFont> ResolveFallback(const FallbackFont& fallback, const FontRequest& chosen) {
  if (fallback.kind == kFallbackFile) return ResolveFile(fallback, chosen);
  return ResolveFamily(fallback, chosen);
}

ResolvedFallbacks ResolveFallbacks(const std::vector<FallbackFont>& list, const FontRequest& chosen) {
  ResolvedFallbacks out;
  for (const FallbackFont& fallback : list) {
    if (out.fonts.size() == kMaxFallbackFonts) break;
    Result<ResolvedFont> resolved = ResolveFallback(fallback, chosen);
    if (resolved) {
      out.fonts.push_back(std::move(*resolved));
      out.labels.push_back(FallbackLabel(fallback));
    } else
      out.notices.push_back(std::move(resolved).error());
  }
  return out;
}

std::string FallbackCannotOpen(const std::string& path, const std::string& why) {
  return Skipped("file " + Quoted(path), "cannot be opened (" + why + ")");
}

std::string FallbackLabel(const FallbackFont& fallback) {
  if (fallback.kind != kFallbackFile) return fallback.name;
  std::string label = std::filesystem::path(fallback.name).filename().string();
  if (fallback.faceIndex != 0) label += " (face " + std::to_string(fallback.faceIndex) + ")";
  return label;
}

}  // namespace glyphmill
