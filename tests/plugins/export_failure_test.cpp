// What the exporters do with records they cannot serve: no file name, missing buffers or table,
// an empty texture, a folder that cannot take the file. Nothing is written, nothing is lost, and
// a failure reaches the host with the reason: through the host's failure report service when it
// offers one (the entry point then returns normally), as an exception when it does not.
#include <gtest/gtest.h>

#include <unistd.h>

#include <stdexcept>

#include "tests/plugins/plugin_test_support.h"
#include "tests/plugins/test_font_info_host.h"

namespace glyphmill::plugintest {
namespace {

const char* const kSimple[] = {"bmfont_text.so", "bmfont_xml.so", "bmfont_binary.so"};
const char* const kGraphic[] = {"png_image.so", "tga_image.so"};

// Runs `body` with the current folder switched to a fresh one, so that a plug-in writing to a
// relative or empty name would leave its file where the test sees it.
template <typename Body>
std::vector<std::string> EntriesAfterRunningIn(const ScratchFolder& dir, Body body) {
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  body();
  std::filesystem::current_path(previous);
  return dir.entries();
}

TEST(ExportWithoutFileName, WritesNothingAnywhere) {
  const TestTexture t = MakeTexture(64, 32);
  const auto chars = MakeCharTable(10, 64, 8, 8);
  ScratchFolder dir;
  const auto entries = EntriesAfterRunningIn(dir, [&] {
    for (const char* lib : kSimple) {
      TSimpleExportInfo r{};
      r.FileName = "";
      r.Width = t.width;
      r.Height = t.height;
      r.RGB = t.bgr.data();
      r.Alpha = t.alpha.data();
      r.CharCount = static_cast<uint32_t>(chars.size());
      r.Chars = chars.data();
      EXPECT_NO_THROW(LoadedPlugin(lib).simpleExport(r)) << lib;
    }
    for (const char* lib : kGraphic) {
      TGraphicExportInfo r{};
      r.FileName = "";
      r.Width = t.width;
      r.Height = t.height;
      r.RGB = t.bgr.data();
      r.Alpha = t.alpha.data();
      EXPECT_NO_THROW(LoadedPlugin(lib).graphicExport(r)) << lib;
    }
    TDataExportInfo d{};
    d.FileName = "";
    d.CharCount = static_cast<uint32_t>(chars.size());
    d.Chars = chars.data();
    EXPECT_NO_THROW(LoadedPlugin("json_metrics.so").dataExport(d));
  });
  EXPECT_TRUE(entries.empty());
}

// Offers the failure report service for the life of the object, with no reports so far.
class FailureServiceOffered {
 public:
  FailureServiceOffered() {
    ClearReportedFailures();
    OfferFailureReport(true);
  }
  ~FailureServiceOffered() {
    OfferFailureReport(false);
    ClearReportedFailures();
  }
  FailureServiceOffered(const FailureServiceOffered&) = delete;
  FailureServiceOffered& operator=(const FailureServiceOffered&) = delete;
};

// Expects `call` to fail with a message containing `needle` and to leave `dir` as it was: in a
// host without the failure service by throwing, in a host with it by reporting exactly once and
// returning normally.
template <typename Call>
void ExpectRefused(const ScratchFolder& dir, const std::string& needle, Call call) {
  const auto before = dir.entries();
  try {
    call();
    ADD_FAILURE() << "expected a failure mentioning \"" << needle << "\"";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find(needle), std::string::npos) << e.what();
  }
  EXPECT_EQ(dir.entries(), before);

  const FailureServiceOffered offered;
  EXPECT_NO_THROW(call());
  const std::vector<std::string> reported = ReportedFailures();
  ASSERT_EQ(reported.size(), 1u) << "expected one reported failure mentioning \"" << needle << "\"";
  EXPECT_NE(reported[0].find(needle), std::string::npos) << reported[0];
  EXPECT_EQ(dir.entries(), before);
}

TEST(ExportRefusal, GraphicExportWithNeitherBuffer) {
  ScratchFolder dir;
  const std::string path = dir.file("out.img");
  for (const char* lib : kGraphic) {
    TGraphicExportInfo r{};
    r.FileName = path.c_str();
    r.Width = 16;
    r.Height = 16;
    ExpectRefused(dir, "Neither the colour nor the alpha buffer", [&] { LoadedPlugin(lib).graphicExport(r); });
  }
}

TEST(ExportRefusal, EmptyTexture) {
  ScratchFolder dir;
  const std::string path = dir.file("out.img");
  const uint8_t pixel[3] = {1, 2, 3};
  for (const char* lib : kGraphic) {
    TGraphicExportInfo r{};
    r.FileName = path.c_str();
    r.Width = 0;
    r.Height = 16;
    r.RGB = pixel;
    ExpectRefused(dir, "0 x 16", [&] { LoadedPlugin(lib).graphicExport(r); });
  }
}

TEST(ExportRefusal, SimpleExportWithAMissingBufferOrTable) {
  const TestTexture t = MakeTexture(32, 32);
  ScratchFolder dir;
  const std::string path = dir.file("font.fnt");
  for (const char* lib : kSimple) {
    SCOPED_TRACE(lib);
    TSimpleExportInfo r{};
    r.FileName = path.c_str();
    r.Width = t.width;
    r.Height = t.height;
    r.RGB = t.bgr.data();
    r.Alpha = nullptr;
    ExpectRefused(dir, "alpha buffer", [&] { LoadedPlugin(lib).simpleExport(r); });
    r.Alpha = t.alpha.data();
    r.CharCount = 4;
    r.Chars = nullptr;
    ExpectRefused(dir, "character table", [&] { LoadedPlugin(lib).simpleExport(r); });
  }
  TDataExportInfo d{};
  d.FileName = path.c_str();
  d.CharCount = 2;
  ExpectRefused(dir, "character table", [&] { LoadedPlugin("json_metrics.so").dataExport(d); });
}

TEST(ExportRefusal, AFolderThatDoesNotExist) {
  const TestTexture t = MakeTexture(16, 16);
  ScratchFolder dir;
  const std::string path = dir.file("missing/font.fnt");
  for (const char* lib : kSimple) {
    TSimpleExportInfo r{};
    r.FileName = path.c_str();
    r.Width = t.width;
    r.Height = t.height;
    r.RGB = t.bgr.data();
    r.Alpha = t.alpha.data();
    ExpectRefused(dir, "missing/font_0.png", [&] { LoadedPlugin(lib).simpleExport(r); });
  }
}

TEST(ExportRefusal, AFailedExportKeepsTheFilesItWouldHaveReplaced) {
  const TestTexture t = MakeTexture(16, 16);
  ScratchFolder dir;
  const std::string descriptor = dir.file("font.fnt");
  const std::string page = dir.file("font_0.png");
  {
    std::FILE* f = std::fopen(descriptor.c_str(), "wb");
    std::fputs("earlier descriptor", f);
    std::fclose(f);
    f = std::fopen(page.c_str(), "wb");
    std::fputs("earlier page", f);
    std::fclose(f);
  }
  auto chars = MakeCharTable(3, 16, 4, 4);
  chars[1].Width = 70000;  // too wide for the binary form's 16-bit field
  TSimpleExportInfo r{};
  r.FileName = descriptor.c_str();
  r.Width = t.width;
  r.Height = t.height;
  r.RGB = t.bgr.data();
  r.Alpha = t.alpha.data();
  r.CharCount = static_cast<uint32_t>(chars.size());
  r.Chars = chars.data();
  ExpectRefused(dir, "70000", [&] { LoadedPlugin("bmfont_binary.so").simpleExport(r); });
  EXPECT_EQ(ReadText(descriptor), "earlier descriptor");
  EXPECT_EQ(ReadText(page), "earlier page");
}

TEST(ExportRefusal, ANullRecordIsIgnored) {
  const FailureServiceOffered offered;
  LoadedPlugin text("bmfont_text.so");
  EXPECT_NO_THROW(reinterpret_cast<SimpleExportProc>(text.symbol("SimpleExport"))(nullptr));
  LoadedPlugin png("png_image.so");
  EXPECT_NO_THROW(reinterpret_cast<GraphicExportProc>(png.symbol("GraphicExport"))(nullptr));
  LoadedPlugin json("json_metrics.so");
  EXPECT_NO_THROW(reinterpret_cast<DataExportProc>(json.symbol("DataExport"))(nullptr));
  LoadedPlugin info("tga_image.so");
  EXPECT_NO_THROW(reinterpret_cast<GetPluginInfoProc>(info.symbol("GetPluginInfo"))(nullptr));
  EXPECT_TRUE(ReportedFailures().empty());
}

TEST(ExportWithoutFileName, ReportsNoFailure) {
  const FailureServiceOffered offered;
  TGraphicExportInfo r{};
  r.FileName = "";
  for (const char* lib : kGraphic) EXPECT_NO_THROW(LoadedPlugin(lib).graphicExport(r)) << lib;
  EXPECT_TRUE(ReportedFailures().empty());
}

TEST(ExportSuccess, ReportsNoFailure) {
  const FailureServiceOffered offered;
  const TestTexture t = MakeTexture(16, 16);
  ScratchFolder dir;
  const std::string path = dir.file("out.png");
  TGraphicExportInfo r{};
  r.FileName = path.c_str();
  r.Width = t.width;
  r.Height = t.height;
  r.RGB = t.bgr.data();
  LoadedPlugin("png_image.so").graphicExport(r);
  EXPECT_TRUE(ReportedFailures().empty());
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"out.png"});
}

}  // namespace
}  // namespace glyphmill::plugintest
