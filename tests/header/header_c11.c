/* The plug-in headers as a C11 plug-in author includes them: every record's size and field
 * offsets as C lays them out, for the C++ test to compare. */
#include <stddef.h>

#include "glyphmill/host.h"
#include "glyphmill/plugin.h"

#include "header_layout.h"

size_t glyphmill_c_layout(unsigned what) {
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
