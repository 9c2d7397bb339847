/* Which layout figure glyphmill_c_layout returns; shared by the C and the C++ side. */
#ifndef GLYPHMILL_TEST_HEADER_LAYOUT_H
#define GLYPHMILL_TEST_HEADER_LAYOUT_H

#include <stddef.h>

enum {
  kLayoutPluginInfo,
  kLayoutCharInfo,
  kLayoutDataInfo,
  kLayoutDataChars,
  kLayoutGraphicInfo,
  kLayoutGraphicAlpha,
  kLayoutSimpleInfo,
  kLayoutSimpleChars,
  kLayoutSimpleSpace,
  kLayoutFontInfo,
  kLayoutFontInfoKernings,
  kLayoutKerningPair,
  kLayoutFontInfoV2,
  kLayoutFontInfoV2Geometry,
  kLayoutFontInfoV2Kernings,
  kLayoutCharGeometry,
  kLayoutReportFailure,
  kLayoutReportFailureProc,
  kLayoutPage,
  kLayoutPagesV1,
  kLayoutPagesV1Chars,
  kLayoutPagesV1Geometry,
  kLayoutCount
};

#ifdef __cplusplus
extern "C" {
#endif
size_t glyphmill_c_layout(unsigned what);
#ifdef __cplusplus
}
#endif

#endif
