// The project file's extension block: classic files stay classic both ways, the font file entry
// round-trips with relative and absolute paths, unknown entries are kept, and damaged blocks are
// refused before anything changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "project/project_extensions.h"
#include "project/project_io.h"
#include "project/project_layout.h"
#include "project_test_util.h"
#include "tests/support/scripted_dialogs.h"

namespace glyphmill {
namespace {

namespace fs = std::filesystem;
using testing_util::SampleProject;
using testing_util::ScratchFolder;

const PluginNames kPlugins{"PNG image", "", "BMFont text"};

// The project read from `bytes`; a test failure when they were not read.
ProjectData ReadBack(const std::vector<uint8_t>& bytes) {
  Result<ProjectData, ProjectReadError> read = ParseProjectBytes(bytes.data(), bytes.size(), kPlugins);
  EXPECT_TRUE(read.has_value()) << read.error().text;
  return read ? *std::move(read) : ProjectData{};
}

std::vector<uint8_t> Le16(uint16_t v) { return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)}; }
std::vector<uint8_t> Le32(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}
void Add(std::vector<uint8_t>& out, const std::vector<uint8_t>& more) {
  for (uint8_t b : more) out.push_back(b);
}

std::vector<uint8_t> Entry(uint16_t type, const std::vector<uint8_t>& payload) {
  std::vector<uint8_t> e = Le16(type);
  Add(e, Le32(static_cast<uint32_t>(payload.size())));
  Add(e, payload);
  return e;
}

std::vector<uint8_t> Block(const std::vector<uint8_t>& entries, std::optional<uint32_t> length = std::nullopt) {
  std::vector<uint8_t> b;
  for (char c : {'G', 'M', 'X', '1'}) b.push_back(static_cast<uint8_t>(c));
  Add(b, Le32(length.value_or(static_cast<uint32_t>(entries.size()))));
  Add(b, entries);
  return b;
}

std::vector<uint8_t> FontFilePayload(uint32_t face, const std::string& path) {
  std::vector<uint8_t> p = Le32(face);
  for (char c : path) p.push_back(static_cast<uint8_t>(c));
  return p;
}

std::vector<uint8_t> Classic(const ProjectData& p) { return ProjectToBytes(p.settings, p.selection, p.jobs); }

// ---- classic files --------------------------------------------------------------------------

TEST(ExtensionBlock, AClassicProjectIsWrittenExactlyAsBefore) {
  ProjectData p = SampleProject();
  for (std::size_t jobs : {0u, 2u, 5u}) {
    p.jobs.resize(jobs);
    const std::vector<uint8_t> bytes = ProjectToBytes(p.settings, p.selection, p.jobs, ProjectExtensions{});
    EXPECT_EQ(bytes.size(), 65672u + 263u * jobs);
    EXPECT_EQ(bytes, Classic(p));
  }
}

TEST(ExtensionBlock, ClassicFilesLoadWithEveryAdditionAtItsDefault) {
  const ProjectData p = SampleProject();
  const std::vector<uint8_t> bytes = Classic(p);
  const ProjectData read = ReadBack(bytes);
  EXPECT_EQ(read.extensions, ProjectExtensions{});
  EXPECT_EQ(read.settings, p.settings);
}

TEST(ExtensionBlock, TrailingBytesWithoutTheTagAreIgnoredAsBefore) {
  std::vector<uint8_t> bytes = Classic(SampleProject());
  for (const std::vector<uint8_t>& tail :
       {std::vector<uint8_t>{'G', 'M'}, std::vector<uint8_t>{'x', 'y', 'z', 'w', 1, 2, 3, 4, 5}}) {
    std::vector<uint8_t> file = bytes;
    Add(file, tail);
    const ProjectData read = ReadBack(file);
    EXPECT_EQ(read.extensions, ProjectExtensions{});
  }
}

// ---- entries --------------------------------------------------------------------------------

TEST(ExtensionBlock, TheFontFileEntryIsWrittenAsDocumentedAndReadBack) {
  ProjectData p = SampleProject();
  p.extensions.fontFile = ProjectFontFile{2, "fonts/Ünïcode Sans.ttf"};
  const std::vector<uint8_t> bytes = ProjectToBytes(p.settings, p.selection, p.jobs, p.extensions);
  std::vector<uint8_t> expected = Classic(p);
  Add(expected, Block(Entry(1, FontFilePayload(2, "fonts/Ünïcode Sans.ttf"))));
  EXPECT_EQ(bytes, expected);
  const ProjectData read = ReadBack(bytes);
  EXPECT_EQ(read.extensions, p.extensions);
}

TEST(ExtensionBlock, CellModeFittedSizeAndSpreadAreWrittenAsDocumentedAndReadBack) {
  ProjectData p = SampleProject();
  p.extensions.extras.cellMode = kCellsCompact;
  p.extensions.extras.fitTexture = true;
  p.extensions.extras.fitMaxWidth = 2048;
  p.extensions.extras.fitMaxHeight = 1024;
  p.extensions.extras.sdfSpread = 12;
  const std::vector<uint8_t> bytes = ProjectToBytes(p.settings, p.selection, p.jobs, p.extensions);
  std::vector<uint8_t> entries = Entry(2, {1});
  Add(entries, Entry(3, {1, 0x00, 0x08, 0x00, 0x04}));
  Add(entries, Entry(4, {12, 0}));
  std::vector<uint8_t> expected = Classic(p);
  Add(expected, Block(entries));
  EXPECT_EQ(bytes, expected);
  const ProjectData read = ReadBack(bytes);
  EXPECT_EQ(read.extensions, p.extensions);

  // Each at its default is not written at all.
  p.extensions.extras = GenerationExtras{};
  EXPECT_EQ(ProjectToBytes(p.settings, p.selection, p.jobs, p.extensions), Classic(p));
}

TEST(ExtensionBlock, PagePixelsAreWrittenAsDocumentedAndReadBack) {
  ProjectData p = SampleProject();
  for (uint8_t mode : {kPagePixelsStraight, kPagePixelsPremultiplied}) {
    p.extensions.extras.pagePixels = mode;
    const std::vector<uint8_t> bytes = ProjectToBytes(p.settings, p.selection, p.jobs, p.extensions);
    std::vector<uint8_t> expected = Classic(p);
    Add(expected, Block(Entry(7, {mode})));
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(ReadBack(bytes).extensions.extras.pagePixels, mode);
    // A classic reader stops after the jobs: the classic part is the classic file exactly.
    EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + static_cast<std::ptrdiff_t>(Classic(p).size()),
                           Classic(p).begin()));
  }
  p.extensions.extras.pagePixels = kPagePixelsClassic;
  EXPECT_EQ(ProjectToBytes(p.settings, p.selection, p.jobs, p.extensions), Classic(p));
  // A mode this build does not know is a damaged entry, not a guess.
  for (const std::vector<uint8_t>& bad : {Entry(7, {3}), Entry(7, {}), Entry(7, {1, 0})}) {
    std::vector<uint8_t> file = Classic(p);
    Add(file, Block(bad));
    EXPECT_FALSE(ParseProjectBytes(file.data(), file.size(), kPlugins).has_value());
  }
}

TEST(ExtensionBlock, TheMostPagesAreWrittenAsDocumentedAndReadBack) {
  ProjectData p = SampleProject();
  p.jobs.resize(2);
  for (uint16_t pages : {uint16_t{2}, uint16_t{17}, kMaxMaxPages}) {
    p.extensions.extras.maxPages = pages;
    const std::vector<uint8_t> bytes = ProjectToBytes(p.settings, p.selection, p.jobs, p.extensions);
    std::vector<uint8_t> expected = Classic(p);
    Add(expected, Block(Entry(5, Le16(pages))));
    EXPECT_EQ(bytes, expected);
    const ProjectData read = ReadBack(bytes);
    EXPECT_EQ(read.extensions.extras.maxPages, pages);
    EXPECT_EQ(read.extensions, p.extensions);
    // A classic reader reads the classic part alone and finds the whole classic project there.
    const std::vector<uint8_t> classicPart(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(65672 + 263 * 2));
    EXPECT_EQ(classicPart, Classic(p));
    const ProjectData classicRead = ReadBack(classicPart);
    EXPECT_EQ(classicRead.settings, p.settings);
    EXPECT_EQ(classicRead.selection, p.selection);
    EXPECT_EQ(classicRead.jobs.size(), 2u);
    EXPECT_EQ(classicRead.extensions.extras.maxPages, kDefaultMaxPages);
  }
  // One page, the default, is not written at all.
  p.extensions.extras.maxPages = kDefaultMaxPages;
  EXPECT_EQ(ProjectToBytes(p.settings, p.selection, p.jobs, p.extensions), Classic(p));
  // Outside 1..64, or not a u16, the file is damaged and refused.
  for (const std::vector<uint8_t>& bad : {Entry(5, Le16(0)), Entry(5, Le16(65)), Entry(5, {2}), Entry(5, {2, 0, 0})}) {
    std::vector<uint8_t> file = Classic(p);
    Add(file, Block(bad));
    EXPECT_FALSE(ParseProjectBytes(file.data(), file.size(), kPlugins).has_value());
  }
}

std::vector<uint8_t> FallbackPayload(const std::vector<FallbackFont>& fonts) {
  std::vector<uint8_t> p = Le16(static_cast<uint16_t>(fonts.size()));
  for (const FallbackFont& f : fonts) {
    Add(p, Le32(f.faceIndex));
    Add(p, Le16(static_cast<uint16_t>(f.name.size())));
    for (char c : f.name) p.push_back(static_cast<uint8_t>(c));
    p.push_back(f.kind);
  }
  return p;
}

TEST(ExtensionBlock, FallbackFontsAreWrittenInOrderAsDocumentedAndReadBack) {
  ProjectData p = SampleProject();
  const std::vector<FallbackFont> fonts = {{kFallbackFamily, 0, "Noto Sans CJK SC"},
                                           {kFallbackFile, 2, "/fonts/Ünïcode Symbols.ttc"},
                                           {kFallbackFamily, 0, "Droid Sans Fallback"}};
  p.extensions.extras.fallbacks = fonts;
  const std::vector<uint8_t> bytes = ProjectToBytes(p.settings, p.selection, p.jobs, p.extensions);
  std::vector<uint8_t> expected = Classic(p);
  Add(expected, Block(Entry(6, FallbackPayload(fonts))));
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(ReadBack(bytes).extensions.extras.fallbacks, fonts);
  // No fallbacks: a classic file.
  p.extensions.extras.fallbacks.clear();
  EXPECT_EQ(ProjectToBytes(p.settings, p.selection, p.jobs, p.extensions), Classic(p));
  // A count beyond the entries, an entry running past the payload, an empty name, a name holding
  // a zero byte, an unknown kind and bytes left over are damaged entries.
  std::vector<uint8_t> overCount = FallbackPayload({fonts[0]});
  overCount[0] = 2;
  std::vector<uint8_t> cut = FallbackPayload({fonts[0]});
  cut.pop_back();
  std::vector<uint8_t> zero = FallbackPayload({{kFallbackFamily, 0, std::string("a\0b", 3)}});
  std::vector<uint8_t> kind = FallbackPayload({{7, 0, "Sans"}});
  std::vector<uint8_t> extra = FallbackPayload({fonts[0]});
  extra.push_back(0);
  for (const std::vector<uint8_t>& bad :
       {overCount, cut, FallbackPayload({{kFallbackFamily, 0, ""}}), zero, kind, extra, std::vector<uint8_t>{1}}) {
    std::vector<uint8_t> file = Classic(p);
    Add(file, Block(Entry(6, bad)));
    EXPECT_FALSE(ParseProjectBytes(file.data(), file.size(), kPlugins).has_value());
  }
}

TEST(ExtensionBlock, ExtraSettingsThatDoNotFitTheirTypeAreRefusedAndSpreadsLimited) {
  const std::vector<uint8_t> classic = Classic(SampleProject());
  for (const std::vector<uint8_t>& bad :
       {Entry(2, {2}), Entry(2, {}), Entry(3, {1, 0, 8}), Entry(3, {2, 0, 8, 0, 4}), Entry(4, {8})}) {
    std::vector<uint8_t> file = classic;
    Add(file, Block(bad));
    EXPECT_FALSE(ParseProjectBytes(file.data(), file.size(), kPlugins).has_value());
  }
  std::vector<uint8_t> file = classic;
  Add(file, Block(Entry(4, {200, 0})));
  const ProjectData read = ReadBack(file);
  EXPECT_EQ(read.extensions.extras.sdfSpread, kMaxSdfSpread);
}

TEST(ExtensionBlock, UnknownEntriesAreSkippedAndWrittenBackUnchanged) {
  const ProjectData p = SampleProject();
  std::vector<uint8_t> entries = Entry(900, {1, 2, 3});
  Add(entries, Entry(1, FontFilePayload(0, "/fonts/a.otf")));
  Add(entries, Entry(77, {}));  // a zero-length entry is a valid entry
  Add(entries, Entry(65535, std::vector<uint8_t>(300, 0xEE)));
  std::vector<uint8_t> file = Classic(p);
  Add(file, Block(entries));

  const ProjectData read = ReadBack(file);
  ASSERT_TRUE(read.extensions.fontFile);
  EXPECT_EQ(read.extensions.fontFile->path, "/fonts/a.otf");
  ASSERT_EQ(read.extensions.unknown.size(), 3u);
  EXPECT_EQ(read.extensions.unknown[0], (ExtensionEntry{900, {1, 2, 3}}));
  EXPECT_EQ(read.extensions.unknown[1], (ExtensionEntry{77, {}}));
  EXPECT_EQ(read.extensions.unknown[2].type, 65535);

  // Written back: the known entry first, then the unknown ones in the order read.
  std::vector<uint8_t> again = ProjectToBytes(read.settings, read.selection, read.jobs, read.extensions);
  std::vector<uint8_t> expected = Classic(p);
  std::vector<uint8_t> ordered = Entry(1, FontFilePayload(0, "/fonts/a.otf"));
  Add(ordered, Entry(900, {1, 2, 3}));
  Add(ordered, Entry(77, {}));
  Add(ordered, Entry(65535, std::vector<uint8_t>(300, 0xEE)));
  Add(expected, Block(ordered));
  EXPECT_EQ(again, expected);
}

TEST(ExtensionBlock, AnEmptyBlockLoadsAndIsNotWrittenAgain) {
  const ProjectData p = SampleProject();
  std::vector<uint8_t> file = Classic(p);
  Add(file, Block({}));
  const ProjectData read = ReadBack(file);
  EXPECT_EQ(ProjectToBytes(read.settings, read.selection, read.jobs, read.extensions), Classic(p));
}

// ---- damaged blocks -------------------------------------------------------------------------

void ExpectRefused(const std::vector<uint8_t>& tail, const std::string& what) {
  std::vector<uint8_t> file = Classic(SampleProject());
  Add(file, tail);
  const auto read = ParseProjectBytes(file.data(), file.size(), kPlugins);
  ASSERT_FALSE(read) << what;
  const ProjectReadError* refusal = &read.error();
  EXPECT_EQ(refusal->caption, "File Error");
  EXPECT_NE(refusal->text.find("extension block is damaged"), std::string::npos) << refusal->text;
}

TEST(ExtensionBlock, HostileBlocksAreRefusedBeforeAnythingChanges) {
  ExpectRefused({'G', 'M', 'X', '1', 4, 0}, "length cut short");
  ExpectRefused(Block(Entry(9, {1, 2}), 100), "block longer than the file");
  ExpectRefused(Block(Entry(9, {1, 2}), 0xFFFFFFFF), "block length near 4 GiB");
  std::vector<uint8_t> past = Le16(9);
  Add(past, Le32(50));
  Add(past, {1, 2, 3});
  ExpectRefused(Block(past), "entry longer than the block");
  ExpectRefused(Block({9, 0, 1}), "entry header cut short");
  ExpectRefused(Block(Entry(1, {})), "zero-length font file entry");
  ExpectRefused(Block(Entry(1, Le32(0))), "font file entry without a path");
  ExpectRefused(Block(Entry(1, FontFilePayload(0, std::string("a\0b.ttf", 7)))), "zero byte in the path");
}

TEST(ExtensionBlock, AnEntryEndingExactlyAtTheBlockEndIsAccepted) {
  const std::vector<uint8_t> entries = Entry(12, {7, 7});
  const Result<ProjectExtensions> e = ParseExtensionEntries(entries.data(), entries.size());
  ASSERT_TRUE(e.has_value()) << e.error();
  ASSERT_EQ(e->unknown.size(), 1u);
  EXPECT_FALSE(ParseExtensionEntries(entries.data(), entries.size() - 1).has_value());
}

// ---- font file paths ------------------------------------------------------------------------

TEST(FontFilePaths, RelativeInsideTheProjectFolderAbsoluteOutside) {
  EXPECT_EQ(StoredFontPath("/work/game/fonts/a.ttf", "/work/game/ui.gmp"), "fonts/a.ttf");
  EXPECT_EQ(StoredFontPath("/work/game/a.ttf", "/work/game/ui.gmp"), "a.ttf");
  EXPECT_EQ(StoredFontPath("/work/other/a.ttf", "/work/game/ui.gmp"), "/work/other/a.ttf");
  EXPECT_EQ(StoredFontPath("/work/game/../x/a.ttf", "/work/game/ui.gmp"), "/work/x/a.ttf");
  EXPECT_EQ(ResolveStoredFontPath("fonts/a.ttf", "/moved/there/ui.gmp"), "/moved/there/fonts/a.ttf");
  EXPECT_EQ(ResolveStoredFontPath("/abs/a.ttf", "/moved/there/ui.gmp"), "/abs/a.ttf");
}

TEST(FontFilePaths, AProjectMovedWithItsFontFindsItInTheNewFolder) {
  ScratchFolder scratch;
  const fs::path first = fs::path(scratch.path()) / "first";
  fs::create_directories(first / "fonts");
  std::ofstream((first / "fonts" / "a.ttf").string()) << "font bytes";
  ProjectData p = SampleProject();
  ProjectExtensions e;
  e.fontFile = ProjectFontFile{1, (first / "fonts" / "a.ttf").string()};
  e.unknown.push_back({300, {4, 5}});
  const Result<void> written =
      WriteProjectFile((first / "p.gmp").string(), p.settings, p.selection, p.jobs, kPlugins, e);
  ASSERT_TRUE(written) << written.error();
  // The file itself stores the relative path.
  std::ifstream in((first / "p.gmp").string(), std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<uint8_t> expected = Classic(p);
  std::vector<uint8_t> entries = Entry(1, FontFilePayload(1, "fonts/a.ttf"));
  Add(entries, Entry(300, {4, 5}));
  Add(expected, Block(entries));
  EXPECT_EQ(bytes, expected);

  const fs::path moved = fs::path(scratch.path()) / "elsewhere" / "moved";
  fs::create_directories(moved.parent_path());
  fs::rename(first, moved);
  ScriptedDialogs dialogs;
  const ProjectLoad load = LoadProjectFile((moved / "p.gmp").string(), kPlugins, dialogs, nullptr);
  ASSERT_EQ(load.outcome, LoadOutcome::Loaded);
  ASSERT_TRUE(load.project->extensions.fontFile);
  EXPECT_EQ(load.project->extensions.fontFile->path, (moved / "fonts" / "a.ttf").string());
  EXPECT_EQ(load.project->extensions.fontFile->faceIndex, 1u);
  EXPECT_EQ(load.project->extensions.unknown, e.unknown);
}

TEST(FontFilePaths, FallbackFilesTravelWithTheProjectAndFamiliesStayNames) {
  ScratchFolder scratch;
  const fs::path first = fs::path(scratch.path()) / "first";
  fs::create_directories(first / "fonts");
  ProjectData p = SampleProject();
  ProjectExtensions e;
  e.extras.fallbacks = {{kFallbackFile, 1, (first / "fonts" / "cjk.ttc").string()},
                        {kFallbackFamily, 0, "fonts/not-a-path"},
                        {kFallbackFile, 0, scratch.file("outside.ttf")}};
  ASSERT_TRUE(WriteProjectFile((first / "p.gmp").string(), p.settings, p.selection, p.jobs, kPlugins, e));
  // Stored: the file inside the project's folder relative, the one outside absolute, the family as typed.
  std::ifstream in((first / "p.gmp").string(), std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<uint8_t> expected = Classic(p);
  Add(expected, Block(Entry(6, FallbackPayload({{kFallbackFile, 1, "fonts/cjk.ttc"},
                                                {kFallbackFamily, 0, "fonts/not-a-path"},
                                                {kFallbackFile, 0, scratch.file("outside.ttf")}}))));
  EXPECT_EQ(bytes, expected);

  const fs::path moved = fs::path(scratch.path()) / "moved";
  fs::rename(first, moved);
  ScriptedDialogs dialogs;
  const ProjectLoad load = LoadProjectFile((moved / "p.gmp").string(), kPlugins, dialogs, nullptr);
  ASSERT_EQ(load.outcome, LoadOutcome::Loaded);
  const std::vector<FallbackFont>& read = load.project->extensions.extras.fallbacks;
  ASSERT_EQ(read.size(), 3u);
  EXPECT_EQ(read[0], (FallbackFont{kFallbackFile, 1, (moved / "fonts" / "cjk.ttc").string()}));
  EXPECT_EQ(read[1], e.extras.fallbacks[1]);
  EXPECT_EQ(read[2], e.extras.fallbacks[2]);
}

TEST(FontFilePaths, AFontOutsideTheProjectFolderIsStoredAbsolute) {
  ScratchFolder scratch;
  fs::create_directories(fs::path(scratch.path()) / "projects");
  ProjectData p = SampleProject();
  ProjectExtensions e;
  e.fontFile = ProjectFontFile{0, scratch.file("font.ttf")};
  const std::string project = scratch.file("projects/p.gmp");
  const Result<void> written = WriteProjectFile(project, p.settings, p.selection, p.jobs, kPlugins, e);
  ASSERT_TRUE(written) << written.error();
  EXPECT_EQ(fs::file_size(project), 65672u + 263u * p.jobs.size() + 8 + 6 + 4 + scratch.file("font.ttf").size());
  ScriptedDialogs dialogs;
  const ProjectLoad load = LoadProjectFile(project, kPlugins, dialogs, nullptr);
  ASSERT_EQ(load.outcome, LoadOutcome::Loaded);
  EXPECT_EQ(load.project->extensions.fontFile, e.fontFile);
}

}  // namespace
}  // namespace glyphmill
