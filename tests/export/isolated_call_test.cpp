#include "export/isolated_call.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

using namespace std::chrono_literals;

namespace glyphmill {
namespace {

TEST(IsolatedCall, ReplyComesBackAndChildMemoryStaysInTheChild) {
  int counter = 1;
  IsolatedCallResult r = RunIsolated(
      [&counter]() {
        counter = 99;
        return std::string("reply\0bytes", 11);
      },
      5s);
  ASSERT_TRUE(r.ok) << r.failure;
  EXPECT_EQ(r.reply, std::string("reply\0bytes", 11));
  EXPECT_EQ(counter, 1);
}

TEST(IsolatedCall, FailuresBecomeMessages) {
  IsolatedCallResult thrown = RunIsolated([]() -> std::string { throw std::runtime_error("no space left"); }, 5s);
  EXPECT_FALSE(thrown.ok);
  EXPECT_EQ(thrown.failure, "no space left");

  IsolatedCallResult odd = RunIsolated([]() -> std::string { throw 42; }, 5s);
  EXPECT_FALSE(odd.ok);
  EXPECT_NE(odd.failure.find("not a standard exception"), std::string::npos);

  IsolatedCallResult crashed = RunIsolated([]() -> std::string { raise(SIGSEGV); return ""; }, 5s);
  EXPECT_FALSE(crashed.ok);
  EXPECT_NE(crashed.failure.find("crashed"), std::string::npos) << crashed.failure;

  IsolatedCallResult exited = RunIsolated([]() -> std::string { _exit(3); }, 5s);
  EXPECT_FALSE(exited.ok);
  EXPECT_NE(exited.failure.find("exit status 3"), std::string::npos) << exited.failure;
}

TEST(IsolatedCall, AHangIsCutOffAtTheLimit) {
  const auto start = std::chrono::steady_clock::now();
  IsolatedCallResult r = RunIsolated([]() -> std::string { for (;;) pause(); }, 300ms);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.failure.find("did not return"), std::string::npos) << r.failure;
  EXPECT_GE(took, 300ms);
  EXPECT_LT(took, 5s);
}

TEST(IsolatedCall, AHangAfterClosingThePipeIsStillCutOff) {
  IsolatedCallResult r = RunIsolated(
      []() -> std::string {
        for (int fd = 3; fd < 1024; ++fd) close(fd);
        for (;;) pause();
      },
      300ms);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.failure.find("did not return"), std::string::npos) << r.failure;
}

}  // namespace
}  // namespace glyphmill
