/* A small export plug-in for the dialog tests, built several times with a different name, type
 * and extension (TEST_PLUGIN_NAME, TEST_PLUGIN_TYPE, TEST_PLUGIN_EXTENSION, the last one empty for
 * none). Its export entry writes the texture size it was given to the output file, if any. */
#include <stdio.h>
#include <string.h>

#include "glyphmill/plugin.h"

static void PutShortString(uint8_t* field, size_t capacity, const char* text) {
  size_t n = strlen(text);
  if (n > capacity) n = capacity;
  field[0] = (uint8_t)n;
  memcpy(field + 1, text, n);
}

GLYPHMILL_PLUGIN_EXPORT void GLYPHMILL_CALL GetPluginInfo(TPluginInfo* info) {
  PutShortString(info->Name, sizeof info->Name - 1, TEST_PLUGIN_NAME);
  info->PluginType = TEST_PLUGIN_TYPE;
  info->AskFileName = 1;
  info->HasExtension = TEST_PLUGIN_EXTENSION[0] != '\0';
  PutShortString(info->Extension, sizeof info->Extension - 1, TEST_PLUGIN_EXTENSION);
}

static void WriteSize(const char* fileName, unsigned width, unsigned height) {
  if (!fileName || !fileName[0]) return;
  FILE* f = fopen(fileName, "w");
  if (!f) return;
  fprintf(f, "%u x %u\n", width, height);
  fclose(f);
}

#if TEST_PLUGIN_TYPE == 1
GLYPHMILL_PLUGIN_EXPORT void GLYPHMILL_CALL SimpleExport(const TSimpleExportInfo* info) {
  WriteSize(info->FileName, info->Width, info->Height);
}
#elif TEST_PLUGIN_TYPE == 2
GLYPHMILL_PLUGIN_EXPORT void GLYPHMILL_CALL DataExport(const TDataExportInfo* info) {
  WriteSize(info->FileName, info->Width, info->Height);
}
#else
GLYPHMILL_PLUGIN_EXPORT void GLYPHMILL_CALL GraphicExport(const TGraphicExportInfo* info) {
  WriteSize(info->FileName, info->Width, info->Height);
}
#endif
