#include "settings/font_files.h"

#include <fontconfig/fontconfig.h>
// fcfreetype.h needs fontconfig.h's types first.
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

namespace {

// FreeType's verdict on a file, from one look at its header (a negative face index asks only for
// the number of faces): the number of faces, or false with FreeType's error naming the file.
bool CheckWithFreeType(const std::string& absolute, int32_t* faceCount, std::string* error) {
  FT_Library library = nullptr;
  FT_Error err = FT_Init_FreeType(&library);
  if (err) {
    if (error) *error = CannotRead(absolute, FreeTypeErrorText(err));
    return false;
  }
  FT_Face face = nullptr;
  err = FT_New_Face(library, absolute.c_str(), -1, &face);
  const int32_t count = face ? static_cast<int32_t>(face->num_faces) : 0;
  if (face) FT_Done_Face(face);
  FT_Done_FreeType(library);
  if (!err && count <= 0) err = FT_Err_Invalid_Argument;
  if (err) {
    if (error) *error = CannotRead(absolute, FreeTypeErrorText(err));
    return false;
  }
  if (faceCount) *faceCount = count;
  return true;
}

// The faces fontconfig describes in `set` (only those of `path`, when it is not empty), as the
// catalogue lists them: each face's first family name, by ascending face index.
bool TakeFaces(const FcFontSet* set, const std::string& path, FontFile* out, std::string* error) {
  std::map<int32_t, std::string> families;
  for (int i = 0; set && i < set->nfont; ++i) {
    FcPattern* p = set->fonts[i];
    if (!path.empty()) {
      FcChar8* file = nullptr;
      if (FcPatternGetString(p, FC_FILE, 0, &file) != FcResultMatch || !file ||
          path != reinterpret_cast<const char*>(file))
        continue;
    }
    int index = 0;
    FcChar8* family = nullptr;
    if (FcPatternGetInteger(p, FC_INDEX, 0, &index) != FcResultMatch || index > kFaceIndexMask) continue;
    if (FcPatternGetString(p, FC_FAMILY, 0, &family) != FcResultMatch || !family || !*family) continue;
    families.emplace(index, reinterpret_cast<const char*>(family));
  }
  if (families.empty()) {
    if (error) *error = CannotRead(out->path, "it holds no font face with a family name");
    return false;
  }
  for (auto& [index, family] : families) out->faces.push_back({index, std::move(family)});
  return true;
}

}  // namespace

bool CountFontFaces(const std::string& path, int32_t* count, std::string* error) {
  return CheckWithFreeType(AbsoluteFontPath(path), count, error);
}

bool ReadFontFile(const std::string& path, FontFile* out, std::string* error) {
  FontFile file;
  file.path = AbsoluteFontPath(path);
  // FreeType first: it names what is wrong with a file it cannot read.
  if (!CheckWithFreeType(file.path, nullptr, error)) return false;
  // Then fontconfig's own description of every face, the same it lists once the file is added.
  FcFontSet* set = FcFontSetCreate();
  if (!set) {
    if (error) *error = CannotRead(file.path, "out of memory");
    return false;
  }
  int count = 0;
  FcFreeTypeQueryAll(reinterpret_cast<const FcChar8*>(file.path.c_str()), static_cast<unsigned>(-1), nullptr, &count,
                     set);
  const bool ok = TakeFaces(set, std::string(), &file, error);
  FcFontSetDestroy(set);
  if (ok) *out = std::move(file);
  return ok;
}

bool AddApplicationFont(const std::string& path, FontFile* out, std::string* error) {
  FontFile file;
  file.path = AbsoluteFontPath(path);
  if (!CheckWithFreeType(file.path, nullptr, error)) return false;
  // fontconfig describes the file once, as it adds it; the faces are then read from its list of
  // application fonts rather than by describing the file a second time.
  if (!FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(file.path.c_str()))) {
    if (error) *error = "fontconfig did not take the font file \"" + file.path + "\"";
    return false;
  }
  if (!TakeFaces(FcConfigGetFonts(nullptr, FcSetApplication), file.path, &file, error)) return false;
  *out = std::move(file);
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
