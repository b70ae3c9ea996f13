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

TEST(WindowPlacementTest, FitOnScreenPullsTheWholeFrameOntoTheNearestScreen) {
  // A 1920 x 1040 screen at 100 % and beside it a 2560 x 1360 one at 200 %.
  const QList<QRect> screens{QRect(0, 0, 1920, 1040), QRect(1920, 0, 1280, 680)};
  const QMargins none;

  // Fits already: unchanged.
  EXPECT_EQ(FitOnScreen(QRect(100, 100, 800, 600), none, screens), QRect(100, 100, 800, 600));
  // Saved on the second screen at 100 %, now too large for it: shrunk to it.
  EXPECT_EQ(FitOnScreen(QRect(2000, 50, 1600, 900), none, screens), QRect(1920, 0, 1280, 680));
  // Mostly on the first screen, hanging off its bottom: pulled up, size kept.
  EXPECT_EQ(FitOnScreen(QRect(100, 800, 800, 600), none, screens), QRect(100, 440, 800, 600));
  // On no screen at all: onto the nearest one, at its edge.
  EXPECT_EQ(FitOnScreen(QRect(5000, 100, 400, 300), none, screens), QRect(2800, 100, 400, 300));
  EXPECT_EQ(FitOnScreen(QRect(-900, -700, 400, 300), none, screens), QRect(0, 0, 400, 300));
  // The title bar and borders count: the frame, not only the inside, is on screen.
  EXPECT_EQ(FitOnScreen(QRect(0, 0, 1920, 1040), QMargins(8, 31, 8, 8), screens),
            QRect(8, 31, 1904, 1001));
  // No screen known: left alone.
  EXPECT_EQ(FitOnScreen(QRect(5000, 100, 400, 300), none, {}), QRect(5000, 100, 400, 300));
}

}  // namespace
