#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "view/raster.h"
#include "view/run_frame.h"
#include "view/scene_colours.h"
#include "view/scene_images.h"
#include "view_test_support.h"

namespace stelvo {
namespace {

using test::At;
using test::BoundsOfNot;
using test::CountOf;
using test::ImageDigest;

constexpr double kFar = 1000;  // beyond the drawing limit

// Ten massive bodies and a few particles, all out of sight except the Sun at the origin;
// zoom 87, inclination 0, centre (400, 300) on an 800 x 600 silver background.
class RunFrameTest : public testing::Test {
 protected:
  RunFrameTest() : x_(14, kFar), y_(14, 0.0), z_(14, 0.0) {
    x_[0] = 0;
    UpdateView(view_, 87, 0);
    view_ = {
        view_.ZoomScale, view_.InclinationDeg, view_.SinIncl, view_.CosIncl, 400, 300, 800, 600};
    scene_.Resize(view_);
    ticks_.fill(true);
  }
  void Place(int body, double x, double y, double z) {
    x_[body - 1] = x;
    y_[body - 1] = y;
    z_[body - 1] = z;
  }
  const QImage& Draw() {
    scene_.DrawNextFrame(view_, {x_.data(), y_.data(), z_.data(), static_cast<int>(x_.size())},
                         ticks_);
    return scene_.Presented();
  }

  std::vector<double> x_, y_, z_;
  ViewState view_;
  SceneImages scene_;
  PlanetTicks ticks_{};
};

TEST_F(RunFrameTest, SunIsAYellowDiscWithBlackOutlineCentredOnTheProjectionCentre) {
  const QImage& frame = Draw();
  EXPECT_EQ(BoundsOfNot(frame, kSilver, frame.rect()), QRect(390, 290, 20, 20));
  EXPECT_EQ(At(frame, 400, 300), kYellow);
  EXPECT_EQ(At(frame, 390, 300), kBlack);
  EXPECT_EQ(At(frame, 409, 300), kBlack);
  EXPECT_EQ(At(frame, 400, 290), kBlack);
  EXPECT_EQ(At(frame, 400, 309), kBlack);
}

TEST_F(RunFrameTest, PlanetOneAuFromTheSunIsCentredZoomPixelsAway) {
  Place(4, 1, 0, 0);
  Place(3, 0, 1, 0);
  const QImage& frame = Draw();
  EXPECT_EQ(BoundsOfNot(frame, kSilver, QRect(470, 280, 40, 40)), QRect(482, 295, 10, 10));
  EXPECT_EQ(At(frame, 487, 300), kLightBlue);
  EXPECT_EQ(BoundsOfNot(frame, kSilver, QRect(380, 190, 40, 40)), QRect(395, 208, 10, 10));
  EXPECT_EQ(At(frame, 400, 213), kOrange);
}

TEST_F(RunFrameTest, PositionsAreDrawnRelativeToTheSun) {
  Place(1, 30.5, -20.25, 4);
  Place(4, 31.5, -20.25, 4);
  Place(11, 30.5, -19.25, 4);
  const QImage& frame = Draw();
  EXPECT_EQ(At(frame, 400, 300), kYellow);
  EXPECT_EQ(At(frame, 487, 300), kLightBlue);
  EXPECT_EQ(At(frame, 400, 213), kBlack);
}

TEST_F(RunFrameTest, JupitersBoxIsFourteenWideAndThirteenHigh) {
  Place(6, -2, 0, 0);  // pixel (226, 300)
  const QImage& frame = Draw();
  EXPECT_EQ(BoundsOfNot(frame, kSilver, QRect(200, 280, 50, 40)), QRect(219, 293, 14, 13));
  EXPECT_EQ(At(frame, 226, 300), QRgb(kJupiterColour));
}

TEST_F(RunFrameTest, SaturnHasALineFromLowerLeftTowardsUpperRightWithoutItsEndPoint) {
  Place(7, 0, -2, 0);  // pixel (400, 474)
  const QImage& frame = Draw();
  EXPECT_EQ(BoundsOfNot(frame, kSilver, QRect(370, 450, 60, 50)), QRect(390, 467, 20, 16));
  EXPECT_EQ(At(frame, 390, 482), kBlack);   // (px - 10, py + 8)
  EXPECT_EQ(At(frame, 409, 467), kBlack);   // last pixel set
  EXPECT_EQ(At(frame, 410, 466), kSilver);  // (px + 10, py - 8) is not
  EXPECT_EQ(At(frame, 400, 474), kBlack);   // the line crosses the disc's centre
  EXPECT_EQ(At(frame, 402, 474), QRgb(kSaturnColour));
  EXPECT_EQ(BoundsOfNot(frame, kSilver, QRect(370, 450, 60, 15)), QRect());
}

TEST_F(RunFrameTest, PlutoAndUntickedPlanetsAreNeverDrawnButTheSunsTickCounts) {
  Place(10, 1, 0, 0);
  Place(5, -1, 0, 0);
  ticks_[5] = false;
  const QImage& frame = Draw();
  EXPECT_EQ(CountOf(frame, kSilver), 800 * 600 - CountOf(frame, kYellow) - CountOf(frame, kBlack));
  EXPECT_EQ(At(frame, 487, 300), kSilver);
  ticks_[1] = false;
  EXPECT_EQ(CountOf(Draw(), kSilver), 800 * 600);
}

TEST_F(RunFrameTest, ParticleIsRedAtZeroAndBlackJustAboveDrawnOverDiscs) {
  Place(11, 1, 1, 0);
  Place(12, -1, 1, 1e-9);
  Place(13, 0, 0, -1e-9);  // on the Sun's centre
  const QImage& frame = Draw();
  EXPECT_EQ(At(frame, 487, 213), kRed);
  EXPECT_EQ(At(frame, 313, 213), kBlack);
  EXPECT_EQ(At(frame, 400, 300), kRed);
}

TEST_F(RunFrameTest, ParticleLimitTestsItsOwnXAndYButNotZ) {
  Place(1, 99.5, 99.5, 0);
  Place(11, 100, 99.5, 0);        // not drawn, would be (444, 300)
  Place(12, 99.5, -100, 0);       // not drawn either
  Place(13, 99.999, 99.5, 500);   // (443, 300), drawn
  Place(14, 99.5, 99.999, -1e6);  // (400, 257), drawn
  const QImage& frame = Draw();
  EXPECT_EQ(At(frame, 444, 300), kSilver);
  EXPECT_EQ(At(frame, 443, 300), kBlack);
  EXPECT_EQ(At(frame, 400, 257), kRed);
  EXPECT_EQ(CountOf(frame, kRed), 1);
}

TEST_F(RunFrameTest, MassiveBodyBeyondTheLimitInZIsNotDrawn) {
  Place(4, 1, 0, 100);
  Place(3, -1, 0, 99.99);
  const QImage& frame = Draw();
  EXPECT_EQ(At(frame, 487, 300), kSilver);
  EXPECT_EQ(At(frame, 313, 300), kOrange);
}

TEST_F(RunFrameTest, NanPositionsAreNeverDrawn) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  Place(4, nan, 0, 0);
  Place(11, 0.5, nan, 0);
  Place(12, 0.5, 0.5, nan);
  const QImage& frame = Draw();
  EXPECT_EQ(CountOf(frame, kRed) + CountOf(frame, kLightBlue), 0);
  Place(1, nan, nan, nan);  // the Sun itself: nothing but the background
  EXPECT_EQ(CountOf(Draw(), kSilver), 800 * 600);
}

TEST_F(RunFrameTest, BackgroundIsCopiedUnderTheBodies) {
  scene_.Background().fill(kBlue);
  reinterpret_cast<QRgb*>(scene_.Background().scanLine(5))[7] = kRed;
  const QImage& frame = Draw();
  EXPECT_EQ(At(frame, 7, 5), kRed);
  EXPECT_EQ(At(frame, 799, 599), kBlue);
  EXPECT_EQ(At(frame, 400, 300), kYellow);
}

TEST_F(RunFrameTest, FramesAlternateBetweenTwoBuffersThatKeepTheirMemory) {
  EXPECT_EQ(scene_.FrameIndex(), 0);
  EXPECT_EQ(CountOf(scene_.Presented(), kSilver), 800 * 600);  // before the first frame
  const uchar* first = scene_.Buffer(0).constBits();
  const uchar* second = scene_.Buffer(1).constBits();
  EXPECT_EQ(&Draw(), &scene_.Buffer(0));
  EXPECT_EQ(scene_.FrameIndex(), 1);
  Place(11, 1, 1, 0);
  EXPECT_EQ(&Draw(), &scene_.Buffer(1));
  EXPECT_EQ(At(scene_.Buffer(1), 487, 213), kRed);
  EXPECT_EQ(At(scene_.Buffer(0), 487, 213), kSilver);  // the older frame is untouched
  EXPECT_EQ(scene_.FrameIndex(), 0);
  Draw();
  EXPECT_EQ(scene_.Buffer(0).constBits(), first);
  EXPECT_EQ(scene_.Buffer(1).constBits(), second);
  scene_.Resize(view_);  // same size: the last frame stays
  EXPECT_EQ(At(scene_.Presented(), 487, 213), kRed);
}

TEST_F(RunFrameTest, ZeroSizedAreaDrawsNothingAndHarmlessly) {
  view_.DrawWidth = 0;
  scene_.Resize(view_);
  EXPECT_TRUE(Draw().isNull());
  EXPECT_EQ(scene_.FrameIndex(), 1);
}

TEST_F(RunFrameTest, EveryBodyHasItsDiscColourAndBox) {
  struct Disc {
    int body;
    QRgb fill;
    QRect box;         // around pixel (400, 300): left, top, width, height
    int outlineX = 0;  // the disc's left edge, if not the box's
  };
  const Disc discs[] = {
      {1, kYellow, {390, 290, 20, 20}},
      {2, kBlack, {397, 297, 6, 6}},
      {3, kOrange, {395, 295, 10, 10}},
      {4, kLightBlue, {395, 295, 10, 10}},
      {5, kRed, {397, 297, 6, 6}},
      {6, kJupiterColour, {393, 293, 14, 13}},
      {7, kSaturnColour, {390, 293, 20, 16}, 394},  // the line reaches out of the disc
      {8, kLightBlue, {394, 294, 12, 12}},
      {9, kBlue, {394, 294, 12, 12}},
  };
  for (const Disc& disc : discs) {
    ticks_.fill(false);
    ticks_[disc.body] = true;
    Place(disc.body, 0, 0, 0);  // on the Sun, which is not drawn now
    const QImage& frame = Draw();
    EXPECT_EQ(BoundsOfNot(frame, kSilver, frame.rect()), disc.box) << "body " << disc.body;
    EXPECT_EQ(At(frame, 401, 301), disc.fill | 0xff000000u) << "body " << disc.body;
    const int outlineX = disc.outlineX != 0 ? disc.outlineX : disc.box.left();
    EXPECT_EQ(At(frame, outlineX, 300), kBlack) << "outline of body " << disc.body;
    EXPECT_EQ(At(frame, outlineX - 1, 300), kSilver) << "outline of body " << disc.body;
    if (disc.body > 1) Place(disc.body, kFar, 0, 0);
  }
}

// The ten massive bodies at their start positions and 3000 particles, seen from a Sun
// away from the origin at inclination 30 and zoom 60: the whole frame, pixel for
// pixel. A deliberate change of the drawing prints the new digest to paste here.
TEST_F(RunFrameTest, AFrameAtAnInclinedViewIsPinnedPixelForPixel) {
  const double sun[3] = {0.25, -0.4, 0.3};
  const double massive[10][3] = {{0, 0, 0},
                                 {-0.13, -0.447, -0.0246},
                                 {-0.718, -0.0327, 0.041},
                                 {-0.177, 0.967, 0},
                                 {1.39, -0.0134, -0.0345},
                                 {4.0, 2.94, -0.102},
                                 {6.41, 6.57, -0.369},
                                 {14.4, -13.7, -0.238},
                                 {16.8, -25.0, 0.127},
                                 {-9.88, -28.0, 5.85}};
  const int count = 3010;
  x_.assign(count, 0), y_.assign(count, 0), z_.assign(count, 0);
  for (int i = 0; i < 10; ++i)
    Place(i + 1, massive[i][0] + sun[0], massive[i][1] + sun[1], massive[i][2] + sun[2]);
  std::uint32_t seed = 1;
  auto unit = [&seed] {  // uniform in [-1, 1)
    seed = seed * 134775813u + 1u;
    return seed / 2147483648.0 - 1;
  };
  for (int i = 10; i < count; ++i) {
    const double x = 8 * unit(), y = 6 * unit(), z = 2 * unit();  // z around the Sun's 0.3
    Place(i + 1, x, y, z);
  }
  UpdateView(view_, 60, 30);
  DrawBackground(scene_.Background(), view_, MakePlanetOrbits(), ticks_);
  const QImage& frame = Draw();
  EXPECT_GT(CountOf(frame, kRed), 500);
  EXPECT_EQ(DigestHex(ImageDigest(frame)), "72bb349d18f9b05d");
}

}  // namespace
}  // namespace stelvo
