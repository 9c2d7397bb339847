/* A third-party data exporter, built by the installation tests with nothing but the installed
 * header and `pkg-config --cflags glyphmill-plugin`: it writes the number of characters and the
 * texture size to its file. */
#include <glyphmill/plugin.h>
#include <stdio.h>
#include <string.h>

GLYPHMILL_PLUGIN_EXPORT void GLYPHMILL_CALL GetPluginInfo(TPluginInfo* info) {
  static const char name[] = "Tiny Count";
  info->Name[0] = (uint8_t)(sizeof name - 1);
  memcpy(info->Name + 1, name, sizeof name - 1);
  info->PluginType = ptData;
  info->AskFileName = 1;
  info->HasExtension = 1;
  info->Extension[0] = 3;
  memcpy(info->Extension + 1, "txt", 3);
}

GLYPHMILL_PLUGIN_EXPORT void GLYPHMILL_CALL DataExport(const TDataExportInfo* info) {
  FILE* out = fopen(info->FileName, "w");
  if (out == NULL) return;
  fprintf(out, "%u characters on %ux%u\n", (unsigned)info->CharCount, (unsigned)info->Width, (unsigned)info->Height);
  fclose(out);
}
