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
                      "--trails 1500..1899 --forecast 1999..1999",
                      "--trails 1899..1899 --forecast 1999..2200",
                      "--trails 1899..1899 --forecast 1999..1999 --per-trail 0",
                      "--trails 1899..1899 --forecast 1999..1999 --per-trail 19991",
                      "--trails 1899..1899 --forecast 1999..1999 --grain-min 2 --grain-max 1",
                      "--trails 1899..1899 --forecast 1999..1999 --near 0.5",
                      "--trails 1899..1899 --forecast 1999..1999 --density -3",
                      "--trails 1899..1899 --forecast 1999..1999 --window 0",
                      "--forecast-csv x.csv", "--epoch 2305447", "--epoch 2524958.5",
                      "--threads 0", "--threads 257", "--threads two"));

// The limits the parser and --help state are the library's: the last forecast year,
// the particles of a trail, the epoch span.
TEST(CliOptions, LimitsAreTheLibrarys) {
  EXPECT_TRUE(ParseCliOptions(Args("--trails 1899..1899 --forecast 1999..2199")).options);
  EXPECT_TRUE(ParseCliOptions(Args("--trails 1899..1899 --forecast 1999..1999 --per-trail 19990")).options);
  EXPECT_TRUE(ParseCliOptions(Args("--epoch 2305447.5")).options);
  const std::string usage = CliUsage();
  EXPECT_NE(usage.find("1..19990 (default 10000)"), std::string::npos);
  EXPECT_NE(usage.find("(inclusive, 1600..2199)"), std::string::npos);
  const CliOptions o = *ParseCliOptions({}).options;
  EXPECT_EQ(o.perTrail, ForecastSettings{}.perTrail);
  EXPECT_EQ(o.nearAu, ForecastSettings{}.encounterAu);
  EXPECT_EQ(o.captureAu, kDefaultCaptureAu);
}

}  // namespace
}  // namespace stelvo
