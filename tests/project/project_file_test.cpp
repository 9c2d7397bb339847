// The byte form of project files and the reader's refusals.
#include "project/project_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>

#include "project/project_messages.h"
#include "project_test_util.h"

namespace glyphmill {
namespace {

using testing_util::MakeJob;
using testing_util::SampleProject;

std::vector<uint8_t> Bytes(const ProjectData& p) { return ProjectToBytes(p.settings, p.selection, p.jobs); }

uint32_t U32At(const std::vector<uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

void PutU32At(std::vector<uint8_t>& b, std::size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

Result<ProjectData, ProjectReadError> Parse(const std::vector<uint8_t>& bytes, const PluginNames& plugins = {}) {
  return ParseProjectBytes(bytes.data(), bytes.size(), plugins);
}

// The project read from `bytes`; a test failure when they were not read.
ProjectData Read(const std::vector<uint8_t>& bytes) {
  Result<ProjectData, ProjectReadError> read = Parse(bytes);
  EXPECT_TRUE(read.has_value()) << read.error().text;
  return read ? *std::move(read) : ProjectData{};
}

TEST(ProjectFileLayout, SizesFollowTheJobCount) {
  ProjectData p = SampleProject();
  p.jobs.clear();
  EXPECT_EQ(Bytes(p).size(), 65672u);
  p.jobs.push_back(MakeJob(0, "a", true, false, false));
  p.jobs.push_back(MakeJob(1, "b", false, false, true));
  EXPECT_EQ(Bytes(p).size(), 66198u);
}

TEST(ProjectFileLayout, HeaderSettingsAndSelectionSitAtTheirOffsets) {
  const ProjectData p = SampleProject();
  const std::vector<uint8_t> b = Bytes(p);
  EXPECT_EQ((std::vector<uint8_t>(b.begin(), b.begin() + 8)),
            (std::vector<uint8_t>{0xF0, 0x00, 0x00, 0x00, 0x7C, 0x00, 0x00, 0x00}));
  EXPECT_EQ(std::memcmp(b.data() + 8, "DejaVu Sans", 12), 0);  // name and its zero byte
  EXPECT_EQ(b[8 + 61], 24);                                    // fontSize
  EXPECT_EQ(U32At(b, 8 + 100) & 0xFFFF, 512u);                 // textureWidth
  EXPECT_EQ(b[8 + 122], 0xAB);                                 // padding carried through
  EXPECT_EQ(b[8 + 123], 0xCD);
  EXPECT_EQ(b[132 + 0], 1);
  EXPECT_EQ(b[132 + 1], 0);
  EXPECT_EQ(b[132 + 7], 1);
  EXPECT_EQ(b[132 + 65535], 1);
  EXPECT_EQ(U32At(b, 65668), 2u);
}

TEST(ProjectFileLayout, JobEntriesStoreAlphaBeforeData) {
  ProjectData p;
  p.jobs.push_back(MakeJob(-3, "BMFont text", false, true, false));  // data only
  p.jobs.push_back(MakeJob(5, "PNG image", false, false, true));     // alpha only
  const std::vector<uint8_t> b = Bytes(p);
  const uint8_t* first = b.data() + 65672;
  EXPECT_EQ(first[0], 0);  // UseRGB
  EXPECT_EQ(first[1], 0);  // UseAlpha
  EXPECT_EQ(first[2], 1);  // UseData
  EXPECT_EQ(U32At(b, 65672 + 3), 0xFFFFFFFDu);
  EXPECT_EQ(first[7], 11);
  EXPECT_EQ(std::memcmp(first + 8, "BMFont text", 11), 0);
  const uint8_t* second = first + 263;
  EXPECT_EQ(second[1], 1);
  EXPECT_EQ(second[2], 0);
  EXPECT_EQ(U32At(b, 65672 + 263 + 3), 5u);
}

TEST(ProjectFileLayout, ReadingGivesBackWhatWasWritten) {
  const ProjectData p = SampleProject();
  EXPECT_EQ(Read(Bytes(p)), p);
}

TEST(ProjectFileLayout, AnyNonzeroByteCountsAsSelectedAndTrailingBytesAreIgnored) {
  ProjectData p;
  std::vector<uint8_t> b = Bytes(p);
  b[132 + 65] = 0x80;
  b[65672 - 5] = 0;   // last selection byte stays clear
  b.push_back(0x55);  // bytes after the last job
  const ProjectData back = Read(b);
  EXPECT_NE(back.selection[65], 0);
  EXPECT_TRUE(back.jobs.empty());
}

TEST(ProjectFileLayout, StreamsWriteAndReadTheSameFile) {
  ProjectData p = SampleProject();
  std::stringstream stream;
  ASSERT_TRUE(WriteProject(stream, p.settings, p.selection, p.jobs, {"PNG image", "x", "BMFont text"}));
  EXPECT_EQ(stream.str().size(), 66198u);
  const auto back = ReadProjectStream(stream, {"PNG image", "x", "BMFont text"});
  ASSERT_TRUE(back.has_value()) << back.error().text;
  EXPECT_EQ(*back, p);
}

// ---- refusals: the reason comes back, and no project ------------------------------------------

void ExpectRefused(const std::vector<uint8_t>& bytes, const std::string& text) {
  const auto read = Parse(bytes);
  ASSERT_FALSE(read.has_value()) << "accepted " << bytes.size() << " bytes";
  EXPECT_EQ(read.error().kind, ProjectReadError::Kind::Refused);
  EXPECT_EQ(read.error().caption, "File Error");
  EXPECT_EQ(read.error().text, text);
}

TEST(ProjectFileRefusal, EmptyShortAndForeignFilesHoldNoGlyphmillData) {
  const std::string text = "This file does not contain any Glyphmill data. It cannot be loaded into the Glyphmill.";
  ExpectRefused({}, text);
  ExpectRefused({0xF0}, text);
  ExpectRefused({0xF0, 0, 0}, text);
  ExpectRefused({0xF1, 0, 0, 0, 0x7C, 0, 0, 0}, text);
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 13, 10, 26, 10};
  png.resize(70000);
  ExpectRefused(png, text);
}

TEST(ProjectFileRefusal, OtherRecordSizesNameTheSizeReadAndTheSizeExpected) {
  std::vector<uint8_t> b = Bytes(SampleProject());
  PutU32At(b, 4, 100);
  ExpectRefused(b,
                "This file is from a different version of Glyphmill. It cannot be loaded into the Glyphmill.\r"
                "Record size mismatch: 100 should be 124");
  PutU32At(b, 4, 0xFFFFFFFF);  // shown unsigned
  ExpectRefused(b,
                "This file is from a different version of Glyphmill. It cannot be loaded into the Glyphmill.\r"
                "Record size mismatch: 4294967295 should be 124");
  b.resize(8);  // the size is checked before the missing settings
  PutU32At(b, 4, 128);
  ExpectRefused(b, project_text::RecordSizeMismatch(128));
}

TEST(ProjectFileRefusal, FilesThatEndEarlyAreRefusedWhereverTheyEnd) {
  const std::vector<uint8_t> full = Bytes(SampleProject());
  struct Cut {
    std::size_t size;
    const char* part;
  };
  for (const Cut cut : {Cut{5, "settings size"}, Cut{7, "settings size"}, Cut{8, "settings"}, Cut{131, "settings"},
                        Cut{132, "character selection"}, Cut{65667, "character selection"}, Cut{65668, "job count"},
                        Cut{65671, "job count"}}) {
    SCOPED_TRACE(cut.size);
    const std::vector<uint8_t> b(full.begin(), full.begin() + cut.size);
    ExpectRefused(b, project_text::Incomplete(cut.part, cut.size));
    EXPECT_NE(project_text::Incomplete(cut.part, cut.size).find(std::to_string(cut.size)), std::string::npos);
  }
  // Inside the jobs: the count promises two, the file holds one and a half.
  ExpectRefused(std::vector<uint8_t>(full.begin(), full.end() - 130), project_text::JobCountMismatch(2, 1));
  ExpectRefused(std::vector<uint8_t>(full.begin(), full.end() - 1), project_text::JobCountMismatch(2, 1));
}

TEST(ProjectFileRefusal, JobCountsTheFileCannotHold) {
  std::vector<uint8_t> b = Bytes(ProjectData{});
  PutU32At(b, 65668, 0x7FFFFFFF);  // would be half a terabyte of jobs
  ExpectRefused(b, project_text::JobCountMismatch(0x7FFFFFFF, 0));
  PutU32At(b, 65668, static_cast<uint32_t>(-1));
  ExpectRefused(b, project_text::JobCountMismatch(-1, 0));
  EXPECT_NE(project_text::JobCountMismatch(-1, 0).find("-1"), std::string::npos);
}

TEST(ProjectFileRefusal, FontNameWithoutItsZeroByte) {
  std::vector<uint8_t> b = Bytes(SampleProject());
  std::memset(b.data() + 8, 'A', 61);
  ExpectRefused(b, project_text::UnterminatedFontName());
  b[8 + 60] = 0;  // 60 characters and the zero: a legal name
  EXPECT_EQ(Read(b).settings.fontNameString(), std::string(60, 'A'));
}

// A source that gives `good` bytes of a valid project, then fails.
class FailingSource : public ProjectSource {
 public:
  explicit FailingSource(std::size_t good) : bytes_(Bytes(SampleProject())), good_(good) {}
  Result<std::size_t> read(uint8_t* dst, std::size_t n) override {
    if (at_ >= good_) return Fail("disk on fire");
    const std::size_t step = std::min(n, good_ - at_);
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(at_), step, dst);
    at_ += step;
    return step;
  }

 private:
  std::vector<uint8_t> bytes_;
  std::size_t good_;
  std::size_t at_ = 0;
};

TEST(ProjectFileRefusal, ReadFailuresOfTheSourceComeBackUnreadableWithTheirMessage) {
  // In the signature, the settings, the jobs and where the extension block would begin.
  for (const std::size_t good :
       {std::size_t{0}, std::size_t{6}, std::size_t{400}, std::size_t{65672 + 100}, Bytes(SampleProject()).size()}) {
    FailingSource source(good);
    const auto read = ParseProject(source, {});
    ASSERT_FALSE(read.has_value()) << "after " << good << " bytes";
    EXPECT_EQ(read.error().kind, ProjectReadError::Kind::Unreadable) << "after " << good << " bytes";
    EXPECT_EQ(read.error().text, "disk on fire");
  }
}

TEST(ProjectFileRefusal, AStreamThatFailsIsUnreadableNotRefused) {
  // A buffer whose device fails: the stream turns that into its bad state.
  struct FailingBuffer : std::streambuf {
    int_type underflow() override { throw std::ios_base::failure("device gone"); }
  } buffer;
  std::istream failing(&buffer);
  const auto read = ReadProjectStream(failing, {});
  ASSERT_FALSE(read.has_value());
  EXPECT_EQ(read.error().kind, ProjectReadError::Kind::Unreadable);
  EXPECT_EQ(read.error().text, "Read error.");
}

}  // namespace
}  // namespace glyphmill
