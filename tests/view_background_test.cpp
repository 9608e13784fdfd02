#include <gtest/gtest.h>

#include <vector>

#include "initial/constants.h"
#include "view/background.h"
#include "view/raster.h"
#include "view/scene_colours.h"
#include "view/view_state.h"
#include "view_test_support.h"

namespace stelvo {
namespace {

using test::At;
using test::CountOf;
using test::ImageDigest;

class BackgroundTest : public testing::Test {
 protected:
  QImage Draw(int zoom, int incl, const PlanetTicks& ticks) {
    UpdateView(view_, zoom, incl);
    QImage image(view_.DrawWidth, view_.DrawHeight, kSceneFormat);
    DrawBackground(image, view_, orbits_, ticks);
    return image;
  }
  static PlanetTicks Only(int planet) {
    PlanetTicks ticks{};
    ticks[1] = true;
    ticks[planet] = true;
    return ticks;
  }
  int Others(const QImage& image) {
    return image.width() * image.height() - CountOf(image, kSilver) - CountOf(image, kBlack) -
           CountOf(image, kRed);
  }

  ViewState view_{.CentreX = 940, .CentreY = 430, .DrawWidth = 1880, .DrawHeight = 860};
  PlanetOrbits orbits_ = MakePlanetOrbits();
};

TEST_F(BackgroundTest, AnglesAreConvertedToRadiansOnceInSinglePrecision) {
  EXPECT_EQ(orbits_.rows[6].node, static_cast<float>(100.33f * kDegToRad));
  EXPECT_EQ(orbits_.rows[9].argPeri, static_cast<float>(221.2f * kDegToRad));
  EXPECT_EQ(orbits_.rows[4].a, 1.0f);
}

TEST_F(BackgroundTest, NoTickedPlanetGivesPlainSilverWhateverTheSunsBox) {
  PlanetTicks ticks{};
  ticks[1] = true;
  const QImage image = Draw(87, 45, ticks);
  EXPECT_EQ(CountOf(image, kSilver), 1880 * 860);
}

TEST_F(BackgroundTest, EarthsOrbitIsAllBlackAtEveryInclination) {
  for (int incl : {0, 45, 90}) {
    const QImage image = Draw(87, incl, Only(4));
    EXPECT_GT(CountOf(image, kBlack), incl == 90 ? 170 : 400) << incl;
    EXPECT_EQ(CountOf(image, kRed), 0) << incl;
    EXPECT_EQ(Others(image), 0) << incl;
  }
}

TEST_F(BackgroundTest, PartsBelowTheEclipticAreRedAndAboveBlackSeenEdgeOn) {
  const QImage image = Draw(150, 90, Only(6));  // Jupiter's z spans about +-18 pixels
  EXPECT_GT(CountOf(image, kRed), 100);
  EXPECT_GT(CountOf(image, kBlack), 100);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      // A segment crossing the ecliptic may start up to a pixel on the other side.
      if (At(image, x, y) == kRed) {
        EXPECT_GE(y, view_.CentreY - 1);
      } else if (At(image, x, y) == kBlack) {
        EXPECT_LE(y, view_.CentreY + 1);
      }
    }
  }
}

TEST_F(BackgroundTest, SegmentColourIsDecidedByItsEndPointWhichIsNotSet) {
  // A polar circle seen edge-on: a circle of 100 pixels, above the ecliptic on top.
  orbits_.rows[2] = {1.0f, 0.0f, static_cast<float>(90 * kDegToRad), 0.0f, 0.0f};
  const QImage image = Draw(100, 90, Only(2));
  const int cx = view_.CentreX, cy = view_.CentreY;
  // The first point starts the first (black) segment; the last, red segment ends there.
  EXPECT_EQ(At(image, cx + 100, cy), kBlack);
  EXPECT_EQ(At(image, cx, cy - 100), kBlack);
  // Half way round the segment ending on the ecliptic is black, the next one red.
  EXPECT_EQ(At(image, cx - 100, cy), kRed);
  EXPECT_EQ(At(image, cx, cy + 100), kRed);
}

TEST_F(BackgroundTest, OrbitsFarOutsideTheAreaAreClipped) {
  PlanetTicks all{};
  all.fill(true);
  const QImage image = Draw(150, 0, all);  // Neptune's aphelion lies 4,500 pixels out
  EXPECT_GT(CountOf(image, kBlack), 1000);
  EXPECT_EQ(Others(image), 0);
  view_.DrawWidth = 200;
  view_.DrawHeight = 100;
  view_.CentreX = -3000;
  const QImage corner = Draw(150, 45, all);
  EXPECT_EQ(Others(corner), 0);
  QImage empty;
  DrawBackground(empty, view_, orbits_, all);
}

// Vertices k = 0, 9, ..., 63 (every 45 degrees of mean anomaly) at zoom 87 and
// inclination 45 around (940, 430): pixel and whether Z >= 0. Worked out apart from
// the program, from the single-precision angles, with the same rounding.
struct PinnedVertex {
  int k, x, y;
  bool above;
};
void ExpectVertices(const std::array<OrbitVertex, kOrbitPoints>& vertices,
                    const std::vector<PinnedVertex>& pinned, const char* planet) {
  for (const PinnedVertex& p : pinned) {
    EXPECT_EQ(vertices[p.k].pixel, (PixelPoint{p.x, p.y})) << planet << " vertex " << p.k;
    EXPECT_EQ(vertices[p.k].above, p.above) << planet << " vertex " << p.k;
  }
}

TEST_F(BackgroundTest, OrbitVerticesAtAnInclinedViewLieOnTheirExactPixels) {
  UpdateView(view_, 87, 45);
  ExpectVertices(OrbitVertices(orbits_.rows[2], view_),
                 {{0, 946, 410, true},
                  {9, 917, 415, true},
                  {18, 906, 433, true},
                  {27, 913, 450, true},
                  {36, 931, 460, false},
                  {45, 952, 459, false},
                  {54, 968, 447, false},
                  {63, 969, 427, false}},
                 "Mercury");
  ExpectVertices(OrbitVertices(orbits_.rows[5], view_),
                 {{0, 1050, 467, false},
                  {9, 1049, 388, false},
                  {18, 971, 337, true},
                  {27, 874, 338, true},
                  {36, 808, 385, true},
                  {45, 802, 452, true},
                  {54, 864, 508, false},
                  {63, 967, 518, false}},
                 "Mars");
  ExpectVertices(OrbitVertices(orbits_.rows[8], view_),
                 {{0, -657, 365, true},
                  {9, -177, 1257, true},
                  {18, 1029, 1624, false},
                  {27, 2196, 1296, false},
                  {36, 2700, 501, false},
                  {45, 2298, -330, false},
                  {54, 1177, -751, true},
                  {63, -68, -483, true}},
                 "Uranus");
  ExpectVertices(OrbitVertices(orbits_.rows[9], view_),
                 {{0, 3539, 701, false},
                  {9, 3000, -661, false},
                  {18, 1241, -1377, false},
                  {27, -697, -1036, false},
                  {36, -1688, 156, true},
                  {45, -1162, 1506, true},
                  {54, 581, 2231, true},
                  {63, 2532, 1901, true}},
                 "Neptune");
}

TEST_F(BackgroundTest, TheDrawnPolylinePassesThroughItsVertices) {
  const QImage image = Draw(87, 45, Only(5));
  const auto vertices = OrbitVertices(orbits_.rows[5], view_);
  for (int k = 0; k + 1 < kOrbitPoints; ++k) {
    // Vertex k starts segment k + 1, whose colour its end point decides.
    const QRgb colour = vertices[k + 1].above ? kBlack : kRed;
    EXPECT_EQ(At(image, vertices[k].pixel.x, vertices[k].pixel.y), colour) << k;
  }
}

// Every planet at inclination 30, zoom 60: the whole picture, pixel for pixel. A
// deliberate change of the drawing prints the new digest to paste here.
TEST_F(BackgroundTest, AllPlanetsAtAnInclinedViewArePinnedPixelForPixel) {
  PlanetTicks all{};
  all.fill(true);
  const QImage image = Draw(60, 30, all);
  EXPECT_EQ(DigestHex(ImageDigest(image)), "00937d26c8f24a6e");
}

}  // namespace
}  // namespace stelvo
