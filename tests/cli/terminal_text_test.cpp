#include "cli/terminal_text.h"

#include <gtest/gtest.h>

#include "cli/console.h"

namespace glyphmill::cli {
namespace {

TEST(EscapeControls, ControlCharactersAreShownEscaped) {
  EXPECT_EQ(EscapeControls("plain text, \xC3\xA9t\xC3\xA9"), "plain text, \xC3\xA9t\xC3\xA9");
  EXPECT_EQ(EscapeControls("Red\x1b[31m Name\x07"), "Red\\x1B[31m Name\\x07");
  EXPECT_EQ(EscapeControls("a\tb\nc\rd\x7f"), "a\\x09b\\x0Ac\\x0Dd\\x7F");
  EXPECT_EQ(EscapeControls("C1 \xC2\x9B"
                           "31m"),
            "C1 \\u009B31m");
  EXPECT_EQ(EscapeControls("no break \xC2\xA0 here"), "no break \xC2\xA0 here");
  EXPECT_EQ(EscapeControls("cut \xC2"), "cut \xC2");
}

TEST(EscapeControls, LineBreaksCanBeKept) {
  EXPECT_EQ(EscapeControls("one\rtwo\nthree\x1b", true), "one\ntwo\nthree\\x1B");
  EXPECT_EQ(Console::Printable("Caption: line\rnext \x1b]0;title\x07"), "Caption: line\nnext \\x1B]0;title\\x07");
}

}  // namespace
}  // namespace glyphmill::cli
