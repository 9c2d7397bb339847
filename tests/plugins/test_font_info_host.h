// The host side of the optional font information and failure report service, as this test
// program offers them: the program
// exports glyphmill_host_query (linked with exported symbols), so plug-ins discover it with
// dlsym(RTLD_DEFAULT, ...) exactly as they discover a real host's.
#pragma once

#include <string>
#include <vector>

#include "glyphmill/host.h"

namespace glyphmill::plugintest {

// A GlyphmillFontInfoV1 with the storage its pointers refer to.
struct TestFontInfo {
  GlyphmillFontInfoV1 record{};
  std::string face;
  std::vector<uint8_t> placed;
  std::vector<GlyphmillKerningPair> kernings;

  // Points the record's pointers at the storage above; call after changing it.
  const GlyphmillFontInfoV1* bind();
};

// What the query returns for GLYPHMILL_EXT_FONT_INFO_V1 from now on; null: the host offers none.
void OfferFontInfo(const GlyphmillFontInfoV1* info);
// What the query returns for GLYPHMILL_EXT_PAGES_V1 from now on; null (the start): no pages service.
void OfferPages(const GlyphmillPagesV1* pages);
// Whether the query answers GLYPHMILL_EXT_REPORT_FAILURE_V1 from now on (it does not at first).
// The messages reported through it, in order (a null message as "(null)"), and clearing them.
void OfferFailureReport(bool offered);
std::vector<std::string> ReportedFailures();
void ClearReportedFailures();
// Number of query calls, and the last extension id asked for.
int HostQueryCalls();
std::string LastQueriedExtension();

}  // namespace glyphmill::plugintest
