/* Glyphmill export plug-in interface.
 *
 * A plug-in is a shared library (plugins/NAME.so) that exports GetPluginInfo and the one export
 * entry point its type requires: SimpleExport, GraphicExport or DataExport. The host calls
 * GetPluginInfo once right after loading the library and the export entry point once per export.
 *
 * Every record is byte-packed, little-endian, fields in the order given. Pointer fields have the
 * platform's pointer width: on a 32-bit platform every offset is the one in the comments ("32:"),
 * on x86-64 each pointer is 8 bytes wide and the offsets after it move by 4 ("64:"). Both layouts
 * are checked below.
 *
 * Ownership: the host owns everything it passes. A plug-in must not free any pointer it receives
 * and must not keep one after its entry point returns.
 * Threads: every call comes from the host's main thread, one at a time.
 * Process: plug-ins are loaded and called in a plug-in host process of their own
 * (glyphmill-plugin-host), started once per program run, never in the program itself. All plug-ins
 * of a run share that process. The records and buffers are placed in memory shared with the
 * program; the pointers a plug-in receives point into its own process, exactly as documented here.
 * State: what a plug-in keeps in its own variables (set in GetPluginInfo or in an export) is still
 * there in its later exports of the same run. It is lost when the host process has to be started
 * again: after any plug-in crashed, called exit(), or did not return within a generous time limit.
 * The new host loads every plug-in again, in the same order, and calls GetPluginInfo once more
 * before the next export, so a plug-in that sets up its state in GetPluginInfo may rely on it being
 * set up before each export. Nothing is kept from one program run to the next.
 * Failures: a call that crashes, raises an exception, ends its process or does not return within
 * the limit is reported to the user as a failure of the plug-in; the other plug-ins and the program
 * carry on. A library whose load-time constructors crash, exit or hang is skipped like a file that
 * is not a library. A plug-in that fails with a message but without an exception (one written in
 * C, say) reports the failure through the optional service of glyphmill/host.h and returns.
 * Standard streams: standard input is /dev/null; what a plug-in writes to standard output or
 * standard error goes to the program's standard error (flushed after every call), never into the
 * program's own output. Processes a plug-in starts do not delay the end of its call.
 * Strings: a short string is a length byte followed by that many UTF-8 bytes; the field always
 * occupies its full size. FileName is a zero-terminated UTF-8 path, never NULL: "" when the plug-in
 * asked for no file name.
 *
 * Optional host services beyond these fixed records are described in glyphmill/host.h.
 */
#ifndef GLYPHMILL_PLUGIN_H
#define GLYPHMILL_PLUGIN_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#define GLYPHMILL_EXTERN_C extern "C"
#else
#define GLYPHMILL_EXTERN_C
#endif

#if defined(_WIN32)
#define GLYPHMILL_CALL __cdecl
#define GLYPHMILL_PLUGIN_EXPORT GLYPHMILL_EXTERN_C __declspec(dllexport)
#else
#define GLYPHMILL_CALL
#define GLYPHMILL_PLUGIN_EXPORT GLYPHMILL_EXTERN_C __attribute__((visibility("default")))
#endif

/* Plug-in types (TPluginInfo.PluginType). Any other value is treated as a graphic exporter that
 * receives neither buffer. */
enum {
  ptSimple = 1,             /* SimpleExport: colour, alpha and character table */
  ptData = 2,               /* DataExport: character table only */
  ptGraphicRGB = 3,         /* GraphicExport: colour buffer */
  ptGraphicAlpha = 4,       /* GraphicExport: alpha buffer */
  ptGraphicRGBXorAlpha = 5, /* GraphicExport: exactly one of the two, chosen per batch job */
  ptGraphicRGBAndAlpha = 6, /* GraphicExport: both */
  ptGraphicRGBOrAlpha = 7   /* GraphicExport: one or both, chosen per batch job */
};

#pragma pack(push, 1)

/* Filled by the plug-in in GetPluginInfo; the host zeroes all 264 bytes before the call. */
typedef struct TPluginInfo {
  uint8_t Name[256];    /*   0: short string, the name users see and projects store          */
  uint8_t PluginType;   /* 256: one of the pt* values                                        */
  uint8_t AskFileName;  /* 257: nonzero: the host asks for an output file before each export */
  uint8_t HasExtension; /* 258: nonzero: Extension is used (dialog filter, forced extension)  */
  uint8_t Extension[5]; /* 259: short string, up to 4 characters, without the dot            */
} TPluginInfo;          /* 264 bytes */

/* One generated character, copied from the host's placed-character table. */
typedef struct TExportCharInfo {
  uint32_t Width;      /*  0: cell width in pixels                                    */
  uint32_t Height;     /*  4: cell height in pixels                                   */
  int32_t X;           /*  8: left edge of the cell in the texture                    */
  int32_t Y;           /* 12: top edge of the cell in the texture                     */
  int32_t PreAdvance;  /* 16: pen movement before the cell: A width + kerning/2       */
  int32_t PostAdvance; /* 20: pen movement after the cell: B + C widths + kerning/2   */
  uint32_t Code;       /* 24: UTF-16 code unit                                        */
} TExportCharInfo;     /* 28 bytes */

/* Argument of DataExport. */
typedef struct TDataExportInfo {
  const char* FileName;         /*  0       : output path or ""                             */
  uint32_t CharCount;           /*  32:4  64:8  : records at Chars                           */
  int32_t SpaceAdvance;         /*  32:8  64:12 : pen advance of the space character         */
  uint16_t Width;               /*  32:12 64:16 : texture width                              */
  uint16_t Height;              /*  32:14 64:18 : texture height                             */
  const TExportCharInfo* Chars; /*  32:16 64:20 : NULL when CharCount is 0                   */
} TDataExportInfo;              /*  32: 20 bytes, 64: 28 bytes */

/* Argument of GraphicExport. Buffers: RGB is Width*Height*3 bytes (blue, green, red per pixel,
 * top row first, no row padding); Alpha is Width*Height bytes, 255 opaque. */
typedef struct TGraphicExportInfo {
  const char* FileName; /*  0          : output path or ""                    */
  uint16_t Width;       /*  32:4  64:8  : texture width                        */
  uint16_t Height;      /*  32:6  64:10 : texture height                       */
  const uint8_t* RGB;   /*  32:8  64:12 : colour buffer, or NULL               */
  const uint8_t* Alpha; /*  32:12 64:20 : alpha buffer, or NULL                */
} TGraphicExportInfo;   /*  32: 16 bytes, 64: 28 bytes */

/* Argument of SimpleExport: the graphic record with both buffers, then the character table. */
typedef struct TSimpleExportInfo {
  const char* FileName;         /*  0          : output path or ""                */
  uint16_t Width;               /*  32:4  64:8  : texture width                    */
  uint16_t Height;              /*  32:6  64:10 : texture height                   */
  const uint8_t* RGB;           /*  32:8  64:12 : colour buffer, never NULL        */
  const uint8_t* Alpha;         /*  32:12 64:20 : alpha buffer, never NULL         */
  uint32_t CharCount;           /*  32:16 64:28 : records at Chars                 */
  int32_t SpaceAdvance;         /*  32:20 64:32 : pen advance of the space         */
  const TExportCharInfo* Chars; /*  32:24 64:36 : NULL when CharCount is 0         */
} TSimpleExportInfo;            /*  32: 28 bytes, 64: 44 bytes */

#pragma pack(pop)

/* Entry points, looked up by these exact names. The return value is ignored. */
typedef void(GLYPHMILL_CALL* GetPluginInfoProc)(TPluginInfo* info);
typedef void(GLYPHMILL_CALL* SimpleExportProc)(const TSimpleExportInfo* info);
typedef void(GLYPHMILL_CALL* GraphicExportProc)(const TGraphicExportInfo* info);
typedef void(GLYPHMILL_CALL* DataExportProc)(const TDataExportInfo* info);

/* ---- layout checks ---------------------------------------------------------------------- */
#ifdef __cplusplus
#define GLYPHMILL_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define GLYPHMILL_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

/* P(a, b): offset a on a 32-bit platform, b with 8-byte pointers. */
#define GLYPHMILL_P(a32, a64) (sizeof(void*) == 4 ? (a32) : (a64))

GLYPHMILL_STATIC_ASSERT(sizeof(void*) == 4 || sizeof(void*) == 8, "4- or 8-byte pointers");
GLYPHMILL_STATIC_ASSERT(sizeof(TPluginInfo) == 264, "TPluginInfo is 264 bytes");
GLYPHMILL_STATIC_ASSERT(offsetof(TPluginInfo, PluginType) == 256, "TPluginInfo.PluginType");
GLYPHMILL_STATIC_ASSERT(offsetof(TPluginInfo, AskFileName) == 257, "TPluginInfo.AskFileName");
GLYPHMILL_STATIC_ASSERT(offsetof(TPluginInfo, HasExtension) == 258, "TPluginInfo.HasExtension");
GLYPHMILL_STATIC_ASSERT(offsetof(TPluginInfo, Extension) == 259, "TPluginInfo.Extension");

GLYPHMILL_STATIC_ASSERT(sizeof(TExportCharInfo) == 28, "TExportCharInfo is 28 bytes");
GLYPHMILL_STATIC_ASSERT(offsetof(TExportCharInfo, X) == 8, "TExportCharInfo.X");
GLYPHMILL_STATIC_ASSERT(offsetof(TExportCharInfo, PreAdvance) == 16, "TExportCharInfo.PreAdvance");
GLYPHMILL_STATIC_ASSERT(offsetof(TExportCharInfo, Code) == 24, "TExportCharInfo.Code");

GLYPHMILL_STATIC_ASSERT(sizeof(TDataExportInfo) == GLYPHMILL_P(20, 28), "TDataExportInfo size");
GLYPHMILL_STATIC_ASSERT(offsetof(TDataExportInfo, CharCount) == GLYPHMILL_P(4, 8), "TDataExportInfo.CharCount");
GLYPHMILL_STATIC_ASSERT(offsetof(TDataExportInfo, SpaceAdvance) == GLYPHMILL_P(8, 12), "TDataExportInfo.SpaceAdvance");
GLYPHMILL_STATIC_ASSERT(offsetof(TDataExportInfo, Width) == GLYPHMILL_P(12, 16), "TDataExportInfo.Width");
GLYPHMILL_STATIC_ASSERT(offsetof(TDataExportInfo, Height) == GLYPHMILL_P(14, 18), "TDataExportInfo.Height");
GLYPHMILL_STATIC_ASSERT(offsetof(TDataExportInfo, Chars) == GLYPHMILL_P(16, 20), "TDataExportInfo.Chars");

GLYPHMILL_STATIC_ASSERT(sizeof(TGraphicExportInfo) == GLYPHMILL_P(16, 28), "TGraphicExportInfo size");
GLYPHMILL_STATIC_ASSERT(offsetof(TGraphicExportInfo, Width) == GLYPHMILL_P(4, 8), "TGraphicExportInfo.Width");
GLYPHMILL_STATIC_ASSERT(offsetof(TGraphicExportInfo, Height) == GLYPHMILL_P(6, 10), "TGraphicExportInfo.Height");
GLYPHMILL_STATIC_ASSERT(offsetof(TGraphicExportInfo, RGB) == GLYPHMILL_P(8, 12), "TGraphicExportInfo.RGB");
GLYPHMILL_STATIC_ASSERT(offsetof(TGraphicExportInfo, Alpha) == GLYPHMILL_P(12, 20), "TGraphicExportInfo.Alpha");

GLYPHMILL_STATIC_ASSERT(sizeof(TSimpleExportInfo) == GLYPHMILL_P(28, 44), "TSimpleExportInfo size");
GLYPHMILL_STATIC_ASSERT(offsetof(TSimpleExportInfo, Width) == GLYPHMILL_P(4, 8), "TSimpleExportInfo.Width");
GLYPHMILL_STATIC_ASSERT(offsetof(TSimpleExportInfo, Height) == GLYPHMILL_P(6, 10), "TSimpleExportInfo.Height");
GLYPHMILL_STATIC_ASSERT(offsetof(TSimpleExportInfo, RGB) == GLYPHMILL_P(8, 12), "TSimpleExportInfo.RGB");
GLYPHMILL_STATIC_ASSERT(offsetof(TSimpleExportInfo, Alpha) == GLYPHMILL_P(12, 20), "TSimpleExportInfo.Alpha");
GLYPHMILL_STATIC_ASSERT(offsetof(TSimpleExportInfo, CharCount) == GLYPHMILL_P(16, 28), "TSimpleExportInfo.CharCount");
GLYPHMILL_STATIC_ASSERT(offsetof(TSimpleExportInfo, SpaceAdvance) == GLYPHMILL_P(20, 32),
                        "TSimpleExportInfo.SpaceAdvance");
GLYPHMILL_STATIC_ASSERT(offsetof(TSimpleExportInfo, Chars) == GLYPHMILL_P(24, 36), "TSimpleExportInfo.Chars");

#endif /* GLYPHMILL_PLUGIN_H */
