#include "host/host_query.h"

#include <cstring>

namespace glyphmill {
namespace {
const FontInfoRecords* g_currentRecords = nullptr;  // set by HostQueryScope
}  // namespace

HostQueryScope::HostQueryScope(const FontInfoRecords* records) : previous_(g_currentRecords) {
  g_currentRecords = records;
}

HostQueryScope::~HostQueryScope() { g_currentRecords = previous_; }

}  // namespace glyphmill

extern "C" const void* GLYPHMILL_CALL glyphmill_host_query(const char* extension_id) {
  const glyphmill::FontInfoRecords* records = glyphmill::g_currentRecords;
  if (extension_id == nullptr || records == nullptr) return nullptr;
  if (std::strcmp(extension_id, GLYPHMILL_EXT_FONT_INFO_V1) == 0) return &records->v1;
  if (std::strcmp(extension_id, GLYPHMILL_EXT_FONT_INFO_V2) == 0) return &records->v2;
  return nullptr;
}
