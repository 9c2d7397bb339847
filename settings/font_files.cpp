#include "settings/font_files.h"

#include <fontconfig/fontconfig.h>
#include <fontconfig/fcfreetype.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "settings/font_face.h"

namespace glyphmill {
namespace {

// Named instances of a variable font carry their instance number above the face index.
constexpr int kFaceIndexMask = 0xFFFF;

std::string CannotRead(const std::string& path, const std::string& why) {
  return "Cannot read the font file \"" + path + "\": " + why;
}

}  // namespace

std::vector<std::string> FontFile::families() const {
  std::vector<std::string> names;
  for (const FontFileFace& face : faces)
    if (std::find(names.begin(), names.end(), face.family) == names.end()) names.push_back(face.family);
  return names;
}

const std::string* FontFile::familyOfFace(int32_t faceIndex) const {
  for (const FontFileFace& face : faces)
    if (face.faceIndex == faceIndex) return &face.family;
  return nullptr;
}

int32_t FontFile::faceOfFamily(const std::string& family) const {
  for (const FontFileFace& face : faces)
    if (face.family == family) return face.faceIndex;
  return -1;
}

std::string AbsoluteFontPath(const std::string& path) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  if (ec) absolute = path;
  return absolute.lexically_normal().string();
}

bool ReadFontFile(const std::string& path, FontFile* out, std::string* error) {
  const std::string absolute = AbsoluteFontPath(path);
  // FreeType first: it names what is wrong with a file it cannot read.
  FT_Library library = nullptr;
  FT_Error err = FT_Init_FreeType(&library);
  if (err) {
    if (error) *error = CannotRead(absolute, FreeTypeErrorText(err));
    return false;
  }
  FT_Face face = nullptr;
  err = FT_New_Face(library, absolute.c_str(), 0, &face);
  if (face) FT_Done_Face(face);
  FT_Done_FreeType(library);
  if (err) {
    if (error) *error = CannotRead(absolute, FreeTypeErrorText(err));
    return false;
  }

  // Then fontconfig's own description of every face, the same it will list once the file is added.
  FcFontSet* set = FcFontSetCreate();
  if (!set) {
    if (error) *error = CannotRead(absolute, "out of memory");
    return false;
  }
  int count = 0;
  FcFreeTypeQueryAll(reinterpret_cast<const FcChar8*>(absolute.c_str()), static_cast<unsigned>(-1), nullptr, &count,
                     set);
  std::map<int32_t, std::string> families;
  for (int i = 0; i < set->nfont; ++i) {
    int index = 0;
    FcChar8* family = nullptr;
    if (FcPatternGetInteger(set->fonts[i], FC_INDEX, 0, &index) != FcResultMatch || index > kFaceIndexMask) continue;
    if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &family) != FcResultMatch || !family || !*family) continue;
    families.emplace(index, reinterpret_cast<const char*>(family));
  }
  FcFontSetDestroy(set);
  if (families.empty()) {
    if (error) *error = CannotRead(absolute, "it holds no font face with a family name");
    return false;
  }
  FontFile file;
  file.path = absolute;
  for (auto& [index, family] : families) file.faces.push_back({index, std::move(family)});
  *out = std::move(file);
  return true;
}

bool AddApplicationFont(const FontFile& file, std::string* error) {
  if (!FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(file.path.c_str()))) {
    if (error) *error = "fontconfig did not take the font file \"" + file.path + "\"";
    return false;
  }
  return true;
}

bool UseOnlyApplicationFonts(std::string* error) {
  FcConfig* config = FcConfigCreate();
  if (!config) {
    if (error) *error = "fontconfig could not create a configuration";
    return false;
  }
  const bool ok = FcConfigSetCurrent(config);
  // The current configuration holds its own reference from here on.
  FcConfigDestroy(config);
  if (!ok && error) *error = "fontconfig could not use an empty configuration";
  return ok;
}

}  // namespace glyphmill
