#include "initial/comet_solutions.h"

#include <gtest/gtest.h>

#include <string>

namespace stelvo {
namespace {

const OrbitSolution& SolutionAtLine(int line) {
  for (const OrbitSolution& s : BuiltInOrbitSolutions()) {
    if (s.line == line) return s;
  }
  throw std::out_of_range("no such line");
}

TEST(CometSolutions, TheShippedFilesParseClean) {
  ASSERT_NO_THROW(BuiltInOrbitSolutions());
  ASSERT_NO_THROW(BuiltInPerihelionHistory());
  ASSERT_NO_THROW(BuiltInReleaseEvents());
  EXPECT_EQ(BuiltInOrbitSolutions().size(), 36u);
  EXPECT_EQ(BuiltInPerihelionHistory().size(), 81u);
  for (const RecordedPassage& p : BuiltInPerihelionHistory()) {
    EXPECT_FALSE(p.source.empty()) << p.line;
  }
}

// Values read against comet_solutions.md and the rows' sources: units converted to
// AU/day^2, JPL's DT from the solution text, the rows not to be integrated back.
struct SolutionCase {
  int line;
  double a1, a2, a3, dt;
  bool usable;
};
constexpr SolutionCase kSolutions[] = {
    {2, 1.580981463194e-9, 9.186415933073e-11, 0, 0, true},  // 55P JPL J985/69
    {3, 1.58e-9, 9.19e-11, 0, 0, false},                     // its 3-digit copy
    {4, -0.13459e-8, 0.00927e-8, 0, 0, true},                // 55P IMCCE 0160
    {5, 3.35e-9, -4.29e-10, -9.57e-10, -32.8, true},         // 21P JPL K123/6
    {8, 3.166e-9, -0.599e-9, 0, 0, true},                    // 21P IHW, B1950
    {9, 0, 0, 0, 0, false},                                  // 21P SBDB: no A's shown
    {10, 1.38173e-8, -0.32885e-8, 0, 0, false},              // 109P IMCCE 0089
    {11, -0.00079e-8, -0.00266e-8, 0, 0, true},              // 109P MPC 21235
    {19, 2.041002176702e-10, 2.635817800183e-12, 0, 0, false},  // 2P K273/20, unverified
    {23, 7.86e-11, -1.15e-11, -1.53e-10, 131, true},            // 7P JPL K088/14
};

TEST(CometSolutions, ParametersAreInAuPerDaySquaredWithTheirTimeShift) {
  for (const SolutionCase& c : kSolutions) {
    const OrbitSolution& s = SolutionAtLine(c.line);
    EXPECT_DOUBLE_EQ(s.nonGrav.a1, c.a1) << c.line;
    EXPECT_DOUBLE_EQ(s.nonGrav.a2, c.a2) << c.line;
    EXPECT_DOUBLE_EQ(s.nonGrav.a3, c.a3) << c.line;
    EXPECT_EQ(s.nonGrav.dtDays, c.dt) << c.line;
    EXPECT_EQ(s.usableForHistory, c.usable) << c.line << " " << s.note;
    EXPECT_EQ(s.note.empty(), c.usable && c.line != 8) << c.line;
  }
}

TEST(CometSolutions, TheNearestUsableSolutionIsChosen) {
  const auto& all = BuiltInOrbitSolutions();
  EXPECT_EQ(NearestSolution(all, "21P/Giacobini-Zinner", 2446313.7)->line, 8);
  // 109P's IMCCE solution lies as near as MPC 21235 but is not for history.
  EXPECT_EQ(NearestSolution(all, "109P", 2448968.8)->line, 11);
  EXPECT_EQ(NearestSolution(all, "3200P/Phaethon", 2451545.0), nullptr);
}

TEST(CometSolutions, PassagesConvertTheirTimeScaleAndKnowDayLevelRows) {
  const auto& history = BuiltInPerihelionHistory();
  auto at = [&](int line) -> const RecordedPassage& {
    for (const RecordedPassage& p : history) {
      if (p.line == line) return p;
    }
    throw std::out_of_range("no such line");
  };
  EXPECT_EQ(at(4).jdTT, 2438880.50784);  // 55P 1965, TT
  EXPECT_FALSE(at(4).dayLevel);
  EXPECT_TRUE(at(29).dayLevel);  // 1P 240 BC, date only
  EXPECT_EQ(at(29).jdTT, 1633907.5);
  EXPECT_NEAR(at(17).jdTT - 2458371.76590, 69.184 / 86400, 1e-9);  // 21P 2018, UTC
  EXPECT_FALSE(at(14).usable);  // a prediction
  EXPECT_FALSE(at(59).usable);  // a JPL osculating TP
  EXPECT_FALSE(at(20).usable);  // 109P +188 of the fit's own starting orbit (Williams)
  EXPECT_TRUE(at(19).usable);   // ... not Waddington's, which also gives the -68 row
  EXPECT_FALSE(at(64).usable);  // 73P 1995 of fragment A, beside nucleus B's
}

// Each broken row gives one message naming the line and the field.
struct BadRow {
  const char* row;
  const char* expected;
};
constexpr const char* kSolutionHeader =
    "comet,solution,epoch_jd,A1,A2,A3,units,q,e,i,node,peri,tp_jd,source\n";
constexpr BadRow kBadSolutions[] = {
    {"X/a,s,2451000.5,1,2,,AU/d^3,1,0.5,10,20,30,2451000.5,src", "line 2 (X/a), field units"},
    {"X/a,s,2451000.5,1,2,,,1,0.5,10,20,30,2451000.5,src", "field units: is empty but"},
    {"X/a,s,2451000.5,1x,2,,AU/d^2,1,0.5,10,20,30,2451000.5,src", "field A1: is not a number"},
    {"X/a,s,2451000.5,,,,,1,1.2,10,20,30,2451000.5,src", "field e: must lie in [0, 1)"},
    {"X/a,s,2451000.5,,,,,1,0.5,10 (B1950),20,30,2451000.5,src", "must all be B1950 or all J2000"},
    {"X/a,s,,,,,,1,0.5,10,20,30,2451000.5,src", "field epoch_jd: is empty"},
    {"X/a,s,2451000.5,,,,,1,0.5,10,20,30", "has 12 fields, the header 14"},
    {"X/a,\"s,2451000.5", "a quoted field is not closed"},
};

TEST(CometSolutions, BrokenSolutionRowsNameLineAndField) {
  for (const BadRow& bad : kBadSolutions) {
    try {
      ParseOrbitSolutions(std::string(kSolutionHeader) + bad.row + "\n");
      ADD_FAILURE() << "accepted: " << bad.row;
    } catch (const CometDataError& e) {
      EXPECT_NE(std::string(e.what()).find(bad.expected), std::string::npos) << e.what();
    }
  }
  EXPECT_THROW(ParseOrbitSolutions("comet,solution\n"), CometDataError);
}

constexpr BadRow kBadPassages[] = {
    {"X/a,1998-02-28.5,2450874.0,TT,src", "field tp_jd: disagrees with tp_calendar"},
    {"X/a,1998-02-28.5,2450873.0,TCB,src", "field timescale: unknown time scale"},
    {"X/a,1998-13-28.5,2450872.5,TT,src", "field tp_calendar: has no such date"},
    {"X/a,28 Feb 1998,2450872.5,TT,src", "field tp_calendar: is not YYYY-MM-DD"},
    {"X/a,1965-02-28.0,2438819.5,UTC,src", "UTC before 1972"},
    // Two used rows of one year that disagree (109P's +188 had two, 28 d apart).
    {"X/a,0188-08-17.0,1789953.5,unspecified (model-dependent),src\n"
     "X/a,0188-07-20.0,1789925.5,unspecified (model-dependent),src",
     "line 3 (X/a): the year 188 has a second used passage (line 2) 28.00 d apart"},
};

TEST(CometSolutions, BrokenPassageRowsNameLineAndField) {
  for (const BadRow& bad : kBadPassages) {
    try {
      ParsePerihelionHistory(std::string("comet,tp_calendar,tp_jd,timescale,source\n") + bad.row);
      ADD_FAILURE() << "accepted: " << bad.row;
    } catch (const CometDataError& e) {
      EXPECT_NE(std::string(e.what()).find(bad.expected), std::string::npos) << e.what();
    }
  }
}

// The shipped 73P break-up, and the rows a trail could not use.
TEST(CometSolutions, ReleaseEventsCarryTheirFactorAndRefuseBadRows) {
  const std::optional<ReleaseEvent> split =
      EventOfPassage(BuiltInReleaseEvents(), "73P/Schwassmann-Wachmann", 1995);
  ASSERT_TRUE(split.has_value());
  EXPECT_EQ(split->speedFactor, 4);  // Egal et al. 2023
  EXPECT_EQ(split->brighteningMag, 7);
  EXPECT_FALSE(split->jdTT.has_value());
  EXPECT_FALSE(EventOfPassage(BuiltInReleaseEvents(), "73P", 2001).has_value());
  const std::string header =
      "comet,passage_year,kind,speed_factor,event_calendar,event_jd,brightening_mag,source,note\n";
  constexpr BadRow kBadEvents[] = {
      {"X/a,1995,split,4,,,,src,", "field kind: is 'split'"},
      {"X/a,1995,break-up,0,,,,src,", "field speed_factor: must lie in (0, 20]"},
      {"X/a,1995,outburst,2,,,-1,src,", "field brightening_mag: must lie in [0, 15]"},
      {"X/a,1995,outburst,2,1995-09-01.0,,,src,", "give event_calendar and event_jd both"},
      {"X/a,1995,outburst,2,1997-09-01.0,2450692.5,,src,", "outside the passage's year"},
      {"X/a,1995,outburst,2,,,,src,\nX/b,1995,break-up,4,,,,src,", "line 3 (X/b): a second event"},
  };
  for (const BadRow& bad : kBadEvents) {
    try {
      ParseReleaseEvents(header + bad.row);
      ADD_FAILURE() << "accepted: " << bad.row;
    } catch (const CometDataError& e) {
      EXPECT_NE(std::string(e.what()).find(bad.expected), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace stelvo
