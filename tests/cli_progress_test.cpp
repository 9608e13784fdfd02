// stelvo-cli's progress display and Ctrl+C, driven as a user drives them: under a
// pseudo-terminal, through pipes, and interrupted by SIGINT in the middle of a run.
// STELVO_PROGRESS_THRESHOLD=0 makes any run count as long, so that the runs here
// last about a second rather than the two seconds a real terminal waits for.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern "C" char** environ;

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

struct Outcome {
  int status = -1;  // exit status, or -1 when ended by a signal
  std::string out, err;
};

// A run long enough for several progress updates: about 1.5 s, whatever the speed of
// this build and the load of the machine, as measured on a short run first.
int LongRunSteps() {
  static const int steps = [] {
    constexpr int kProbeSteps = 2000;
    const auto start = std::chrono::steady_clock::now();
    const std::string probe = std::string(STELVO_CLI) + " --bodies 2000 --steps " +
                              std::to_string(kProbeSteps) + " >/dev/null 2>&1";
    if (std::system(probe.c_str()) != 0) return kProbeSteps;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return std::clamp(int(kProbeSteps * 1.5 / seconds), kProbeSteps, 2000000);
  }();
  return steps;
}

std::vector<std::string> LongRun() {
  return {"--bodies", "2000", "--steps", std::to_string(LongRunSteps()), "--state"};
}

class CliProgressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("stelvo-progress-test-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  static std::vector<char*> Argv(std::vector<std::string>& args) {
    args.insert(args.begin(), STELVO_CLI);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return argv;
  }

  // stderr on a pseudo-terminal; stdout into a file.
  Outcome RunOnTerminal(std::vector<std::string> args, const char* threshold) {
    const fs::path out = dir_ / "terminal.out";
    std::vector<char*> argv = Argv(args);
    int master = -1;
    winsize size{};
    size.ws_col = 120;
    size.ws_row = 24;
    const pid_t pid = forkpty(&master, nullptr, nullptr, &size);
    if (pid == 0) {
      if (threshold) setenv("STELVO_PROGRESS_THRESHOLD", threshold, 1);
      const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(fd, STDOUT_FILENO);
      execv(STELVO_CLI, argv.data());
      _exit(127);
    }
    Outcome r;
    char buffer[4096];
    while (true) {
      const ssize_t n = read(master, buffer, sizeof buffer);
      if (n > 0) {
        r.err.append(buffer, std::size_t(n));
      } else if (n < 0 && errno == EINTR) {
        continue;
      } else {
        break;  // EIO: the terminal's last user has gone
      }
    }
    close(master);
    int status = 0;
    waitpid(pid, &status, 0);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = ReadFile(out);
    return r;
  }

  // stdout and stderr into files; `interruptAfter` sends SIGINT once stderr holds it.
  Outcome RunThroughFiles(std::vector<std::string> args, const char* threshold,
                          const std::string& interruptAfter = "") {
    const fs::path out = dir_ / "files.out", err = dir_ / "files.err";
    std::vector<char*> argv = Argv(args);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    if (threshold) env.push_back(std::string("STELVO_PROGRESS_THRESHOLD=") + threshold);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, STELVO_CLI, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return {};
    if (!interruptAfter.empty()) {
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
      while (!Contains(ReadFile(err), interruptAfter) &&
             std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
      kill(pid, SIGINT);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), ReadFile(err)};
  }

  fs::path dir_;
};

TEST_F(CliProgressTest, ATerminalShowsTheLineInPlaceAndClearsItAtTheEnd) {
  std::vector<std::string> args = LongRun();
  args.insert(args.end(), {"--csv", (dir_ / "terminal.csv").string()});
  const Outcome r = RunOnTerminal(args, "0");
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* part : {"\rsteps ", "%  year 2", "  elapsed 0:0", "  left "}) {
    EXPECT_TRUE(Contains(r.err, part)) << part << " in " << r.err;
  }
  // Each update rewrites the line and clears its rest; the last one only clears.
  EXPECT_TRUE(Contains(r.err, "\x1b[K\r"));
  EXPECT_EQ(r.err.substr(r.err.size() - 4), "\r\x1b[K");
  EXPECT_FALSE(Contains(r.err, "\n"));
  // At most a few updates a second.
  const auto updates = std::count(r.err.begin(), r.err.end(), '\r');
  EXPECT_LE(updates, 40) << r.err;
}

TEST_F(CliProgressTest, AShortRunOnATerminalShowsNothing) {
  const Outcome r = RunOnTerminal({"--bodies", "50", "--steps", "20", "--state"}, nullptr);
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(Contains(r.out, "time_days 120\n"));
}

TEST_F(CliProgressTest, OffATerminalNothingIsPrintedUnlessAsked) {
  const Outcome quiet = RunThroughFiles(LongRun(), "0");
  ASSERT_EQ(quiet.status, 0);
  EXPECT_EQ(quiet.err, "");

  std::vector<std::string> args = LongRun();
  args.push_back("--progress");
  const Outcome asked = RunThroughFiles(args, nullptr);
  ASSERT_EQ(asked.status, 0);
  EXPECT_FALSE(Contains(asked.err, "\r"));
  EXPECT_FALSE(Contains(asked.err, "\x1b"));
  // One plain line per second at most, the last with the whole work done.
  EXPECT_GE(std::count(asked.err.begin(), asked.err.end(), '\n'), 1);
  // The last line: the whole work done, the year reached after start-up and steps.
  const int steps = LongRunSteps();
  char year[32];
  std::snprintf(year, sizeof year, "%.2f", 2000 + 5.0 * (4 + steps) / 365.25);
  EXPECT_TRUE(Contains(asked.err, "steps " + std::to_string(steps) + "/" + std::to_string(steps) +
                                      "  100%  year " + year))
      << asked.err;
  EXPECT_EQ(asked.out, quiet.out);
}

TEST_F(CliProgressTest, OutputAndFilesAreTheSameBytesWithAndWithoutProgress) {
  const fs::path plainCsv = dir_ / "plain.csv", shownCsv = dir_ / "shown.csv";
  std::vector<std::string> plain = LongRun(), shown = LongRun();
  plain.insert(plain.end(), {"--csv", plainCsv.string()});
  shown.insert(shown.end(), {"--csv", shownCsv.string(), "--progress"});
  const Outcome withoutProgress = RunThroughFiles(plain, nullptr);
  const Outcome onTerminal = RunOnTerminal(shown, "0");
  ASSERT_EQ(withoutProgress.status, 0);
  ASSERT_EQ(onTerminal.status, 0);
  EXPECT_TRUE(Contains(onTerminal.err, "\rsteps "));
  EXPECT_EQ(withoutProgress.out, onTerminal.out);
  EXPECT_EQ(ReadFile(plainCsv), ReadFile(shownCsv));
  EXPECT_EQ(std::count(onTerminal.out.begin(), onTerminal.out.end(), '\n'), 12);
}

TEST_F(CliProgressTest, HelpNamesTheProgressOptionAndTheInterruptedStatus) {
  const Outcome r = RunThroughFiles({"--help"}, nullptr);
  ASSERT_EQ(r.status, 0);
  EXPECT_TRUE(Contains(r.out, "--progress"));
  EXPECT_TRUE(Contains(r.out, "130 interrupted"));
}

TEST_F(CliProgressTest, CtrlCStopsAtAStepBoundaryKeepsTheOldFileAndExitsWith130) {
  const fs::path csv = dir_ / "cloud.csv";
  const std::string old = "the previous export\n";
  { std::ofstream(csv) << old; }
  std::vector<std::string> args = {"--bodies", "2000",       "--steps", "1000000",
                                   "--state",  "--progress", "--csv",   csv.string()};
  // Plain lines come once a second; the first shows the steps under way.
  const Outcome r = RunThroughFiles(args, nullptr, "steps ");
  EXPECT_EQ(r.status, 130) << r.err;
  EXPECT_EQ(ReadFile(csv), old);
  for (const auto& entry : fs::directory_iterator(dir_)) {
    EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
  }
  // The summary names the steps done; --state shows the state they reached.
  const auto at = r.err.find("stelvo-cli: interrupted after ");
  ASSERT_NE(at, std::string::npos) << r.err;
  std::istringstream summary(r.err.substr(at + 30));
  long steps = 0;
  summary >> steps;
  EXPECT_GT(steps, 0);
  EXPECT_LT(steps, 1000000);
  EXPECT_TRUE(Contains(r.err, " of 1000000 steps ("));
  EXPECT_TRUE(Contains(r.err, "no file written\n"));
  std::istringstream state(r.out);
  std::string key;
  double days = 0;
  state >> key >> days;
  EXPECT_EQ(key, "time_days");
  EXPECT_EQ(days, 5.0 * (4 + steps));  // the start-up's four steps, then one per step done
}

TEST_F(CliProgressTest, CtrlCDuringAShowerRunSumsUpTheCrossingsFoundAndWritesNoFile) {
  const fs::path csv = dir_ / "crossings.csv";
  const std::string old = "the previous crossings\n";
  { std::ofstream(csv) << old; }
  const Outcome r = RunThroughFiles({"--comet", "533", "--bodies", "2000", "--step", "1", "--steps",
                                     "1000000", "--progress", "--showers", csv.string()},
                                    nullptr, "steps ");
  EXPECT_EQ(r.status, 130) << r.err;
  EXPECT_EQ(ReadFile(csv), old);
  EXPECT_EQ(r.out.rfind("crossings ", 0), 0u) << r.out;
  EXPECT_TRUE(Contains(r.out, "\ncaptured "));
}

// The 1999 Leonid storm's trail with few grains: a forecast of about a second.
const std::vector<std::string> kSmallForecast = {
    "--comet", "539", "--trails", "1899..1899", "--forecast", "1999..1999", "--per-trail", "300"};

// stdout without its last line, which gives the time taken.
std::string WithoutTiming(const std::string& out) {
  const auto end = out.rfind('\n', out.size() - 2);
  return end == std::string::npos ? out : out.substr(0, end + 1);
}

TEST_F(CliProgressTest, AForecastShowsItsProgressAndGivesTheSameTableWithoutIt) {
  const fs::path shownCsv = dir_ / "shown.csv", plainCsv = dir_ / "plain.csv";
  std::vector<std::string> shown = kSmallForecast, plain = kSmallForecast;
  shown.insert(shown.end(), {"--forecast-csv", shownCsv.string()});
  plain.insert(plain.end(), {"--forecast-csv", plainCsv.string()});
  const Outcome onTerminal = RunOnTerminal(shown, "0");
  const Outcome quiet = RunThroughFiles(plain, "0");
  ASSERT_EQ(onTerminal.status, 0) << onTerminal.err;
  ASSERT_EQ(quiet.status, 0) << quiet.err;
  // The trail is named while it runs towards the forecast year.
  EXPECT_TRUE(Contains(onTerminal.err, "\rtrail 1 of 1 ")) << onTerminal.err;
  EXPECT_EQ(onTerminal.err.substr(onTerminal.err.size() - 4), "\r\x1b[K");
  EXPECT_EQ(quiet.err, "");
  EXPECT_TRUE(Contains(quiet.out, "\n1899   1999-11-18T0")) << quiet.out;
  EXPECT_EQ(WithoutTiming(onTerminal.out), WithoutTiming(quiet.out));
  EXPECT_EQ(ReadFile(shownCsv), ReadFile(plainCsv));
}

TEST_F(CliProgressTest, CtrlCDuringAForecastWritesNoFileAndExitsWith130) {
  const fs::path csv = dir_ / "forecast.csv";
  const std::string old = "the previous forecast\n";
  { std::ofstream(csv) << old; }
  const Outcome r =
      RunThroughFiles({"--comet", "539", "--trails", "1699..1965", "--forecast", "1998..2002",
                       "--per-trail", "5000", "--progress", "--forecast-csv", csv.string()},
                      nullptr, "trail ");
  EXPECT_EQ(r.status, 130) << r.err;
  EXPECT_EQ(ReadFile(csv), old);
  EXPECT_TRUE(Contains(r.err, "stelvo-cli: interrupted after ")) << r.err;
  EXPECT_TRUE(Contains(r.err, "no encounters and no file written\n"));
  EXPECT_EQ(r.out, "");
}

}  // namespace

namespace {

TEST_F(CliProgressTest, CtrlCDuringAStreamWritesNoFileAndExitsWith130) {
  const fs::path csv = dir_ / "stream.csv";
  const std::string old = "the previous stream\n";
  { std::ofstream(csv) << old; }
  const Outcome r =
      RunThroughFiles({"--comet", "539", "--stream", "1699..1965", "--forecast", "1998..2002",
                       "--per-trail", "5000", "--progress", "--showers", csv.string()},
                      nullptr, "return ");
  EXPECT_EQ(r.status, 130) << r.err;
  EXPECT_EQ(ReadFile(csv), old);
  EXPECT_TRUE(Contains(r.err, "no showers and no file written\n")) << r.err;
  EXPECT_EQ(r.out, "");
}

}  // namespace
