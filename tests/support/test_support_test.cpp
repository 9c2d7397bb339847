// The test support itself: scratch folders that always go away, and child processes whose
// status, standard output and standard error come back exactly.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "child_process.h"
#include "scratch_folder.h"

namespace glyphmill {
namespace {

namespace fs = std::filesystem;

TEST(ScratchFolder, IsFreshEmptyAndNamedAfterItsStem) {
  testing::ScratchFolder a("stem"), b("stem");
  EXPECT_NE(a.path(), b.path());
  EXPECT_TRUE(fs::is_directory(a.path()));
  EXPECT_TRUE(a.entries().empty());
  EXPECT_EQ(a.path().filename().string().rfind("glyphmill-stem-", 0), 0u) << a.path();
  EXPECT_EQ(a.file("x/y.txt"), (a.path() / "x" / "y.txt").string());
}

TEST(ScratchFolder, GoesAwayWithFoldersATestLockedUp) {
  fs::path kept;
  {
    testing::ScratchFolder scratch("locked");
    kept = scratch.path();
    fs::create_directories(scratch.file("deep/deeper"));
    std::ofstream(scratch.file("deep/deeper/file")) << "x";
    std::ofstream(scratch.file("b")) << "y";
    EXPECT_EQ(scratch.entries(), (std::vector<std::string>{"b", "deep"}));
    ASSERT_EQ(::chmod(scratch.file("deep/deeper").c_str(), 0), 0);
    ASSERT_EQ(::chmod(scratch.file("deep").c_str(), 0500), 0);
    ASSERT_EQ(::chmod(scratch.path().c_str(), 0500), 0);
  }
  EXPECT_FALSE(fs::exists(kept));
}

TEST(ChildProcess, StatusAndBothStreamsComeBackApart) {
  testing::ScratchFolder scratch("process");
  const testing::ProcessResult r = testing::RunShell("echo out; echo err >&2; cat; exit 3", scratch.path());
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.out, "out\n");  // standard input is empty
  EXPECT_EQ(r.err, "err\n");
}

TEST(ChildProcess, AProcessEndedByASignalHasNoExitStatus) {
  testing::ScratchFolder scratch("process");
  EXPECT_EQ(testing::RunShell("kill -KILL $$", scratch.path()).status, -1);
}

TEST(ChildProcess, ArgumentsArriveAsGivenAndTheWorkingFolderIsUsed) {
  testing::ScratchFolder scratch("process");
  const std::string odd = "it's a \"quoted\" $HOME `x` \\ arg";
  const testing::ProcessResult r = testing::RunProgram(
      "/bin/sh", {"-c", "printf '%s|%s' \"$1\" \"$(pwd -P)\"", "sh", odd}, scratch.path(), scratch.path().string());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, odd + "|" + fs::canonical(scratch.path()).string());
  EXPECT_EQ(testing::ReadAll(scratch.file("stdout")), r.out);
  EXPECT_EQ(testing::ReadAll(scratch.file("absent")), "");
}

}  // namespace
}  // namespace glyphmill
