// stelvo-cli's option parser in this process: every bad command line is refused
// with one line naming the option; a few of them also go through the real process
// in cli_test.cpp, where the exit status and the streams are what is tested.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli_options.h"

namespace stelvo {
namespace {

// Splits at blanks; '' is an empty argument and ' 50' keeps its blank, as a shell does.
std::vector<std::string> Args(const std::string& line) {
  std::vector<std::string> args;
  std::string arg;
  bool quoted = false, any = false;
  for (char c : line) {
    if (c == '\'') {
      quoted = !quoted;
      any = true;
    } else if (c == ' ' && !quoted) {
      if (any) args.push_back(arg);
      arg.clear();
      any = false;
    } else {
      arg += c;
      any = true;
    }
  }
  if (any) args.push_back(arg);
  return args;
}

class BadCommandLine : public ::testing::TestWithParam<const char*> {};

TEST_P(BadCommandLine, IsRefusedWithOneLineNamingAnOption) {
  const CliParse parse = ParseCliOptions(Args(GetParam()));
  EXPECT_FALSE(parse.options.has_value());
  EXPECT_FALSE(parse.error.empty());
  EXPECT_EQ(parse.error.find('\n'), std::string::npos) << parse.error;
  EXPECT_NE(parse.error.find("--"), std::string::npos) << parse.error;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, BadCommandLine,
    ::testing::Values("--frobnicate", "--bodies", "--bodies x", "--bodies 5x", "--bodies 9",
                      "--bodies 1000001", "--bodies ' 50'", "--bodies 1e3", "--step 0", "--step -1",
                      "--step 100.5", "--step 5x", "--step nan", "--step inf", "--step ''",
                      "--steps 0", "--steps 1.5", "--comet 588", "--comet -1", "--dist 4",
                      "--runs 0", "--width 63", "--height 8193", "--zoom 14", "--incl 91",
                      "--planets 1", "--planets 4,4", "--planets 4,", "--every 0", "--isa sse9",
                      "state", "--state --steps", "--capture 0", "--capture -0.1",
                      "--capture 1.5", "--capture x", "--encounter nan", "--encounter 0",
                      "--encounter", "--showers ''", "--trails 1899..1899",
                      "--forecast 1999..1999", "--trails 1899 --forecast 1999..1999",
                      "--trails 1899..1800 --forecast 1999..1999",
                      "--trails -3001..1899 --forecast 1999..1999",
                      "--passages 1900..3000", "--passages 2000..1900", "--passages 1900",
                      "--passages 1900..2000 --fit-passages", "--save-solution s.csv",
                      "--fit-passages --trails 1899..1899 --forecast 1999..1999",
                      "--trails 1899..1899 --forecast 1999..2999",
                      "--trails 1899..1899 --forecast 1999..1999 --per-trail 0",
                      "--trails 1899..1899 --forecast 1999..1999 --per-trail 1000001",
                      "--trails 1899..1899 --forecast 1999..1999 --grain-min 2 --grain-max 1",
                      "--trails 1899..1899 --forecast 1999..1999 --near 0.5",
                      "--trails 1899..1899 --forecast 1999..1999 --density -3",
                      "--trails 1899..1899 --forecast 1999..1999 --window 0",
                      "--forecast-csv x.csv", "--stream 1899..1965", "--trails 0..0",
                      "--stream -5..0", "--forecast 0..3", "--trails 0..1 --stream 0..1 --forecast 5..9",
                      "--stream 1965..1899 --forecast 1999..1999",
                      "--stream -3001..1899 --forecast 1999..1999",
                      "--stream 1960..1965 --forecast 1950..1999",
                      "--stream 1899..1965 --trails 1899..1965 --forecast 1999..1999",
                      "--stream 1899..1965 --forecast 1999..1999 --far-step 0",
                      "--stream 1899..1965 --forecast 1999..1999 --near-years 0",
                                                                  "--forecast-csv x.csv", "--epoch 625307", "--epoch 2816787.5",
                      "--threads 0", "--threads 257", "--threads two", "--site 10,10",
                      "--ical x.ics", "--trails 1899..1899 --forecast 1999..1999 --site 91,0",
                      "--trails 1899..1899 --forecast 1999..1999 --site 0,180.5",
                      "--trails 1899..1899 --forecast 1999..1999 --site -90.1,-10",
                      "--trails 1899..1899 --forecast 1999..1999 --site north,east",
                      "--trails 1899..1899 --forecast 1999..1999 --site 45",
                      "--trails 1899..1899 --forecast 1999..1999 --site 45,nan",
                      "--trails 1899..1899 --forecast 1999..1999 --site '45, 7'",
                      "--trails 1899..1899 --forecast 1999..1999 --ical ''",
                      "--trail-map x.png", "--trails 1899..1899 --forecast 1999..1999 --trail-map ''",
                      "--trails 1899..1899 --forecast 1999..1999 --trail-map-year 1999",
                      "--trails 1899..1899 --forecast 1999..1999 --trail-map x.png "
                      "--trail-map-trail -3001",
                      "--trails 1899..1899 --forecast 1999..1999 --trail-map x.png "
                      "--trail-map-year 1999.5"));

// The limits the parser and --help state are the library's: the last forecast year,
// the particles of a trail, the epoch span.
TEST(CliOptions, LimitsAreTheLibrarys) {
  EXPECT_TRUE(ParseCliOptions(Args("--trails 1899..1899 --forecast 1999..2998")).options);
  EXPECT_TRUE(ParseCliOptions(Args("--trails -1000..1986 --forecast -500..-400")).options);
  // Year 0 (1 BC) is a year like any other.
  EXPECT_TRUE(ParseCliOptions(Args("--trails 0..0 --forecast 1999..1999 --forecast-csv x.csv")).options);
  EXPECT_TRUE(ParseCliOptions(Args("--stream -9..0 --forecast 0..2")).options);
  EXPECT_TRUE(ParseCliOptions(Args("--trails 1899..1899 --forecast 1999..1999 --per-trail 1000000")).options);
  EXPECT_TRUE(ParseCliOptions(Args("--epoch 625307.5")).options);
  EXPECT_FALSE(ParseCliOptions(Args("--epoch 625307.4")).options);
  const std::string usage = CliUsage();
  EXPECT_NE(usage.find("1..1000000 (default 19990)"), std::string::npos);
  EXPECT_NE(usage.find("(inclusive, -3000..2998)"), std::string::npos);
  const CliOptions o = *ParseCliOptions({}).options;
  EXPECT_EQ(o.perTrail, ForecastSettings{}.perTrail);
  EXPECT_EQ(o.nearAu, ForecastSettings{}.encounterAu);
  EXPECT_EQ(o.captureAu, kDefaultCaptureAu);
}

}  // namespace
}  // namespace stelvo
