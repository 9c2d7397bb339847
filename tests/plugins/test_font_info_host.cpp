#include "tests/plugins/test_font_info_host.h"

#include <cstring>

namespace glyphmill::plugintest {
namespace {

// The query's state lives for the test program's run; tests set it through OfferFontInfo.
struct HostState {
  const GlyphmillFontInfoV1* offered = nullptr;
  const GlyphmillPagesV1* pages = nullptr;
  int calls = 0;
  std::string lastExtension;
  bool failureOffered = false;
  std::vector<std::string> failures;
};

HostState& State() {
  static HostState state;
  return state;
}

void ReportFailure(const char* message) { State().failures.push_back(message != nullptr ? message : "(null)"); }

const GlyphmillReportFailureV1 kFailureService = {sizeof(GlyphmillReportFailureV1), GLYPHMILL_REPORT_FAILURE_MAX_BYTES,
                                                  &ReportFailure};

// The failure service when the test offers it, else null.
const GlyphmillReportFailureV1* OfferedFailureService() { return State().failureOffered ? &kFailureService : nullptr; }

}  // namespace

const GlyphmillFontInfoV1* TestFontInfo::bind() {
  record.face_name = face.c_str();
  record.char_count = static_cast<uint32_t>(placed.size());
  record.placed = placed.empty() ? nullptr : placed.data();
  record.kerning_count = static_cast<uint32_t>(kernings.size());
  record.kernings = kernings.empty() ? nullptr : kernings.data();
  return &record;
}

void OfferFontInfo(const GlyphmillFontInfoV1* info) { State().offered = info; }
void OfferPages(const GlyphmillPagesV1* pages) { State().pages = pages; }
void OfferFailureReport(bool offered) { State().failureOffered = offered; }
std::vector<std::string> ReportedFailures() { return State().failures; }
void ClearReportedFailures() { State().failures.clear(); }
int HostQueryCalls() { return State().calls; }
std::string LastQueriedExtension() { return State().lastExtension; }

}  // namespace glyphmill::plugintest

extern "C" __attribute__((visibility("default"))) const void* glyphmill_host_query(const char* extension_id) {
  auto& state = glyphmill::plugintest::State();
  ++state.calls;
  state.lastExtension = extension_id != nullptr ? extension_id : "";
  if (extension_id == nullptr) return nullptr;
  if (std::strcmp(extension_id, GLYPHMILL_EXT_REPORT_FAILURE_V1) == 0)
    return glyphmill::plugintest::OfferedFailureService();
  if (std::strcmp(extension_id, GLYPHMILL_EXT_PAGES_V1) == 0) return state.pages;
  if (std::strcmp(extension_id, GLYPHMILL_EXT_FONT_INFO_V1) != 0) return nullptr;
  return state.offered;
}
