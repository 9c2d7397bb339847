// The plug-in headers compiled as C++20 with warnings as errors; C and C++ must agree on every
// record's layout, since plug-ins in either language share one binary interface with the host.
#include <gtest/gtest.h>

#include <cstddef>

#include "glyphmill/host.h"
#include "glyphmill/plugin.h"
#include "header_layout.h"

namespace {

std::size_t CxxLayout(unsigned what) {
  switch (what) {
    case kLayoutPluginInfo: return sizeof(TPluginInfo);
    case kLayoutCharInfo: return sizeof(TExportCharInfo);
    case kLayoutDataInfo: return sizeof(TDataExportInfo);
    case kLayoutDataChars: return offsetof(TDataExportInfo, Chars);
    case kLayoutGraphicInfo: return sizeof(TGraphicExportInfo);
    case kLayoutGraphicAlpha: return offsetof(TGraphicExportInfo, Alpha);
    case kLayoutSimpleInfo: return sizeof(TSimpleExportInfo);
    case kLayoutSimpleChars: return offsetof(TSimpleExportInfo, Chars);
    case kLayoutSimpleSpace: return offsetof(TSimpleExportInfo, SpaceAdvance);
    case kLayoutFontInfo: return sizeof(GlyphmillFontInfoV1);
    case kLayoutFontInfoKernings: return offsetof(GlyphmillFontInfoV1, kernings);
    case kLayoutKerningPair: return sizeof(GlyphmillKerningPair);
    case kLayoutFontInfoV2: return sizeof(GlyphmillFontInfoV2);
    case kLayoutFontInfoV2Geometry: return offsetof(GlyphmillFontInfoV2, geometry);
    case kLayoutFontInfoV2Kernings: return offsetof(GlyphmillFontInfoV2, kernings);
    case kLayoutCharGeometry: return sizeof(GlyphmillCharGeometry);
    case kLayoutReportFailure: return sizeof(GlyphmillReportFailureV1);
    case kLayoutReportFailureProc: return offsetof(GlyphmillReportFailureV1, report_failure);
    case kLayoutPage: return sizeof(GlyphmillPage);
    case kLayoutPagesV1: return sizeof(GlyphmillPagesV1);
    case kLayoutPagesV1Chars: return offsetof(GlyphmillPagesV1, chars);
    case kLayoutPagesV1Geometry: return offsetof(GlyphmillPagesV1, geometry);
    default: return 0;
  }
}

TEST(PluginHeader, CAndCxxAgreeOnEveryLayout) {
  for (unsigned what = 0; what < kLayoutCount; ++what) EXPECT_EQ(glyphmill_c_layout(what), CxxLayout(what)) << what;
}

TEST(PluginHeader, PointerWidthLayoutOfThisPlatform) {
  // Byte-packed records: on x86-64 every field after a pointer moves by 4 per earlier pointer.
  const std::size_t p = sizeof(void*) - 4;
  EXPECT_EQ(sizeof(TPluginInfo), 264u);
  EXPECT_EQ(sizeof(TExportCharInfo), 28u);
  EXPECT_EQ(sizeof(TDataExportInfo), 20u + 2 * p);
  EXPECT_EQ(sizeof(TGraphicExportInfo), 16u + 3 * p);
  EXPECT_EQ(sizeof(TSimpleExportInfo), 28u + 4 * p);
  EXPECT_EQ(offsetof(TSimpleExportInfo, Chars), 24u + 3 * p);
}

TEST(PluginHeader, EntryPointTypesTakeOneRecordPointer) {
  static_assert(std::is_same_v<GetPluginInfoProc, void (*)(TPluginInfo*)>);
  static_assert(std::is_same_v<SimpleExportProc, void (*)(const TSimpleExportInfo*)>);
  static_assert(std::is_same_v<GlyphmillHostQueryProc, const void* (*)(const char*)>);
  EXPECT_STREQ(GLYPHMILL_HOST_QUERY_SYMBOL, "glyphmill_host_query");
  EXPECT_STREQ(GLYPHMILL_EXT_FONT_INFO_V1, "glyphmill.font-info/1");
}

TEST(PluginHeader, TheFailureReportRecordHoldsItsSizeTheBoundAndTheFunction) {
  static_assert(std::is_same_v<GlyphmillReportFailureProc, void (*)(const char*)>);
  EXPECT_STREQ(GLYPHMILL_EXT_REPORT_FAILURE_V1, "glyphmill.report-failure/1");
  EXPECT_EQ(offsetof(GlyphmillReportFailureV1, max_message_bytes), 4u);
  EXPECT_EQ(offsetof(GlyphmillReportFailureV1, report_failure), 8u);
  EXPECT_EQ(sizeof(GlyphmillReportFailureV1), 8u + sizeof(void*));
}

TEST(PluginHeader, ThePagesRecordIsNaturallyAlignedWithItsSizeFirst) {
  EXPECT_STREQ(GLYPHMILL_EXT_PAGES_V1, "glyphmill.pages/1");
  EXPECT_EQ(offsetof(GlyphmillPage, rgb), 8u);
  EXPECT_EQ(offsetof(GlyphmillPage, alpha), 8u + sizeof(void*));
  EXPECT_EQ(offsetof(GlyphmillPagesV1, struct_size), 0u);
  EXPECT_EQ(offsetof(GlyphmillPagesV1, pages), 8u);
  EXPECT_EQ(offsetof(GlyphmillPagesV1, char_count), 8u + sizeof(void*));
  EXPECT_EQ(offsetof(GlyphmillPagesV1, chars), 16u + sizeof(void*));
  EXPECT_EQ(sizeof(GlyphmillPagesV1), 16u + 5 * sizeof(void*));
}

}  // namespace
