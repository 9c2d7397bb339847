#include "export/export_prompt.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/scripted_dialogs.h"

namespace glyphmill {
namespace {

TExportPlugin MakePlugin(const char* name, bool ask, const char* ext) {
  TExportPlugin p;
  p.Name = name;
  p.Info.AskFileName = ask;
  if (ext != nullptr) {
    p.Info.HasExtension = 1;
    p.Info.Extension[0] = static_cast<uint8_t>(std::strlen(ext));
    std::memcpy(p.Info.Extension + 1, ext, std::strlen(ext));
  }
  p.Usable = true;
  return p;
}

TEST(ForceExtension, ReplacesOrAppendsTheWholeExtensionField) {
  EXPECT_EQ(ForceExtension("font", "fnt"), "font.fnt");
  EXPECT_EQ(ForceExtension("font.txt", "fnt"), "font.fnt");
  EXPECT_EQ(ForceExtension("dir.v2/font", "fnt"), "dir.v2/font.fnt");  // a folder's dot is not the file's
  EXPECT_EQ(ForceExtension("/a/b/font.tar.gz", "fnt"), "/a/b/font.tar.fnt");
  EXPECT_EQ(ForceExtension("font.", "png"), "font.png");
  EXPECT_EQ(ForceExtension("font.x", "abcd"), "font.abcd");
  EXPECT_EQ(ForceExtension("metrics", "json"), "metrics.json");
  EXPECT_EQ(ForceExtension("metrics.jso", "jsonx"), "metrics.json");  // never more than the field holds
  EXPECT_EQ(ForceExtension("font", "a/b"), "font.ab");                // cannot send the file to another folder
}

TEST(ExportFileRequest, TitleAndFilter) {
  TExportPlugin withExt = MakePlugin("Bitmap Font", true, "fnt");
  SaveFileRequest r = ExportFileRequest(withExt, "");
  EXPECT_EQ(r.title, "Export to: Bitmap Font");
  EXPECT_EQ(r.filter, "Bitmap Font (*.fnt)|*.fnt");
  EXPECT_EQ(r.filterCaption, "Bitmap Font (*.fnt)");
  EXPECT_EQ(r.filterPattern, "*.fnt");
  EXPECT_EQ(r.initialFolder, ".");
  EXPECT_TRUE(r.initialName.empty());
  EXPECT_TRUE(r.defaultExtension.empty());
  EXPECT_TRUE(r.confirmOverwrite);

  TExportPlugin plain = MakePlugin("Raw", true, nullptr);
  SaveFileRequest a = ExportFileRequest(plain, "Alpha");
  EXPECT_EQ(a.title, "Export to: Raw (Alpha)");
  EXPECT_EQ(a.filter, "All Files|*.*");
}

TEST(PromptExportFile, AsksOnlyWhenThePluginWantsAFile) {
  ScriptedDialogs dialogs;
  TExportPlugin quiet = MakePlugin("Quiet", false, "fnt");
  EXPECT_EQ(PromptExportFile(quiet, "", dialogs), "");
  EXPECT_TRUE(dialogs.log().empty());

  TExportPlugin asks = MakePlugin("Bitmap Font", true, "fnt");
  dialogs.queueSavePath("out/font.txt");
  dialogs.queueSavePath("font");
  EXPECT_EQ(PromptExportFile(asks, "", dialogs), "out/font.fnt");
  EXPECT_EQ(PromptExportFile(asks, "", dialogs), "font.fnt");
  // Out of scripted paths: the person cancels, and the marker comes back unchanged.
  EXPECT_EQ(PromptExportFile(asks, "", dialogs), kCancelMarker);
  EXPECT_EQ(dialogs.entries(ScriptedDialogs::Kind::SaveFile).size(), 3u);

  TExportPlugin noExt = MakePlugin("Any", true, nullptr);
  dialogs.queueSavePath("picture.data");
  EXPECT_EQ(PromptExportFile(noExt, "RGB", dialogs), "picture.data");
  EXPECT_EQ(dialogs.log().back().request.title, "Export to: Any (RGB)");
}

}  // namespace
}  // namespace glyphmill
