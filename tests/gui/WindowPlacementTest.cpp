#include "gui/WindowPlacement.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowPlacementTest, ReadsExactlyTenNumbers) {
  const auto p = ParseWindowPos("2,3,-1,-1,-8,-8,40,50,540,450");
  ASSERT_TRUE(p);
  EXPECT_EQ(p->flags, 2u);
  EXPECT_EQ(p->showCmd, 3u);
  EXPECT_EQ(p->maxX, -8);
  EXPECT_EQ(p->left, 40);
  EXPECT_EQ(p->bottom, 450);
  EXPECT_EQ(FormatWindowPos(*p), "2,3,-1,-1,-8,-8,40,50,540,450");
  EXPECT_TRUE(ParseWindowPos(" 0, 1,-1,-1,-1,-1,0,0,10,10 "));
}

TEST(WindowPlacementTest, RefusesAnythingElse) {
  EXPECT_FALSE(ParseWindowPos(""));
  EXPECT_FALSE(ParseWindowPos("0,1,-1,-1,-1,-1,0,0,10"));       // nine
  EXPECT_FALSE(ParseWindowPos("0,1,-1,-1,-1,-1,0,0,10,10,1"));  // eleven
  EXPECT_FALSE(ParseWindowPos("0,1,-1,-1,-1,-1,0,0,10,10x"));   // trailing text
  EXPECT_FALSE(ParseWindowPos("0,1,-1,-1,-1,-1,0,0,,10"));      // empty field
  EXPECT_FALSE(ParseWindowPos("-1,1,-1,-1,-1,-1,0,0,10,10"));   // negative flags
  EXPECT_FALSE(ParseWindowPos("0,1,-1,-1,-1,-1,0,0,0,10"));     // no width
  EXPECT_FALSE(ParseWindowPos("0,1,-1,-1,-1,-1,0,0,10,99999999999"));
}

}  // namespace
