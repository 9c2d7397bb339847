// Texts that project loading and saving show to the user: message-box texts and captions, status
// notices ("." success, "!" error) and the captions and filters of the two file dialogs.
// Lines of a multi-line text are joined by a single carriage return (character 13).
#pragma once

#include <cstdint>
#include <string>

namespace glyphmill::project_text {

inline constexpr const char* kFileErrorCaption = "File Error";

// Wrong signature (also an empty file or one shorter than the signature).
inline constexpr const char* kNoGlyphmillData =
    "This file does not contain any Glyphmill data. It cannot be loaded into the Glyphmill.";

// Settings size other than 124: the version text, then the size read and the size expected.
std::string RecordSizeMismatch(uint32_t sizeRead);

// A file that ends before one of its parts is complete. `part` names the part, `fileBytes` is the
// file's length.
std::string Incomplete(const char* part, uint64_t fileBytes);

// A job count that is negative or larger than the rest of the file can hold.
std::string JobCountMismatch(int32_t count, uint64_t room);

// A font name that fills all of its bytes without a terminating zero.
std::string UnterminatedFontName();

// Status notices.
inline constexpr const char* kProjectLoaded = ".Project Loaded Succesfully.";
std::string LoadFailed(const std::string& message);  // "!Error while loading project! " + message
std::string Saved(const std::string& path);          // ".Project saved to " + path + " succesfully."
std::string SaveFailed(const std::string& message);  // "!Error while saving: " + message

// The autosave: no folder to write it to, and the box shown when it could not be written.
inline constexpr const char* kNoAutosaveFolder =
    "there is no configuration folder (neither XDG_CONFIG_HOME nor HOME is set)";
inline constexpr const char* kAutosaveFailedCaption = "Autosave Error";
std::string AutosaveFailed(const std::string& path, const std::string& message);

// File dialogs of the two project commands.
inline constexpr const char* kSaveDialogTitle = "Save Glyphmill Project";
inline constexpr const char* kSaveDialogFilter = "Glyphmill Project|*.gmp";
inline constexpr const char* kLoadDialogTitle = "Load Glyphmill Project";
inline constexpr const char* kLoadDialogFilter = "Glyphmill Projects (*.gmp)|*.gmp";

}  // namespace glyphmill::project_text
