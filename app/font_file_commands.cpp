#include "app/font_file_commands.h"

#include <sys/stat.h>

namespace glyphmill {

bool OpenFontFile(AppState& state, const std::string& path, std::optional<int32_t> faceIndex, std::string* family,
                  std::string* error) {
  // The face index is checked against FreeType's count of faces first, so that a wrong index adds
  // nothing.
  int32_t faceCount = 0;
  if (!CountFontFaces(path, &faceCount, error)) return false;
  if (faceIndex && (*faceIndex < 0 || *faceIndex >= faceCount)) {
    if (error)
      *error = "The font file \"" + AbsoluteFontPath(path) + "\" has no face " + std::to_string(*faceIndex) +
               " (it holds " + std::to_string(faceCount) + (faceCount == 1 ? " face)" : " faces)");
    return false;
  }
  const FontFile* file = state.fontFiles.add(path, error);
  if (!file) return false;
  const std::string* chosen = faceIndex ? file->familyOfFace(*faceIndex) : &file->faces.front().family;
  if (!chosen) {
    if (error)
      *error = "The font file \"" + file->path + "\" has no face " + std::to_string(*faceIndex) + " with a family name";
    return false;
  }
  const std::string selected = *chosen;
  RefreshFontCatalogue(state);
  if (family) *family = selected;
  return true;
}

void RefreshFontCatalogue(AppState& state) {
  const int preselected = state.catalogue.preselectedIndex;
  const bool first = state.catalogue.entries.empty();
  state.catalogue = BuildFontCatalogue(state.fontFiles.families());
  if (!first)
    state.catalogue.preselectedIndex = std::min(preselected, static_cast<int>(state.catalogue.entries.size()) - 1);
}

std::string FontFileMissingNotice(const std::string& path, const std::string& fontName, const std::string& why) {
  return "!The project's font file \"" + path + "\" " + why + "; the font \"" + fontName + "\" is used by name.";
}

void TakeProjectExtensions(AppState& state, ProjectData& project, const StatusCallback& status, bool addFontFile) {
  state.projectExtensions = project.extensions;
  state.projectExtensions.fontFile.reset();  // stored again from the selected family at each save
  state.extras = project.extensions.extras;
  if (!addFontFile || !project.extensions.fontFile) return;
  const ProjectFontFile& stored = *project.extensions.fontFile;
  const std::string fontName = project.settings.fontNameString();
  const FontFileReference reference{stored.path, static_cast<int32_t>(stored.faceIndex)};
  struct stat info {};
  if (::stat(stored.path.c_str(), &info) != 0) {
    state.fontFiles.rememberMissing(fontName, reference);
    if (status) status(FontFileMissingNotice(stored.path, fontName, "is missing"));
    return;
  }
  std::string error;
  const FontFile* file = state.fontFiles.add(stored.path, &error);
  if (!file) {
    state.fontFiles.rememberMissing(fontName, reference);
    if (status) status(FontFileMissingNotice(stored.path, fontName, "cannot be read (" + error + ")"));
    return;
  }
  if (file->faceOfFamily(fontName) < 0) {
    const std::string* family = file->familyOfFace(reference.faceIndex);
    project.settings.setFontName(family ? *family : file->faces.front().family);
  }
  RefreshFontCatalogue(state);
}

ProjectExtensions ProjectExtensionsToSave(const AppState& state) {
  ProjectExtensions extensions = state.projectExtensions;
  extensions.extras = state.extras;
  extensions.fontFile.reset();
  if (const std::optional<FontFileReference> reference = state.fontFiles.referenceFor(state.settings.fontNameString()))
    extensions.fontFile = ProjectFontFile{static_cast<uint32_t>(reference->faceIndex), reference->path};
  return extensions;
}

}  // namespace glyphmill
