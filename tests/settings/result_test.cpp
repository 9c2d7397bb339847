// Result: a value or the reason there is none, including the cases where the two types are one.
#include "settings/result.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace glyphmill {
namespace {

Result<int> Half(int n) {
  if (n % 2 != 0) return Fail("odd: " + std::to_string(n));
  return n / 2;
}

TEST(Result, HoldsTheValueOrTheReason) {
  const Result<int> half = Half(8);
  ASSERT_TRUE(half.has_value());
  EXPECT_EQ(*half, 4);
  const Result<int> none = Half(7);
  ASSERT_FALSE(none);
  EXPECT_EQ(none.error(), "odd: 7");
}

TEST(Result, AStringValueIsNotTakenForAReason) {
  // Value and reason of the same type: which one a Result holds follows how it was made.
  const Result<std::string> named = std::string("font.gmp");
  const Result<std::string> failed = Fail(std::string("font.gmp"));
  ASSERT_TRUE(named.has_value());
  EXPECT_EQ(*named, "font.gmp");
  ASSERT_FALSE(failed.has_value());
  EXPECT_EQ(failed.error(), "font.gmp");
}

TEST(Result, VoidSucceedsByDefaultAndCarriesItsReasonOtherwise) {
  Result<void> done;
  EXPECT_TRUE(done);
  done = Fail("disk full");
  ASSERT_FALSE(done);
  EXPECT_EQ(done.error(), "disk full");
}

TEST(Result, AValueThatOnlyMovesIsHandedOn) {
  Result<std::unique_ptr<int>> owned = std::make_unique<int>(5);
  ASSERT_TRUE(owned);
  std::unique_ptr<int> taken = *std::move(owned);
  ASSERT_NE(taken, nullptr);
  EXPECT_EQ(*taken, 5);
}

struct Refusal {
  std::string caption;
  std::string text;
};

TEST(Result, AReasonCanBeARecord) {
  const Result<int, Refusal> refused = Fail(Refusal{"File Error", "too short"});
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().caption, "File Error");
  EXPECT_EQ(refused.error().text, "too short");
}

}  // namespace
}  // namespace glyphmill
