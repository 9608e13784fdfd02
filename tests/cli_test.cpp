// stelvo-cli driven as a user drives it: as a separate process, judged by its
// exit status and what it prints.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct CliResult {
  int status;
  std::string out, err;
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("stelvo-cli-test-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  CliResult Run(const std::string& args) {
    const fs::path out = dir_ / "stdout", err = dir_ / "stderr";
    const std::string command = std::string(STELVO_CLI) + " " + args + " >" + out.string() + " 2>" +
                                err.string() + " </dev/null";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(out), ReadFile(err)};
  }

  fs::path dir_;
};

int Lines(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST_F(CliTest, BadInputIsOneLineOnStderrAndStatusTwo) {
  // Every bad command line is checked through the parser in cli_options_test.cpp;
  // these go through the process: an unknown option, a bad value, a missing partner.
  const std::vector<std::string> bad = {"--frobnicate", "--bodies ' 50'", "--step ''",
                                        "--trails 1899..1899"};
  for (const std::string& args : bad) {
    const CliResult r = Run(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(Lines(r.err), 1) << args << ": " << r.err;
    EXPECT_TRUE(r.out.empty()) << args;
  }
  EXPECT_NE(Run("--bodies 5x").err.find("--bodies"), std::string::npos);
  EXPECT_NE(Run("--step 5x").err.find("--step"), std::string::npos);
}

TEST_F(CliTest, HelpListsTheOptions) {
  const CliResult r = Run("--help");
  EXPECT_EQ(r.status, 0);
  for (const char* option : {"--bodies", "--step", "--steps", "--state", "--bench", "--comet",
                             "--dist", "--runs", "--csv", "--list-comets", "--png", "--frames",
                             "--digest", "--showers", "--capture", "--encounter", "--threads"}) {
    EXPECT_NE(r.out.find(option), std::string::npos) << option;
  }
}

TEST_F(CliTest, StatePrintsTimePassesAndTenBodies) {
  const CliResult r = Run("--bodies 10 --step 1 --steps 361 --state");
  ASSERT_EQ(r.status, 0) << r.err;
  std::istringstream in(r.out);
  std::string key;
  double time = 0;
  int passes = 0;
  in >> key >> time;
  EXPECT_EQ(key, "time_days");
  EXPECT_EQ(time, 365);
  in >> key >> passes;
  EXPECT_EQ(key, "startup_passes");
  EXPECT_EQ(passes, 6);
  for (int body = 1; body <= 10; ++body) {
    int index = 0;
    double v[6];
    in >> key >> index >> v[0] >> v[1] >> v[2] >> v[3] >> v[4] >> v[5];
    EXPECT_EQ(key, "body");
    EXPECT_EQ(index, body);
    if (body == 4) {
      EXPECT_NEAR(v[0], -0.1722540, 5e-8);
    }
  }
  EXPECT_EQ(Lines(r.out), 12);
}

// The state digest of the end of a run: one line of sixteen hex digits, the same for
// every instruction set, and another one a step later.
TEST_F(CliTest, DigestIsOneLineAndTheSameForEveryInstructionSet) {
  const CliResult reference = Run("--bodies 531 --steps 7 --dist 3 --digest --isa x86-64");
  ASSERT_EQ(reference.status, 0) << reference.err;
  ASSERT_EQ(Lines(reference.out), 1);
  ASSERT_EQ(reference.out.size(), std::string("state_digest ").size() + 17);
  EXPECT_EQ(reference.out.rfind("state_digest ", 0), 0u);
  for (const char* isa : {"avx2", "avx512"}) {
    const CliResult other =
        Run(std::string("--bodies 531 --steps 7 --dist 3 --digest --isa ") + isa);
    if (other.status == 1) continue;  // this processor lacks it
    EXPECT_EQ(other.out, reference.out) << isa;
  }
  EXPECT_NE(Run("--bodies 531 --steps 8 --dist 3 --digest").out, reference.out);
}

TEST_F(CliTest, BenchPrintsItsFiguresWithThreadsAndInstructionSet) {
  const CliResult r = Run("--bodies 200 --steps 20 --bench --threads 2");
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* key : {"isa ", "bodies 200\n", "startup_ms ", "ms_per_step ",
                          "steps_per_second ", "peak_rss_mb "}) {
    EXPECT_NE(r.out.find(key), std::string::npos) << key;
  }
  EXPECT_NE(r.out.find("threads 2\n"), std::string::npos) << r.out;
}

TEST_F(CliTest, BenchWithShowersPrintsTheScansPartOfAStep) {
  const fs::path rows = dir_ / "rows.csv";
  const CliResult with = Run("--bodies 300 --steps 20 --bench --showers " + rows.string());
  ASSERT_EQ(with.status, 0) << with.err;
  EXPECT_NE(with.out.find("\nshowers_ms_per_step "), std::string::npos) << with.out;
  const CliResult without = Run("--bodies 300 --steps 20 --bench");
  EXPECT_EQ(without.out.find("showers_ms_per_step"), std::string::npos) << without.out;
}

TEST_F(CliTest, ThreadCountsGiveTheSameCsv) {
  const fs::path one = dir_ / "one.csv", three = dir_ / "three.csv";
  ASSERT_EQ(Run("--bodies 1300 --steps 3 --threads 1 --csv " + one.string()).status, 0);
  ASSERT_EQ(Run("--bodies 1300 --steps 3 --threads 3 --csv " + three.string()).status, 0);
  EXPECT_EQ(Lines(ReadFile(one)), 1301);
  EXPECT_EQ(ReadFile(one), ReadFile(three));
}

TEST_F(CliTest, BatchRunsGoBeyondTheWindowsLargestCount) {
  const fs::path csv = dir_ / "large.csv";
  const CliResult r = Run("--bodies 50000 --step 10 --steps 1 --csv " + csv.string());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(ReadFile(csv)), 50001);
}

TEST_F(CliTest, CsvHoldsEveryBodyAndRunsContinueTheRandomSequence) {
  const fs::path one = dir_ / "one.csv", two = dir_ / "two.csv", again = dir_ / "again.csv";
  ASSERT_EQ(Run("--bodies 60 --steps 3 --csv " + one.string()).status, 0);
  ASSERT_EQ(Run("--bodies 60 --steps 3 --runs 2 --csv " + two.string()).status, 0);
  ASSERT_EQ(Run("--bodies 60 --steps 3 --csv " + again.string()).status, 0);
  const std::string first = ReadFile(one);
  EXPECT_EQ(first.rfind("body,x,y,z,vx,vy,vz\n", 0), 0u);
  EXPECT_EQ(Lines(first), 61);
  EXPECT_EQ(first, ReadFile(again));  // two processes agree
  EXPECT_NE(first, ReadFile(two));    // the second run of a process differs
  for (const auto& entry : fs::directory_iterator(dir_)) {
    EXPECT_EQ(entry.path().string().find(".tmp."), std::string::npos) << entry.path();
  }
}

TEST_F(CliTest, ForecastWithASiteAndAnUnwritableCalendarIsStatusOneAndNoFile) {
  const fs::path csv = dir_ / "site.csv";
  const CliResult r = Run(
      "--comet 539 --trails 1965..1965 --forecast 1998..1998 --per-trail 300 --trail-step 2 "
      "--site 37.2236,-2.5463 --forecast-csv " + csv.string() + " --ical " +
      (dir_ / "missing" / "x.ics").string());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(Lines(r.err), 1) << r.err;
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
  EXPECT_EQ(ReadFile(csv).rfind("trail,peak_utc,lambda_sun,miss_au,particles,ra,dec,vg,zhr,fwhm_min,"
                                "peak_sigma_min,radiant_alt,sun_alt,moon_illum,moon_alt,hr\n", 0),
            0u);
}

TEST_F(CliTest, AnUnwritableCsvIsOneLineAndStatusOne) {
  const CliResult r = Run("--bodies 10 --steps 1 --csv " + (dir_ / "missing" / "x.csv").string());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(Lines(r.err), 1) << r.err;
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

TEST_F(CliTest, ShowersWritesEveryCrossingAndPrintsThePerseids) {
  const fs::path csv = dir_ / "showers.csv";
  const CliResult r = Run("--comet 533 --bodies 1000 --steps 300 --showers " + csv.string());
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string rows = ReadFile(csv);
  EXPECT_EQ(rows.rfind("t_days,utc,particle,lambda_sun,r_au,dr_au,earth_au,ra,dec,vg\n", 0), 0u);
  std::istringstream in(rows);
  std::string line;
  std::getline(in, line);
  int count = 0;
  while (std::getline(in, line)) {
    ++count;
    EXPECT_EQ(std::count(line.begin(), line.end(), ','), 9) << line;
    EXPECT_EQ(line.find('T'), line.find(',') + 11) << line;  // YYYY-MM-DDTHH:MM
  }
  std::istringstream out(r.out);
  std::string key;
  long long crossings = 0;
  out >> key >> crossings;
  EXPECT_EQ(key, "crossings");
  EXPECT_EQ(crossings, count);
  const auto shower = r.out.find("shower 139.");
  ASSERT_NE(shower, std::string::npos) << r.out;
  std::istringstream perseids(r.out.substr(shower));
  double lambda = 0, ra = 0, dec = 0, vg = 0;
  int captured = 0, encounters = -1;
  std::string date;
  perseids >> key >> lambda >> date >> ra >> dec >> vg >> captured >> encounters;
  EXPECT_EQ(date, "08-12");
  EXPECT_NEAR(ra, 45.5, 0.5);
  EXPECT_NEAR(dec, 57.2, 0.5);
  EXPECT_NEAR(vg, 59.2, 0.1);
  EXPECT_GT(captured, 0);
  EXPECT_EQ(encounters, 0);
  // A capture width narrower than the 0.02 AU of this node leaves no shower.
  const CliResult narrow =
      Run("--comet 533 --bodies 1000 --steps 300 --capture 0.015 --showers " + csv.string());
  ASSERT_EQ(narrow.status, 0) << narrow.err;
  EXPECT_EQ(narrow.out.find("shower "), std::string::npos) << narrow.out;
}

TEST_F(CliTest, AnUnwritableShowersFileIsOneLineAndStatusOne) {
  const CliResult r =
      Run("--bodies 50 --steps 2 --showers " + (dir_ / "missing" / "s.csv").string());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(Lines(r.err), 1) << r.err;
  EXPECT_TRUE(r.out.empty()) << r.out;
}

extern "C" char** environ;

// Starts stelvo-cli with `args`, kills it after `delay` and waits for it; a
// negative delay lets it finish.
void RunAndKill(const std::vector<std::string>& args, std::chrono::microseconds delay) {
  std::vector<char*> argv{const_cast<char*>(STELVO_CLI)};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, STELVO_CLI, nullptr, nullptr, argv.data(), environ), 0);
  if (delay.count() >= 0) {
    std::this_thread::sleep_for(delay);
    kill(pid, SIGKILL);
  }
  int status = 0;
  waitpid(pid, &status, 0);
}

TEST_F(CliTest, AKilledWriteLeavesTheOldFileOrTheWholeNewOne) {
  const fs::path csv = dir_ / "cloud.csv";
  const std::string old = "the previous export\n";
  const std::vector<std::string> args = {"--bodies", "20000", "--steps",
                                         "1",        "--csv", csv.string()};
  // Kill times spread over one whole run, however fast this build is.
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(Run("--bodies 20000 --steps 1 --csv " + csv.string()).status, 0);
  const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - start);
  int replaced = 0;
  for (int k = 0; k < 30; ++k) {
    { std::ofstream(csv) << old; }
    // The last run is not killed: on a loaded machine the later runs may all take
    // longer than the timed one, and at least one must show a finished file.
    RunAndKill(args, k == 29 ? std::chrono::microseconds(-1) : whole * k / 20);
    const std::string now = ReadFile(csv);
    if (now != old) {
      ++replaced;
      EXPECT_EQ(Lines(now), 20001) << "a torn file, kill " << k;
      EXPECT_EQ(now.substr(now.size() - 1), "\n");
    }
    for (const auto& entry : fs::directory_iterator(dir_)) {
      const std::string name = entry.path().filename().string();
      if (name.find(".tmp.") != std::string::npos) {
        EXPECT_EQ(Lines(ReadFile(entry.path())), 20001) << "a partial temporary file " << name;
      }
    }
  }
  EXPECT_GT(replaced, 0);
}

TEST_F(CliTest, ARunCanStartAtAnotherEpoch) {
  const CliResult r = Run("--bodies 10 --step 1 --steps 1 --state --epoch 2415020.5");
  ASSERT_EQ(r.status, 0) << r.err;
  const CliResult j2000 = Run("--bodies 10 --step 1 --steps 1 --state");
  EXPECT_NE(r.out, j2000.out);
}

TEST_F(CliTest, ForecastPrintsTheTableAndWritesTheCsv) {
  const fs::path csv = dir_ / "forecast.csv";
  const CliResult r =
      Run("--comet 539 --trails 1965..1965 --forecast 1998..1998 --per-trail 300 "
          "--trail-step 2 --forecast-csv " +
          csv.string());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("55P/Tempel-Tuttle"), std::string::npos);
  EXPECT_NE(r.out.find("trail 1965  perihelion 1965-04-29"), std::string::npos) << r.out;
  const std::string text = ReadFile(csv);
  EXPECT_EQ(text.rfind("trail,peak_utc,lambda_sun,miss_au,particles,ra,dec,vg,zhr,fwhm_min,peak_sigma_min\n", 0), 0u);
  for (const auto& entry : fs::directory_iterator(dir_)) {
    EXPECT_EQ(entry.path().string().find(".tmp."), std::string::npos) << entry.path();
  }
}

TEST_F(CliTest, StreamPrintsTheShowerItsProfileAndWritesTheCrossings) {
  const fs::path csv = dir_ / "stream.csv";
  const CliResult r = Run("--comet 539 --stream 1932..1965 --forecast 1998..1999 --per-trail 100 "
                          "--trail-step 2 --far-step 2 --showers " + csv.string());
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* line : {"return 1932  perihelion 1932-07-1", "  IMCCE note 0160\n",
                           "\nshower 235.", "\nactivity 235.", "\nprofile 235.5"}) {
    EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;
  }
  const std::string text = ReadFile(csv);
  // Exactly the header of a run's --showers file.
  EXPECT_EQ(text.rfind("t_days,utc,particle,lambda_sun,r_au,dr_au,earth_au,ra,dec,vg\n", 0), 0u);
  EXPECT_GT(Lines(text), 10);
}

// Streams that cannot run: one line, status 2, nothing on stdout.
TEST_F(CliTest, AStreamThatCannotRunIsOneLineAndStatusTwo) {
  for (const char* args : {
           "--stream 1970..1990 --forecast 1999..1999",  // no perihelion passage
           "--stream 1965..1900 --forecast 1999..1999",  // backwards
           "--stream -3001..1965 --forecast 1999..1999",  // before the planets' range
           "--stream 1900..1965 --forecast 1999..3000",   // after it
           "--stream 1900..1965 --forecast 1999..1999 --solutions /nonexistent/solutions.csv",
       }) {
    const CliResult r = Run(std::string("--comet 539 ") + args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(Lines(r.err), 1) << args << ": " << r.err;
    EXPECT_TRUE(r.out.empty()) << args;
  }
}

// The trail picture of the strongest encounter as a PNG of --width x --height; an
// unwritable place or no encounter to draw is status 1 with one line and no file.
TEST_F(CliTest, TrailMapIsAPngOfTheStrongestEncounterOrStatusOneAndNoFile) {
  // The 1999 Leonid storm from the 1899 trail: a dozen grains near the Earth.
  const std::string forecast =
      "--comet 539 --trails 1899..1899 --forecast 1999..1999 --per-trail 500 --trail-step 2 ";
  const fs::path png = dir_ / "trail.png";
  const CliResult r = Run(forecast + "--width 640 --height 300 --trail-map " + png.string());
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string bytes = ReadFile(png);
  ASSERT_GT(bytes.size(), 24u);
  EXPECT_EQ(bytes.substr(1, 3), "PNG");
  auto bigEndian = [&](std::size_t at) {
    unsigned value = 0;
    for (std::size_t k = 0; k < 4; ++k) value = value << 8 | static_cast<unsigned char>(bytes[at + k]);
    return value;
  };
  EXPECT_EQ(bigEndian(16), 640u);  // the header's width and height
  EXPECT_EQ(bigEndian(20), 300u);
  for (const std::string& wrong :
       {"--trail-map " + (dir_ / "missing" / "x.png").string(),
        "--trail-map " + (dir_ / "none.png").string() + " --trail-map-trail 1866"}) {
    const CliResult failed = Run(forecast + wrong);
    EXPECT_EQ(failed.status, 1) << wrong;
    EXPECT_EQ(Lines(failed.err), 1) << failed.err;
  }
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
  EXPECT_FALSE(fs::exists(dir_ / "none.png"));
  for (const auto& entry : fs::directory_iterator(dir_)) {
    EXPECT_EQ(entry.path().string().find(".tmp."), std::string::npos) << entry.path();
  }
}

TEST_F(CliTest, ListCometsPrintsTheCatalogueWithIndices) {
  const CliResult r = Run("--list-comets");
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(Lines(r.out), 588);
  EXPECT_EQ(r.out.rfind("0 ", 0), 0u);
  EXPECT_NE(r.out.find("\n587 "), std::string::npos);
}

}  // namespace
