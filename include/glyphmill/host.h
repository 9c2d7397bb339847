/* Glyphmill optional host services for export plug-ins.
 *
 * The records of glyphmill/plugin.h are fixed and carry no version, so anything beyond them is
 * optional and discovered: a plug-in written only against plugin.h never needs this file.
 *
 * Discovery. The plug-in host process (the process that loads and calls plug-ins) exports one C
 * function named GLYPHMILL_HOST_QUERY_SYMBOL. A plug-in looks it up at run time (POSIX: dlsym(RTLD_DEFAULT,
 * GLYPHMILL_HOST_QUERY_SYMBOL)); when it is not there, the plug-in runs in a host without these services and carries on
 * with the fixed records. The function takes a versioned extension id and returns a pointer to that extension's record,
 * or NULL when the host does not offer it.
 *
 * [main-thread] Call it only from inside an export entry point (SimpleExport, GraphicExport,
 * DataExport). The returned record and everything it points to belong to the host and stay valid
 * until that entry point returns; outside an export call the function returns NULL.
 */
#ifndef GLYPHMILL_HOST_H
#define GLYPHMILL_HOST_H

#include <stdint.h>

#include "glyphmill/plugin.h"

#define GLYPHMILL_HOST_QUERY_SYMBOL "glyphmill_host_query"

typedef const void*(GLYPHMILL_CALL* GlyphmillHostQueryProc)(const char* extension_id);

/* ---- font information, version 1 ---------------------------------------------------------- */
#define GLYPHMILL_EXT_FONT_INFO_V1 "glyphmill.font-info/1"

/* One kerning pair: drawing `second` right after `first` moves it by `amount` pixels (negative:
 * closer), at the generated pixel size. Only pairs with a nonzero amount are listed. */
typedef struct GlyphmillKerningPair {
  uint32_t first;  /* UTF-16 code unit */
  uint32_t second; /* UTF-16 code unit */
  int32_t amount;  /* pixels */
} GlyphmillKerningPair;

/* What the fixed records do not carry about the font being exported. Fields are naturally
 * aligned (this record is not packed). `struct_size` is the size the host filled in: a future
 * version only appends fields, so a plug-in may read any field that lies below struct_size. */
typedef struct GlyphmillFontInfoV1 {
  uint32_t struct_size;                 /* sizeof(GlyphmillFontInfoV1) for this version                  */
  int32_t point_size;                   /* font size in points, as set by the user                       */
  int32_t pixel_size;                   /* em size in pixels the glyphs were rendered at (96 dpi)        */
  int32_t line_height;                  /* height of every character cell, pixels                        */
  int32_t base;                         /* from the top of a cell to the baseline: draw offset + ascent  */
  int32_t ascent;                       /* font ascent in pixels                                          */
  int32_t descent;                      /* font descent in pixels (positive)                              */
  int32_t outline_width;                /* outline width in pixels, 0 when the outline is off            */
  uint8_t bold;                         /* nonzero when bold was asked for                                */
  uint8_t italic;                       /* nonzero when italic was asked for                              */
  uint8_t antialias_mode;               /* 0 smooth, 1 cleartype, 2 none, 3 distance field, 4 MSDF,      */
                                        /* 5 MTSDF (multi-channel fields: red, green, blue hold three    */
                                        /* fields; MTSDF's alpha the true field, MSDF's alpha is 255)    */
  uint8_t reserved0;                    /* 0                                                              */
  uint32_t char_count;                  /* entries at `placed`: the CharCount of the export record        */
  const char* face_name;                /* zero-terminated UTF-8 family name as set by the user          */
  const uint8_t* placed;                /* placed[i] nonzero when Chars[i] found room in the texture     */
  uint32_t kerning_count;               /* entries at `kernings`                                          */
  uint32_t reserved1;                   /* 0                                                              */
  const GlyphmillKerningPair* kernings; /* sorted by first, then second; NULL when none      */
} GlyphmillFontInfoV1;

/* ---- font information, version 2 ---------------------------------------------------------- */
#define GLYPHMILL_EXT_FONT_INFO_V2 "glyphmill.font-info/2"

/* Where one character's text line sits in its cell. The pen position of the character is
 * (cell left + draw_offset_x) and the top of its text line (the line's ascent above the
 * baseline) is (cell top + draw_offset_y): a reader that draws the cell at
 * (pen - draw_offset_x, line top - draw_offset_y) puts the ink exactly where FreeType puts it
 * relative to the pen and the baseline. Either offset may be negative. */
typedef struct GlyphmillCharGeometry {
  int32_t draw_offset_x; /* cell left edge -> pen position                                     */
  int32_t draw_offset_y; /* cell top edge -> top of the text line (baseline - ascent)           */
} GlyphmillCharGeometry;

/* Version 2 describes the font's own line rather than the cells: `line_height` and `ascent` are
 * the font's, independent of outline, shadow and spacing margins, and `geometry` gives each
 * character's offsets. Ask for GLYPHMILL_EXT_FONT_INFO_V1 to get the version 1 record and its
 * cell-based meanings. Fields are naturally aligned (not packed); later versions only append, so
 * a plug-in may read any field that lies below `struct_size`. */
typedef struct GlyphmillFontInfoV2 {
  uint32_t struct_size;                  /* sizeof(GlyphmillFontInfoV2) for this version                  */
  int32_t point_size;                    /* font size in points, as set by the user                       */
  int32_t pixel_size;                    /* em size in pixels the glyphs were rendered at (96 dpi)        */
  int32_t line_height;                   /* the font's line height: ascent + descent, pixels              */
  int32_t ascent;                        /* the font's ascent: text line top -> baseline, pixels          */
  int32_t descent;                       /* the font's descent in pixels (positive)                        */
  int32_t outline_width;                 /* outline width in pixels, 0 when the outline is off            */
  uint8_t bold;                          /* nonzero when bold was asked for                                */
  uint8_t italic;                        /* nonzero when italic was asked for                              */
  uint8_t antialias_mode;                /* 0 smooth, 1 cleartype, 2 none, 3 distance field, 4 MSDF,      */
                                         /* 5 MTSDF (as in version 1)                                     */
  uint8_t page_pixels;                   /* the colour buffer: 0 as drawn over the background colour,     */
                                         /* 1 straight colour (also in fully transparent pixels, bled     */
                                         /* from the nearest inked one), 2 premultiplied by alpha; hosts  */
                                         /* before page pixel modes leave it 0                            */
  uint32_t char_count;                   /* entries at `placed` and `geometry`: the export's CharCount    */
  uint32_t distance_range;               /* distance fields: 2 x spread in pixels; 0 for coverage masks   */
  const char* face_name;                 /* zero-terminated UTF-8 family name as set by the user          */
  const uint8_t* placed;                 /* placed[i] nonzero when Chars[i] found room in the texture     */
  const GlyphmillCharGeometry* geometry; /* geometry[i] belongs to Chars[i]                   */
  uint32_t kerning_count;                /* entries at `kernings`                                          */
  uint32_t reserved1;                    /* 0                                                              */
  const GlyphmillKerningPair* kernings;  /* sorted by first, then second; NULL when none      */
} GlyphmillFontInfoV2;

/* ---- texture pages, version 1 ------------------------------------------------------------- */
#define GLYPHMILL_EXT_PAGES_V1 "glyphmill.pages/1"

/* One texture page. The buffers have the layout of the fixed records' buffers (plugin.h): `rgb`
 * width * height * 3 bytes, blue, green, red per pixel, top row first, no gap between rows;
 * `alpha` width * height bytes in the same order. A buffer is NULL when the export call passes
 * no buffer of that kind (a data export passes neither; a graphic export what its type and job
 * say), for every page alike. */
typedef struct GlyphmillPage {
  uint32_t width;       /* pixels                                                                  */
  uint32_t height;      /* pixels; the last page of a fitted size may be lower than the others      */
  const uint8_t* rgb;   /* colour buffer, or NULL                                                   */
  const uint8_t* alpha; /* alpha buffer, or NULL                                                    */
} GlyphmillPage;

/* Every page of the font being exported. A generation may fill several texture pages of the same
 * size when its characters do not fit one. Page 0 is the texture of the export record itself
 * (pages[0].rgb and .alpha are the record's RGB and Alpha), and the record's own character table
 * holds only the characters on page 0 (and any that found room on no page): a plug-in that never
 * asks for this service exports page 0 alone, as from a texture that holds no more.
 *
 * A plug-in that asks gets here the whole table: `chars` lists every character of the export in
 * table order (ascending code unit), with X and Y inside its own page, and `char_pages` says
 * which page each lies on; `placed` and `geometry` have the meanings of the font information
 * records (version 2), for this table. Kerning pairs of the font information records cover
 * characters on every page.
 *
 * Fields are naturally aligned (not packed); later versions only append, so a plug-in may read
 * any field that lies below `struct_size`. Example, in C:
 *
 *   const GlyphmillPagesV1* pages = query ? (const GlyphmillPagesV1*)query(GLYPHMILL_EXT_PAGES_V1) : NULL;
 *   uint32_t count = pages ? pages->page_count : 1;
 */
typedef struct GlyphmillPagesV1 {
  uint32_t struct_size;                  /* sizeof(GlyphmillPagesV1) for this version               */
  uint32_t page_count;                   /* 1 or more                                                 */
  const GlyphmillPage* pages;            /* page_count entries                                        */
  uint32_t char_count;                   /* entries at chars, char_pages, placed and geometry        */
  uint32_t reserved0;                    /* 0                                                         */
  const TExportCharInfo* chars;          /* every character, table order; NULL when char_count is 0  */
  const uint32_t* char_pages;            /* char_pages[i]: the page chars[i] lies on                 */
  const uint8_t* placed;                 /* placed[i] nonzero when chars[i] found room on its page   */
  const GlyphmillCharGeometry* geometry; /* geometry[i] belongs to chars[i]                          */
} GlyphmillPagesV1;

/* ---- reporting a failure, version 1 ------------------------------------------------------- */
#define GLYPHMILL_EXT_REPORT_FAILURE_V1 "glyphmill.report-failure/1"

/* The longest message the host keeps, in bytes (UTF-8, without the terminating zero). */
#define GLYPHMILL_REPORT_FAILURE_MAX_BYTES 4096

/* Tells the host that the export call running now has failed, and why. The plug-in then returns
 * from its entry point as usual (the fixed entry points have no result); the host reports the
 * call to the person as a failure of the plug-in with `message`, exactly as it reports a C++
 * exception thrown out of the entry point, and never as a success. This is how a plug-in written
 * in C (or any plug-in that does not want exceptions to cross its C entry points) fails with a
 * message.
 *
 * `message`: zero-terminated UTF-8, one or more lines (a line feed between lines), saying what
 * went wrong in the person's terms, e.g. "Cannot write /tmp/out.fnt: No space left on device".
 * The host copies it before returning, so a temporary buffer is fine. It keeps at most
 * GLYPHMILL_REPORT_FAILURE_MAX_BYTES bytes, cut before a character that would not fit whole;
 * bytes that are not UTF-8 are each replaced by U+FFFD; control characters are kept in the
 * message and shown escaped where a terminal prints it. NULL or "" still fails the call; the
 * person then sees a fixed text saying the plug-in gave no reason.
 *
 * Called more than once during one export call: the call has failed, and the first message is
 * the one kept (the first failure is the cause; what follows is usually its consequence). When
 * the entry point throws a C++ exception after reporting, the reported message is still the one
 * shown.
 * When the plug-in crashes, ends its process or runs out of time after reporting, that is what
 * the person is told.
 *
 * Outside an export call (in GetPluginInfo, in a load-time constructor, after the entry point
 * has returned, by a pointer kept from an earlier call) the function does nothing. It may be
 * called from any thread of the plug-in while the entry point runs.
 *
 * Files: the host never deletes or renames files a plug-in wrote. A plug-in that reports a
 * failure should leave no partial output behind (write to a temporary file and rename it into
 * place only when complete); whatever it did write is not announced as exported. */
typedef void(GLYPHMILL_CALL* GlyphmillReportFailureProc)(const char* message);

/* The record glyphmill_host_query(GLYPHMILL_EXT_REPORT_FAILURE_V1) returns during an export call
 * (NULL from a host without the service: such a host can only learn of a failure from a crash or
 * a C++ exception). Later versions only append fields, so a plug-in may read any field that lies
 * below `struct_size`. Example, in C:
 *
 *   GlyphmillHostQueryProc query = (GlyphmillHostQueryProc)dlsym(RTLD_DEFAULT, GLYPHMILL_HOST_QUERY_SYMBOL);
 *   const GlyphmillReportFailureV1* failure =
 *       query ? (const GlyphmillReportFailureV1*)query(GLYPHMILL_EXT_REPORT_FAILURE_V1) : NULL;
 *   FILE* out = fopen(info->FileName, "wb");
 *   if (out == NULL) {
 *     if (failure) failure->report_failure("Cannot create the output file.");
 *     return;
 *   }
 */
typedef struct GlyphmillReportFailureV1 {
  uint32_t struct_size;                      /* sizeof(GlyphmillReportFailureV1) for this version        */
  uint32_t max_message_bytes;                /* GLYPHMILL_REPORT_FAILURE_MAX_BYTES                        */
  GlyphmillReportFailureProc report_failure; /* never NULL                                                */
} GlyphmillReportFailureV1;

#endif /* GLYPHMILL_HOST_H */
