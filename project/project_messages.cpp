#include "project/project_messages.h"

#include "project/project_layout.h"

namespace glyphmill::project_text {
namespace {

constexpr const char* kDifferentVersion =
    "This file is from a different version of Glyphmill. It cannot be loaded into the Glyphmill.";
constexpr const char* kIncomplete = "This file is incomplete. It cannot be loaded into the Glyphmill.";
constexpr const char* kDamaged = "This file is damaged. It cannot be loaded into the Glyphmill.";

}  // namespace

std::string RecordSizeMismatch(uint32_t sizeRead) {
  return std::string(kDifferentVersion) + "\rRecord size mismatch: " + std::to_string(sizeRead) + " should be " +
         std::to_string(kProjectSettingsSize);
}

std::string Incomplete(const char* part, uint64_t fileBytes) {
  return std::string(kIncomplete) + "\rIt ends inside the " + part + " after " + std::to_string(fileBytes) + " bytes.";
}

std::string JobCountMismatch(int32_t count, uint64_t room) {
  return std::string(kDamaged) + "\rIt claims " + std::to_string(count) + " export jobs but holds room for " +
         std::to_string(room) + ".";
}

std::string UnterminatedFontName() { return std::string(kDamaged) + "\rThe font name has no terminating zero byte."; }

std::string LoadFailed(const std::string& message) { return "!Error while loading project! " + message; }

std::string Saved(const std::string& path) { return ".Project saved to " + path + " succesfully."; }

std::string SaveFailed(const std::string& message) { return "!Error while saving: " + message; }

std::string AutosaveFailed(const std::string& path, const std::string& message) {
  return "The autosave could not be written to " + path + ":\r" + message +
         "\r\rThis session's settings will not come back at the next start.";
}

}  // namespace glyphmill::project_text
