#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "view/projection.h"
#include "view/raster.h"
#include "view/scene_colours.h"
#include "view_test_support.h"

namespace stelvo {
namespace {

using test::At;
using test::BoundsOfNot;
using test::CountOf;

QImage Silver(int width, int height) {
  QImage image(width, height, kSceneFormat);
  image.fill(kSilver);
  return image;
}

TEST(LineTest, FirstPointIsSetAndEndPointIsNot) {
  QImage image = Silver(20, 10);
  DrawLineExcludingEnd(image, 2, 5, 8, 5, kBlack);
  EXPECT_EQ(BoundsOfNot(image, kSilver, image.rect()), QRect(2, 5, 6, 1));
  image.fill(kSilver);
  DrawLineExcludingEnd(image, 8, 5, 2, 5, kRed);  // backwards: x 8 down to 3
  EXPECT_EQ(BoundsOfNot(image, kSilver, image.rect()), QRect(3, 5, 6, 1));
  image.fill(kSilver);
  DrawLineExcludingEnd(image, 4, 4, 4, 4, kBlack);  // zero length sets nothing
  EXPECT_EQ(CountOf(image, kBlack), 0);
}

TEST(LineTest, EachColumnGetsThePixelNearestTheExactLine) {
  QImage image = Silver(30, 30);
  DrawLineExcludingEnd(image, 5, 20, 25, 4, kBlack);  // Saturn's ring: 20 across, 16 up
  for (int t = 0; t < 20; ++t) {
    const int y = static_cast<int>(std::lround(20 - 0.8 * t));
    EXPECT_EQ(At(image, 5 + t, y), kBlack) << "column " << 5 + t;
  }
  EXPECT_EQ(CountOf(image, kBlack), 20);
  EXPECT_EQ(At(image, 25, 4), kSilver);
}

TEST(LineTest, ExactHalvesLightTheUpperPixelOrTheLeftOneOnSteepLines) {
  QImage image = Silver(10, 10);
  DrawLineExcludingEnd(image, 0, 0, 4, 2, kBlack);  // y = 0.5 at x = 1 and 1.5 at x = 3
  EXPECT_EQ(At(image, 1, 0), kBlack);
  EXPECT_EQ(At(image, 3, 1), kBlack);
  image.fill(kSilver);
  DrawLineExcludingEnd(image, 4, 2, 0, 0, kBlack);  // the same line walked backwards
  EXPECT_EQ(At(image, 3, 1), kBlack);
  EXPECT_EQ(At(image, 1, 0), kBlack);
  image.fill(kSilver);
  DrawLineExcludingEnd(image, 0, 0, 2, 4, kBlack);  // steep: x = 0.5 at y = 1
  EXPECT_EQ(At(image, 0, 1), kBlack);
  EXPECT_EQ(At(image, 1, 3), kBlack);
  EXPECT_EQ(CountOf(image, kBlack), 4);
}

TEST(LineTest, LinesFarBeyondTheImageAreClipped) {
  QImage image = Silver(50, 40);
  DrawLineExcludingEnd(image, -kPixelLimit, -kPixelLimit, kPixelLimit, kPixelLimit, kRed);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(At(image, i, i), kRed);
  EXPECT_EQ(CountOf(image, kRed), 40);
  image.fill(kSilver);
  DrawLineExcludingEnd(image, -kPixelLimit, -5, kPixelLimit, -5, kRed);
  DrawLineExcludingEnd(image, kPixelLimit, kPixelLimit, kPixelLimit - 9, -kPixelLimit, kRed);
  EXPECT_EQ(CountOf(image, kRed), 0);
  DrawLineExcludingEnd(image, INT_MIN, INT_MAX, INT_MAX, INT_MIN, kRed);  // no overflow
  QImage empty;
  DrawLineExcludingEnd(empty, 0, 0, 5, 5, kRed);
}

TEST(DiscTest, DiscFillsItsBoxExactlyWithABlackOutlineAndSymmetry) {
  const QSize boxes[] = {{20, 20}, {6, 6}, {10, 10}, {14, 13}, {12, 12}};
  for (const QSize box : boxes) {
    SCOPED_TRACE(testing::Message() << box.width() << "x" << box.height());
    const DiscSprite disc(box.width(), box.height(), kYellow);
    QImage image = Silver(40, 40);
    disc.Draw(image, 10, 10);
    EXPECT_EQ(BoundsOfNot(image, kSilver, image.rect()), QRect(QPoint(10, 10), box));
    for (int y = 10; y < 10 + box.height(); ++y) {
      int left = 10;
      while (At(image, left, y) == kSilver) ++left;
      int right = 9 + box.width();
      while (At(image, right, y) == kSilver) --right;
      EXPECT_EQ(At(image, left, y), kBlack);
      EXPECT_EQ(At(image, right, y), kBlack);
      EXPECT_EQ(left - 10, 9 + box.width() - right) << "row " << y;  // left-right symmetric
      for (int x = left; x <= right; ++x) EXPECT_NE(At(image, x, y), kSilver);
    }
    EXPECT_EQ(At(image, 10 + box.width() / 2, 10 + box.height() / 2), kYellow);
    for (QRgb p : disc.Pixels()) EXPECT_TRUE(p == 0 || qAlpha(p) == 255);
  }
}

TEST(DiscTest, DiscsPartlyOrWhollyOutsideAreClipped) {
  const DiscSprite disc(20, 20, kYellow);
  QImage image = Silver(30, 30);
  disc.Draw(image, -10, -10);  // only its lower right quarter shows
  EXPECT_EQ(BoundsOfNot(image, kSilver, image.rect()), QRect(0, 0, 10, 10));
  image.fill(kSilver);
  disc.Draw(image, kPixelLimit, -kPixelLimit);
  disc.Draw(image, -kPixelLimit - 20, 5);
  EXPECT_EQ(CountOf(image, kSilver), 900);
}

}  // namespace
}  // namespace stelvo
