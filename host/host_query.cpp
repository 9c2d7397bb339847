#include "host/host_query.h"

#include <cstring>
#include <mutex>

namespace glyphmill {
namespace {

// Set by HostQueryScope. The failure is also reached from plug-in threads: the lock keeps a
// report from meeting the end of its call half-way.
const FontInfoRecords* g_currentRecords = nullptr;
ReportedFailure* g_currentFailure = nullptr;
std::mutex g_failureLock;

extern "C" void GLYPHMILL_CALL ReportFailureV1(const char* message) {
  const std::lock_guard<std::mutex> lock(g_failureLock);
  if (g_currentFailure != nullptr) g_currentFailure->report(message);
}

const GlyphmillReportFailureV1 kReportFailureV1 = {sizeof(GlyphmillReportFailureV1), GLYPHMILL_REPORT_FAILURE_MAX_BYTES,
                                                   &ReportFailureV1};

}  // namespace

HostQueryScope::HostQueryScope(const FontInfoRecords* records, ReportedFailure* failure)
    : previousRecords_(g_currentRecords) {
  g_currentRecords = records;
  const std::lock_guard<std::mutex> lock(g_failureLock);
  previousFailure_ = g_currentFailure;
  g_currentFailure = failure;
}

HostQueryScope::~HostQueryScope() {
  g_currentRecords = previousRecords_;
  const std::lock_guard<std::mutex> lock(g_failureLock);
  g_currentFailure = previousFailure_;
}

}  // namespace glyphmill

extern "C" const void* GLYPHMILL_CALL glyphmill_host_query(const char* extension_id) {
  if (extension_id == nullptr) return nullptr;
  const glyphmill::FontInfoRecords* records = glyphmill::g_currentRecords;
  if (records != nullptr) {
    if (std::strcmp(extension_id, GLYPHMILL_EXT_FONT_INFO_V1) == 0) return &records->v1;
    if (std::strcmp(extension_id, GLYPHMILL_EXT_FONT_INFO_V2) == 0) return &records->v2;
    if (std::strcmp(extension_id, GLYPHMILL_EXT_PAGES_V1) == 0 && records->hasPages) return &records->pages;
  }
  if (std::strcmp(extension_id, GLYPHMILL_EXT_REPORT_FAILURE_V1) == 0) {
    const std::lock_guard<std::mutex> lock(glyphmill::g_failureLock);
    if (glyphmill::g_currentFailure != nullptr) return &glyphmill::kReportFailureV1;
  }
  return nullptr;
}
