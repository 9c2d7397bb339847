#include "settings/freetype_error_names.h"

#include <cstdio>

namespace glyphmill {

#define GLYPHMILL_STRINGIFY_(x) #x
#define GLYPHMILL_STRINGIFY(x) GLYPHMILL_STRINGIFY_(x)

namespace {

// FreeType's error header expands its list through these macros when included again.
const char* KnownName(FT_Error error) {
#undef FTERRORS_H_
#define FT_ERROR_START_LIST switch (error) {
#define FT_ERRORDEF(name, value, text) \
  case value:                          \
    return GLYPHMILL_STRINGIFY(name) " (" text ")";
#define FT_ERROR_END_LIST }
#include FT_ERRORS_H
  return nullptr;
}

}  // namespace

std::string FreeTypeErrorName(FT_Error error) {
  if (const char* name = KnownName(error)) return name;
  char text[32];
  std::snprintf(text, sizeof text, "FreeType error 0x%X", static_cast<unsigned>(error));
  return text;
}

}  // namespace glyphmill
