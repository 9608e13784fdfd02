#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "initial/catalogue.h"
#include "meteors/survey.h"

namespace stelvo {
namespace {

constexpr int kTempelTuttle = 539, kGiacobiniZinner = 98;

SurveySettings Small() {
  SurveySettings s;
  s.comets = {kTempelTuttle, kGiacobiniZinner};
  s.forecast.trailFrom = 1940;
  s.forecast.trailTo = 1965;
  s.forecast.forecastFrom = 1998;
  s.forecast.forecastTo = 1999;
  s.forecast.perTrail = 200;
  s.forecast.stepDays = 2;
  s.forecast.encounterAu = 0.01;
  return s;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

// One small survey, planned and run task by task, shared by the tests.
class Survey : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    tasks_ = PlanSurvey(Small());
    TrailRunner runner;
    for (const SurveyTask& t : tasks_) rows_.push_back(*RunSurveyTask(Small(), t, runner));
  }
  static std::vector<SurveyTask> tasks_;
  static std::vector<std::string> rows_;
};
std::vector<SurveyTask> Survey::tasks_;
std::vector<std::string> Survey::rows_;

TEST_F(Survey, PlansEveryTrailOfEveryCometLargestFirst) {
  std::vector<std::pair<int, int>> planned;
  for (const SurveyTask& t : tasks_) planned.emplace_back(t.comet, t.trailYear);
  const std::vector<std::pair<int, int>> expected = {
      {kGiacobiniZinner, 1940}, {kGiacobiniZinner, 1946}, {kGiacobiniZinner, 1953},
      {kGiacobiniZinner, 1959}, {kTempelTuttle, 1965}};
  EXPECT_EQ(planned, expected);
  for (std::size_t k = 1; k < tasks_.size(); ++k) EXPECT_GE(tasks_[k - 1].cost, tasks_[k].cost);
}

// The survey's rows are each comet's forecast rows, the comet's designation first.
TEST_F(Survey, RowsAreTheForecastsRowsWithTheCometFirst) {
  std::vector<std::string> expected;
  for (int comet : Small().comets) {
    ForecastSettings f = Small().forecast;
    f.cometIndex = comet;
    const std::vector<std::string> lines = Lines(ForecastCsv(RunForecast(f).encounters));
    for (std::size_t k = 1; k < lines.size(); ++k) {
      expected.push_back(std::string(CometDisplayName(comet)) + "," + lines[k]);
    }
  }
  std::vector<std::string> got = Lines(SurveyCsv(Small(), tasks_, rows_));
  EXPECT_EQ(got.front(), "comet," + Lines(ForecastCsv({})).front());
  got.erase(got.begin());
  std::sort(got.begin(), got.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(got, expected);
}

TEST_F(Survey, TheCsvIsTheSameBytesInAnyOrderOfTasks) {
  const std::string csv = SurveyCsv(Small(), tasks_, rows_);
  std::vector<std::size_t> order(tasks_.size());
  for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
  do {
    std::vector<SurveyTask> tasks;
    std::vector<std::string> rows;
    for (std::size_t k : order) {
      tasks.push_back(tasks_[k]);
      rows.push_back(rows_[k]);
    }
    ASSERT_EQ(SurveyCsv(Small(), tasks, rows), csv);
  } while (std::next_permutation(order.begin(), order.end()));
  EXPECT_EQ(csv,
            "comet,trail,peak_utc,lambda_sun,miss_au,particles,ra,dec,vg,zhr,fwhm_min,peak_sigma_min\n"
            "55P/Tempel-Tuttle,1965,1998-11-17T18:56,235.2440,-0.00626,14,153.59,21.73,70.78,0,180,32.4\n"
            "55P/Tempel-Tuttle,1965,1999-11-18T01:25,235.2610,-0.00448,6,153.59,21.69,70.73,0,155,36.2\n"
            "21P/Giacobini-Zinner,1959,1999-10-09T10:30,195.7000,-0.00201,7,262.82,55.60,20.98,0,0,16.7\n");
}

struct CheckpointCase {
  const char* name;
  void (*change)(SurveySettings& settings, const std::string& path);
  bool kept;
};

const CheckpointCase kCheckpointCases[] = {
    {"same settings", [](SurveySettings&, const std::string&) {}, true},
    {"other grain count", [](SurveySettings& s, const std::string&) { s.forecast.perTrail = 201; },
     false},
    {"other forecast years",
     [](SurveySettings& s, const std::string&) { s.forecast.forecastTo = 2000; }, false},
    {"other nucleus",
     [](SurveySettings& s, const std::string&) { s.forecast.ejection.nucleusRadiusKm = 2; }, false},
    {"cut short",
     [](SurveySettings&, const std::string& path) {
       std::filesystem::resize_file(path, std::filesystem::file_size(path) - 3);
     },
     false},
    {"a row lost",
     [](SurveySettings&, const std::string& path) {
       std::ifstream in(path);
       std::vector<std::string> lines;
       for (std::string line; std::getline(in, line);) lines.push_back(line);
       in.close();
       lines.erase(lines.begin() + 1);
       std::ofstream out(path, std::ios::trunc);
       for (const std::string& line : lines) out << line << "\n";
     },
     false},
    {"not a checkpoint",
     [](SurveySettings&, const std::string& path) { std::ofstream(path, std::ios::trunc) << "x\n"; },
     false},
    {"missing", [](SurveySettings&, const std::string& path) { std::filesystem::remove(path); },
     false},
};

void PrintTo(const CheckpointCase& c, std::ostream* os) { *os << c.name; }

class Checkpoint : public testing::TestWithParam<CheckpointCase> {};

TEST_P(Checkpoint, IsTakenOnlyWhenWrittenWholeWithTheSameSettings) {
  const std::string dir = testing::TempDir() + "survey-checkpoint";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const SurveyTask task{kTempelTuttle, 1965, 0};
  const std::string rows = "55P/Tempel-Tuttle,1965,a\n55P/Tempel-Tuttle,1965,b\n";
  std::string error;
  ASSERT_TRUE(WriteCheckpoint(dir, Small(), task, rows, error)) << error;
  SurveySettings settings = Small();
  GetParam().change(settings, CheckpointPath(dir, task));
  const std::optional<std::string> read = ReadCheckpoint(dir, settings, task);
  EXPECT_EQ(read.has_value(), GetParam().kept) << GetParam().name;
  if (GetParam().kept) {
    EXPECT_EQ(*read, rows);
  }
  // A task without encounters is kept as well.
  ASSERT_TRUE(WriteCheckpoint(dir, Small(), task, "", error)) << error;
  EXPECT_EQ(ReadCheckpoint(dir, Small(), task), std::optional<std::string>(""));
}

INSTANTIATE_TEST_SUITE_P(Cases, Checkpoint, testing::ValuesIn(kCheckpointCases));

}  // namespace
}  // namespace stelvo
