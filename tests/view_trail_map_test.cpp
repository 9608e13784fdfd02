// The trail map: an encounter's grains near the Earth by time and rD - rE, with the
// Earth's path and its time marks.
#include <gtest/gtest.h>

#include <vector>

#include "initial/astronom.h"
#include "view/sky_colours.h"
#include "view/trail_map.h"
#include "view_test_support.h"

namespace stelvo {
namespace {

using test::At;

TEST(TimeTickMinutes, GivesTenThirtyOrSixtyMinutesAndLongerStepsForLongSpans) {
  const struct {
    double span;
    int tick;
  } cases[] = {{45, 10}, {80, 10}, {81, 30}, {240, 30}, {241, 60}, {480, 60},
               {900, 120}, {1440, 180}, {2880, 360}, {5760, 720}, {5761, 1440}, {30 * 1440, 5760}};
  for (const auto& c : cases) EXPECT_EQ(TimeTickMinutes(c.span), c.tick) << c.span;
}

TEST(NodeShade, HeavierGrainsAreDarker) {
  EXPECT_LT(qGray(NodeShade(4, 4)), qGray(NodeShade(2, 4)));
  EXPECT_LT(qGray(NodeShade(2, 4)), qGray(NodeShade(0, 4)));
  EXPECT_EQ(NodeShade(9, 4), NodeShade(4, 4));
}

// A storm like the Leonids' of 1999 from the 1899 trail: 300 grains within half an
// hour of 02:08 UTC, about 0.0009 AU outside the Earth's orbit, of uneven weight.
class TrailMapTest : public ::testing::Test {
 protected:
  TrailMapTest() {
    std::uint32_t seed = 7;
    auto unit = [&seed] {  // uniform in [-1, 1)
      seed = seed * 134775813u + 1u;
      return seed / 2147483648.0 - 1;
    };
    for (int i = 0; i < 300; ++i) {
      const double t = (unit() + unit() + unit()) / 3;  // bell-shaped
      nodes.push_back({kPeak + t * 30 / 1440, 0.0009 + 0.0003 * unit(), 1 + 2 * (unit() + 1)});
    }
    map.Resize(800, 360);
  }
  void Draw() {
    TrailEncounter encounter{};
    encounter.trailYear = 1899;
    encounter.peakJd = kPeak;
    encounter.lambdaSun = 235.285;
    encounter.nodes = nodes;
    map.Redraw(encounter, texts);
  }

  static constexpr double kPeak = 2451500.5 + (2 + 8 / 60.0) / 24;
  std::vector<EncounterNode> nodes;
  TrailMap map;
  TrailMapTexts texts;
};

TEST_F(TrailMapTest, TheAxesHoldEveryGrainAndThePeak) {
  Draw();
  EXPECT_EQ(map.Span().tickMinutes, 10);
  EXPECT_NEAR(map.MissTop(), 0.0015, 1e-12);  // steps of 0.0005 AU
  const QRect plot = map.PlotArea();
  for (const EncounterNode& node : nodes) {
    EXPECT_TRUE(plot.contains(map.PixelOf(node.earthJd, node.missAu)));
  }
  EXPECT_LT(map.Span().firstJd, kPeak);
  EXPECT_GT(map.Span().lastJd, kPeak);
}

TEST_F(TrailMapTest, TheEarthsPathRunsAtZeroMissAndTheHeaviestGrainIsDarkest) {
  Draw();
  const QRect plot = map.PlotArea();
  const int earthY = map.PixelOf(kPeak, 0).y();
  // The path's colour at both ends of the plot, away from any grain.
  EXPECT_EQ(At(map.Image(), plot.left() + 3, earthY), At(map.Image(), plot.right() - 3, earthY));
  EXPECT_NE(At(map.Image(), plot.left() + 3, earthY), kChartPlot | 0xff000000u);
  std::size_t heaviest = 0;
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    if (nodes[i].weight > nodes[heaviest].weight) heaviest = i;
  }
  const QPoint p = map.PixelOf(nodes[heaviest].earthJd, nodes[heaviest].missAu);
  EXPECT_EQ(At(map.Image(), p.x(), p.y()), NodeShade(1, 1) | 0xff000000u);
}

TEST_F(TrailMapTest, WithoutGrainsTheAxesSpanAnHourRoundThePeak) {
  nodes.clear();
  Draw();
  EXPECT_NEAR((map.Span().lastJd - map.Span().firstJd) * 1440, 60, 1e-6);
  EXPECT_NEAR(map.MissTop(), 1e-4, 1e-15);
}

// The whole plot, pixel for pixel (the texts lie outside it, so the fonts of the
// machine do not enter). A deliberate change of the drawing prints the new digest
// to paste here.
TEST_F(TrailMapTest, ThePlotIsPinnedPixelForPixel) {
  Draw();
  EXPECT_EQ(DigestHex(test::ImageDigest(map.Image().copy(map.PlotArea()))), "2b3376865e461faa");
}

}  // namespace
}  // namespace stelvo
