// A configurable export plug-in for the registry and export-run tests. Each build of this file is
// one plug-in; compile definitions choose its name, type, entry point and behaviour:
//
//   TP_ID            file stem, also the default report name (<TP_ID>.report in the current folder)
//   TP_NAME          Name it reports            TP_TYPE     PluginType
//   TP_ASK           AskFileName                TP_EXT      Extension (HasExtension set when given)
//   TP_EXT_LENGTH    override of the Extension length byte
//   TP_ENTRY_SIMPLE / TP_ENTRY_GRAPHIC / TP_ENTRY_DATA    which export entry it has
//   TP_NO_INFO       no GetPluginInfo           TP_INFO_NOTHING   GetPluginInfo writes nothing
//   TP_INFO_FAIL     GetPluginInfo fails:  1 crash, 2 throw, 3 hang, 4 exit(3)
//   TP_EXPORT_FAIL   the export entry fails:  1 crash, 2 throw, 3 hang, 4 exit(3), 5 abort
//   TP_CTOR_FAIL     the library's load-time constructor fails: 1 crash, 6 exit(7), 7 sleeps 5 s
//   TP_GRANDCHILD    the export starts a process that keeps every descriptor but the standard
//                    ones open for 20 s; its id is reported as "grandchild"
//   TP_PRINT         GetPluginInfo and the export print to stdout without a line end or a flush
//   TP_RECORD_LOAD   the constructor writes its process id and executable to <TP_ID>.load
//   TP_NAME_CONTROL  the Name holds terminal control characters (an escape sequence and a bell)
//   TP_PAGES         the export also asks for the host's pages service and reports what it gives
//
// A successful export writes a report of everything it received (record fields, buffer checksums,
// the character table and the host's font information) to FileName, or to the default report
// when FileName is empty. Every report also holds the process id, how often GetPluginInfo ran in
// this process and how many exports this process made ("pid", "info_calls", "export_calls").
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>
#include <unistd.h>
#include <stdexcept>

#include "glyphmill/host.h"
#include "glyphmill/plugin.h"

namespace {

#ifndef TP_ASK
#define TP_ASK 0
#endif

[[maybe_unused]] void Fail(int how) {
  switch (how) {
    case 1: {
      volatile int* volatile p = nullptr;  // a store the compiler can neither drop nor prove null
      *p = 42;                             // segmentation fault
      break;
    }
    case 2: throw std::runtime_error("disk on fire");
    case 3:
      for (;;) pause();
    case 4: exit(3);
    case 5: abort();
    case 6: exit(7);
    case 7: sleep(5); break;
  }
}

// What GetPluginInfo leaves behind for the exports of the same process.
int g_infoCalls = 0;
int g_exportCalls = 0;

#ifdef TP_CTOR_FAIL
__attribute__((constructor)) void OnLoad() { Fail(TP_CTOR_FAIL); }
#endif

#ifdef TP_RECORD_LOAD
__attribute__((constructor)) void RecordLoad() {
  char exe[4096];
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  exe[n > 0 ? n : 0] = '\0';
  if (FILE* f = fopen(TP_ID ".load", "a")) {
    fprintf(f, "pid=%d\nexe=%s\n", static_cast<int>(getpid()), exe);
    fclose(f);
  }
}
#endif

// Every report starts with what the process remembers.
[[maybe_unused]] void ReportProcess(FILE* f) {
  ++g_exportCalls;
  fprintf(f, "pid=%d\ninfo_calls=%d\nexport_calls=%d\n", static_cast<int>(getpid()), g_infoCalls, g_exportCalls);
#ifdef TP_GRANDCHILD
  const pid_t child = fork();
  if (child == 0) {
    // Keeps the inherited descriptors (the host's channel among them), but not the test's output.
    const int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 1);
    dup2(null, 2);
    sleep(20);
    _exit(0);
  }
  fprintf(f, "grandchild=%d\n", static_cast<int>(child));
#endif
#ifdef TP_PRINT
  printf("export says hello");
#endif
}

[[maybe_unused]] void SetShort(uint8_t* field, const char* text, unsigned capacity) {
  unsigned n = static_cast<unsigned>(strlen(text));
  if (n > capacity) n = capacity;
  field[0] = static_cast<uint8_t>(n);
  memcpy(field + 1, text, n);
}

[[maybe_unused]] uint32_t Checksum(const uint8_t* p, size_t n) {
  uint32_t sum = 0;
  for (size_t i = 0; i < n; ++i) sum = sum * 31u + p[i];
  return sum;
}

[[maybe_unused]] FILE* OpenReport(const char* fileName) {
  if (fileName[0] != '\0') return fopen(fileName, "w");
  return fopen(TP_ID ".report", "w");
}

[[maybe_unused]] void ReportHost(FILE* f) {
  GlyphmillHostQueryProc query =
      reinterpret_cast<GlyphmillHostQueryProc>(dlsym(RTLD_DEFAULT, GLYPHMILL_HOST_QUERY_SYMBOL));
  const GlyphmillFontInfoV1* info =
      query ? static_cast<const GlyphmillFontInfoV1*>(query(GLYPHMILL_EXT_FONT_INFO_V1)) : nullptr;
  if (query && query("glyphmill.unknown/1") != nullptr) fprintf(f, "host.unknown=answered\n");
  if (info == nullptr) {
    fprintf(f, "host=%s\n", query ? "null" : "absent");
    return;
  }
  fprintf(f, "host=present\n");
  fprintf(f, "host.struct_size=%u\nhost.point_size=%d\nhost.pixel_size=%d\nhost.line_height=%d\nhost.base=%d\n",
          info->struct_size, info->point_size, info->pixel_size, info->line_height, info->base);
  fprintf(f, "host.ascent=%d\nhost.descent=%d\nhost.outline_width=%d\nhost.bold=%u\nhost.italic=%u\nhost.aa=%u\n",
          info->ascent, info->descent, info->outline_width, info->bold, info->italic, info->antialias_mode);
  fprintf(f, "host.face=%s\nhost.char_count=%u\nhost.placed=", info->face_name, info->char_count);
  for (uint32_t i = 0; i < info->char_count; ++i) fputc(info->placed[i] ? '1' : '0', f);
  fprintf(f, "\nhost.kerning_count=%u\n", info->kerning_count);
  for (uint32_t i = 0; i < info->kerning_count; ++i)
    fprintf(f, "host.kern=%u %u %d\n", info->kernings[i].first, info->kernings[i].second, info->kernings[i].amount);
}

[[maybe_unused]] void ReportChars(FILE* f, uint32_t count, const TExportCharInfo* chars) {
  fprintf(f, "char_count=%u\nchars=%s\n", count, chars ? "present" : "null");
  for (uint32_t i = 0; chars && i < count; ++i)
    fprintf(f, "char=%u %u %u %d %d %d %d\n", chars[i].Code, chars[i].Width, chars[i].Height, chars[i].X, chars[i].Y,
            chars[i].PreAdvance, chars[i].PostAdvance);
}

[[maybe_unused]] void ReportBuffers(FILE* f, unsigned w, unsigned h, const uint8_t* rgb, const uint8_t* alpha) {
  fprintf(f, "width=%u\nheight=%u\n", w, h);
  if (rgb)
    fprintf(f, "rgb=%u\nrgb_first=%u %u %u\n", Checksum(rgb, size_t(w) * h * 3), rgb[0], rgb[1], rgb[2]);
  else
    fprintf(f, "rgb=null\n");
  if (alpha)
    fprintf(f, "alpha=%u\nalpha_first=%u\n", Checksum(alpha, size_t(w) * h), alpha[0]);
  else
    fprintf(f, "alpha=null\n");
}

[[maybe_unused]] void ReportPages(FILE* f) {
#ifdef TP_PAGES
  GlyphmillHostQueryProc query =
      reinterpret_cast<GlyphmillHostQueryProc>(dlsym(RTLD_DEFAULT, GLYPHMILL_HOST_QUERY_SYMBOL));
  const GlyphmillPagesV1* pages = query ? static_cast<const GlyphmillPagesV1*>(query(GLYPHMILL_EXT_PAGES_V1)) : nullptr;
  if (pages == nullptr) {
    fprintf(f, "pages=null\n");
    return;
  }
  fprintf(f, "pages.struct_size=%u\npages.count=%u\npages.char_count=%u\n", pages->struct_size, pages->page_count,
          pages->char_count);
  for (uint32_t k = 0; k < pages->page_count; ++k) {
    const GlyphmillPage& p = pages->pages[k];
    const size_t pixels = size_t(p.width) * p.height;
    fprintf(f, "pages.page=%u %u %u ", k, p.width, p.height);
    if (p.rgb)
      fprintf(f, "%u ", Checksum(p.rgb, pixels * 3));
    else
      fprintf(f, "null ");
    if (p.alpha)
      fprintf(f, "%u\n", Checksum(p.alpha, pixels));
    else
      fprintf(f, "null\n");
  }
  for (uint32_t i = 0; i < pages->char_count; ++i)
    fprintf(f, "pages.char=%u %u %d %d %u %d %d\n", pages->chars[i].Code, pages->char_pages[i], pages->chars[i].X,
            pages->chars[i].Y, pages->placed[i], pages->geometry[i].draw_offset_x, pages->geometry[i].draw_offset_y);
#else
  (void)f;
#endif
}

}  // namespace

#ifndef TP_NO_INFO
GLYPHMILL_PLUGIN_EXPORT void GetPluginInfo(TPluginInfo* info) {
  ++g_infoCalls;
#ifdef TP_PRINT
  printf("info says hello");
#endif
#ifdef TP_INFO_FAIL
  Fail(TP_INFO_FAIL);
#endif
#ifndef TP_INFO_NOTHING
#ifdef TP_NAME_CONTROL
  SetShort(info->Name, "Red\x1b[31m Name\x07", 255);
#else
  SetShort(info->Name, TP_NAME, 255);
#endif
  info->PluginType = TP_TYPE;
  info->AskFileName = TP_ASK;
#ifdef TP_EXT
  info->HasExtension = 1;
  SetShort(info->Extension, TP_EXT, 4);
#endif
#ifdef TP_EXT_LENGTH
  info->Extension[0] = TP_EXT_LENGTH;
#endif
#else
  (void)info;
#endif
}
#endif

#ifdef TP_ENTRY_SIMPLE
GLYPHMILL_PLUGIN_EXPORT void SimpleExport(const TSimpleExportInfo* info) {
#ifdef TP_EXPORT_FAIL
  Fail(TP_EXPORT_FAIL);
#endif
  FILE* f = OpenReport(info->FileName);
  if (!f) return;
  ReportProcess(f);
  fprintf(f, "entry=simple\nfile=%s\nspace_advance=%d\n", info->FileName, info->SpaceAdvance);
  ReportBuffers(f, info->Width, info->Height, info->RGB, info->Alpha);
  ReportChars(f, info->CharCount, info->Chars);
  ReportHost(f);
  ReportPages(f);
  fclose(f);
}
#endif

#ifdef TP_ENTRY_GRAPHIC
GLYPHMILL_PLUGIN_EXPORT void GraphicExport(const TGraphicExportInfo* info) {
#ifdef TP_EXPORT_FAIL
  Fail(TP_EXPORT_FAIL);
#endif
  FILE* f = OpenReport(info->FileName);
  if (!f) return;
  ReportProcess(f);
  fprintf(f, "entry=graphic\nfile=%s\n", info->FileName);
  ReportBuffers(f, info->Width, info->Height, info->RGB, info->Alpha);
  ReportHost(f);
  ReportPages(f);
  fclose(f);
}
#endif

#ifdef TP_ENTRY_DATA
GLYPHMILL_PLUGIN_EXPORT void DataExport(const TDataExportInfo* info) {
#ifdef TP_EXPORT_FAIL
  Fail(TP_EXPORT_FAIL);
#endif
  FILE* f = OpenReport(info->FileName);
  if (!f) return;
  ReportProcess(f);
  fprintf(f, "entry=data\nfile=%s\nspace_advance=%d\nwidth=%u\nheight=%u\n", info->FileName, info->SpaceAdvance,
          info->Width, info->Height);
  ReportChars(f, info->CharCount, info->Chars);
  ReportHost(f);
  fclose(f);
}
#endif
