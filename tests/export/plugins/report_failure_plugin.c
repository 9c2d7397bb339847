/* An export plug-in written in C that fails by reporting through the host's failure service
 * (glyphmill.report-failure/1) and then returns normally. Each build of this file is one plug-in;
 * compile definitions choose its name, entry point and what it reports:
 *
 *   TP_ID        file stem                  TP_NAME   Name it reports
 *   TP_TYPE      PluginType                 TP_ENTRY_SIMPLE / TP_ENTRY_GRAPHIC   its export entry
 *   RF_REPORT    1  "the glyph table is on fire" once
 *                2  "first problem", then "second problem"
 *                3  NULL
 *                4  a message far longer than the host keeps, with bytes that are not UTF-8 and an
 *                   escape sequence near its start
 *                5  writes its file completely (FileName, or <TP_ID>.out when it is ""), then
 *                   reports "written, but the descriptor is wrong"
 *                6  nothing: writes its file like 5 and succeeds
 *
 * Every export first writes "<TP_ID>.service" with "present" or "absent": whether the host
 * offered the service.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "glyphmill/host.h"
#include "glyphmill/plugin.h"

static void SetShort(uint8_t* field, const char* text) {
  size_t n = strlen(text);
  if (n > 255) n = 255;
  field[0] = (uint8_t)n;
  memcpy(field + 1, text, n);
}

/* The host's failure service, or NULL. dlsym's result is copied into the function pointer, the
 * way POSIX allows. */
static const GlyphmillReportFailureV1* FailureService(void) {
  GlyphmillHostQueryProc query = NULL;
  void* symbol = dlsym(RTLD_DEFAULT, GLYPHMILL_HOST_QUERY_SYMBOL);
  const GlyphmillReportFailureV1* service = NULL;
  if (symbol != NULL) {
    memcpy(&query, &symbol, sizeof query);
    service = (const GlyphmillReportFailureV1*)query(GLYPHMILL_EXT_REPORT_FAILURE_V1);
  }
  FILE* f = fopen(TP_ID ".service", "w");
  if (f != NULL) {
    fputs(service != NULL && service->struct_size >= sizeof *service ? "present\n" : "absent\n", f);
    fclose(f);
  }
  return service;
}

static int WriteOutput(const char* fileName) {
  FILE* f = fopen(fileName[0] != '\0' ? fileName : TP_ID ".out", "w");
  if (f == NULL) return 0;
  fputs("complete output\n", f);
  return fclose(f) == 0;
}

static void Run(const char* fileName) {
  const GlyphmillReportFailureV1* service = FailureService();
  if (service == NULL) return;
  switch (RF_REPORT) {
    case 1: service->report_failure("the glyph table is on fire"); break;
    case 2:
      service->report_failure("first problem");
      service->report_failure("second problem");
      break;
    case 3: service->report_failure(NULL); break;
    case 4: {
      static const char start[] = "bad \xFF\xFE bytes \x1b[2J end";
      const size_t length = 100000;
      char* message = malloc(length + 1);
      if (message == NULL) return;
      memset(message, 'x', length);
      memcpy(message, start, sizeof start - 1);
      message[length] = '\0';
      service->report_failure(message);
      free(message);
      break;
    }
    case 5:
      if (WriteOutput(fileName)) service->report_failure("written, but the descriptor is wrong");
      break;
    default: WriteOutput(fileName); break;
  }
}

GLYPHMILL_PLUGIN_EXPORT void GetPluginInfo(TPluginInfo* info) {
  SetShort(info->Name, TP_NAME);
  info->PluginType = TP_TYPE;
}

#ifdef TP_ENTRY_SIMPLE
GLYPHMILL_PLUGIN_EXPORT void SimpleExport(const TSimpleExportInfo* info) { Run(info->FileName); }
#endif

#ifdef TP_ENTRY_GRAPHIC
GLYPHMILL_PLUGIN_EXPORT void GraphicExport(const TGraphicExportInfo* info) { Run(info->FileName); }
#endif
