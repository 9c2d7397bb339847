// Saving a project never destroys the file it replaces.
#include "project/safe_file_write.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "project/project_io.h"
#include "project_test_util.h"

namespace glyphmill {
namespace {

using testing_util::SampleProject;
using testing_util::ScratchFolder;

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

std::size_t EntryCount(const std::string& folder) {
  return static_cast<std::size_t>(
      std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()));
}

// Saves a project at `path`; the failure's message goes into `*error`.
bool Save(const std::string& path, std::string* error) {
  ProjectData p = SampleProject();
  p.jobs.clear();
  const Result<void> written = WriteProjectFile(path, p.settings, p.selection, p.jobs, {});
  if (!written) *error = written.error();
  return written.has_value();
}

TEST(SafeProjectSave, TheOldBytesAreNeverRewrittenInPlace) {
  // A second hard link sees whatever is written into the old file itself: it must keep the old bytes.
  ScratchFolder dir;
  WriteText(dir.file("p.gmp"), "old project");
  ASSERT_EQ(::link(dir.file("p.gmp").c_str(), dir.file("other-link").c_str()), 0);
  std::string error;
  ASSERT_TRUE(Save(dir.file("p.gmp"), &error)) << error;
  EXPECT_EQ(std::filesystem::file_size(dir.file("p.gmp")), 65672u);
  EXPECT_EQ(ReadText(dir.file("other-link")), "old project");
  EXPECT_EQ(EntryCount(dir.path()), 2u);
}

TEST(SafeProjectSave, ANameTooLongForATemporarySuffixStillSavesThroughANewFile) {
  ScratchFolder dir;
  const std::string name = std::string(251, 'n') + ".gmp";  // 255 bytes, the longest name allowed
  WriteText(dir.file(name), "old project");
  ASSERT_EQ(::link(dir.file(name).c_str(), dir.file("other-link").c_str()), 0);
  std::string error;
  ASSERT_TRUE(Save(dir.file(name), &error)) << error;
  EXPECT_EQ(std::filesystem::file_size(dir.file(name)), 65672u);
  EXPECT_EQ(ReadText(dir.file("other-link")), "old project");
  EXPECT_EQ(EntryCount(dir.path()), 2u);
}

TEST(SafeProjectSave, AFolderThatTakesNoNewFileFailsWithTheReasonAndLeavesTheFileAlone) {
  // /proc/self takes no new files, even from root, while its "comm" file is writable in place.
  const std::string comm = "/proc/self/comm";
  const std::string before = ReadText(comm);
  ASSERT_FALSE(before.empty());
  std::string error;
  EXPECT_FALSE(Save(comm, &error));
  EXPECT_NE(error.find("Cannot create a temporary file beside \"/proc/self/comm\": "), std::string::npos) << error;
  EXPECT_EQ(ReadText(comm), before);
}

TEST(SafeProjectSave, ThePermissionBitsOfTheOldFileAreKept) {
  ScratchFolder dir;
  WriteText(dir.file("private.gmp"), "old");
  ASSERT_EQ(::chmod(dir.file("private.gmp").c_str(), 0600), 0);
  WriteText(dir.file("shared.gmp"), "old");
  ASSERT_EQ(::chmod(dir.file("shared.gmp").c_str(), 0664), 0);
  std::string error;
  ASSERT_TRUE(Save(dir.file("private.gmp"), &error)) << error;
  ASSERT_TRUE(Save(dir.file("shared.gmp"), &error)) << error;
  struct stat info {};
  ASSERT_EQ(::stat(dir.file("private.gmp").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
  ASSERT_EQ(::stat(dir.file("shared.gmp").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0664u);
}

TEST(SafeProjectSave, ANewFileGetsTheUsualBitsUnderTheUmask) {
  ScratchFolder dir;
  const mode_t old = ::umask(022);
  std::string error;
  const bool saved = Save(dir.file("new.gmp"), &error);
  ::umask(old);
  ASSERT_TRUE(saved) << error;
  struct stat info {};
  ASSERT_EQ(::stat(dir.file("new.gmp").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0644u);
}

TEST(SafeProjectSave, SavingThroughALinkWritesItsTargetAndKeepsTheLink) {
  ScratchFolder dir;
  std::filesystem::create_directory(dir.file("real"));
  WriteText(dir.file("real/p.gmp"), "old");
  std::filesystem::create_symlink("real/p.gmp", dir.file("relative-link.gmp"));
  std::filesystem::create_symlink("relative-link.gmp", dir.file("chained-link.gmp"));
  std::string error;
  ASSERT_TRUE(Save(dir.file("chained-link.gmp"), &error)) << error;
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("chained-link.gmp")));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("relative-link.gmp")));
  EXPECT_EQ(std::filesystem::file_size(dir.file("real/p.gmp")), 65672u);
  EXPECT_EQ(EntryCount(dir.file("real")), 1u);

  // A link to a file not yet there creates that file.
  std::filesystem::create_symlink(dir.file("real/fresh.gmp"), dir.file("dangling.gmp"));
  ASSERT_TRUE(Save(dir.file("dangling.gmp"), &error)) << error;
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("dangling.gmp")));
  EXPECT_EQ(std::filesystem::file_size(dir.file("real/fresh.gmp")), 65672u);
}

TEST(SafeProjectSave, LinkLoopsAndNonRegularTargetsAreRefused) {
  ScratchFolder dir;
  std::filesystem::create_symlink("b.gmp", dir.file("a.gmp"));
  std::filesystem::create_symlink("a.gmp", dir.file("b.gmp"));
  std::string error;
  EXPECT_FALSE(Save(dir.file("a.gmp"), &error));
  EXPECT_NE(error.find(std::strerror(ELOOP)), std::string::npos) << error;
  // A pipe stands for any special file (a device, a socket): it stays what it is.
  ASSERT_EQ(::mkfifo(dir.file("pipe.gmp").c_str(), 0600), 0);
  EXPECT_FALSE(Save(dir.file("pipe.gmp"), &error));
  EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
  EXPECT_TRUE(std::filesystem::is_fifo(dir.file("pipe.gmp")));
}

TEST(SafeProjectSave, TheAutosaveGoesThroughTheSameSafeWrite) {
  ScratchFolder dir;
  WriteText(dir.file("Autosave.gmp"), "old");
  ASSERT_EQ(::chmod(dir.file("Autosave.gmp").c_str(), 0600), 0);
  ASSERT_EQ(::link(dir.file("Autosave.gmp").c_str(), dir.file("other-link").c_str()), 0);
  ProjectData p = SampleProject();
  const Result<void> written = WriteAutosave(dir.file("Autosave.gmp"), p.settings, p.selection, p.jobs, {});
  ASSERT_TRUE(written) << written.error();
  EXPECT_EQ(ReadText(dir.file("other-link")), "old");
  struct stat info {};
  ASSERT_EQ(::stat(dir.file("Autosave.gmp").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
}

}  // namespace
}  // namespace glyphmill
