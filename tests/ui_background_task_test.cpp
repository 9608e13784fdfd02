// The background task with a stand-in job (a long run): started, completed, cancelled,
// destroyed while it works, and the event loop kept running meanwhile. The test at the
// end runs a window as its own process and presses Exit during a job.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTranslator>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "core/run_error.h"
#include "stand_in_job.h"
#include "ui/background_task.h"

extern "C" char** environ;

namespace stelvo {
namespace {

using testing::DigestJob;
using testing::RunDigest;
using Clock = std::chrono::steady_clock;

constexpr int kEndless = 100000000;  // steps: a job that only a cancel ends

class BackgroundTaskTest : public ::testing::Test {
 protected:
  BackgroundTaskTest() {
    window.resize(800, 600);
    task = new BackgroundTask(&window);
    window.setCentralWidget(task);
    window.show();
  }

  // Waits until the running job has reached its steps.
  bool WaitForSteps() {
    return QTest::qWaitFor(
        [this] {
          return task->CurrentProgress() && task->CurrentProgress()->Read().fraction > 0.1;
        },
        20000);
  }

  QMainWindow window;
  BackgroundTask* task;
};

TEST_F(BackgroundTaskTest, ACompletedJobHandsItsResultToTheWindowBitForBit) {
  std::uint64_t result = 0;
  QSignalSpy completed(task, &BackgroundTask::Completed);
  ASSERT_TRUE(task->Start(QStringLiteral("Lauf"), DigestJob(500, 200, &result)));
  EXPECT_TRUE(task->isVisible());
  ASSERT_TRUE(completed.wait(20000));
  // The same run without any progress: the same bits.
  EXPECT_EQ(result, RunDigest(500, 200, nullptr));
  EXPECT_FALSE(task->Running());
  EXPECT_FALSE(task->isVisible());
}

// The CSV of stelvo-cli, with its progress line forced on, read back into a digest.
std::uint64_t CliDigest(int bodies, int steps) {
  const std::string csv = ::testing::TempDir() + "stelvo-task-" + std::to_string(getpid()) + ".csv";
  const std::string command = "STELVO_PROGRESS_THRESHOLD=0 " + std::string(STELVO_CLI) +
                              " --progress --bodies " + std::to_string(bodies) + " --steps " +
                              std::to_string(steps) + " --csv " + csv + " 2>/dev/null";
  EXPECT_EQ(std::system(command.c_str()), 0);
  auto state = std::make_unique<RunState>();
  state->BodyCount = bodies;
  std::FILE* f = std::fopen(csv.c_str(), "r");
  EXPECT_NE(f, nullptr);
  if (!f) return 0;
  EXPECT_EQ(std::fscanf(f, "body,x,y,z,vx,vy,vz\n"), 0);
  for (int i = 0; i < bodies; ++i) {
    int body = 0;
    double v[6];
    EXPECT_EQ(std::fscanf(f, "%d,%lf,%lf,%lf,%lf,%lf,%lf\n", &body, &v[0], &v[1], &v[2], &v[3],
                          &v[4], &v[5]),
              7);
    for (int axis = 0; axis < 3; ++axis) {
      state->Pos(axis, 4)[i] = v[axis];
      state->Vel(axis, 4)[i] = v[3 + axis];
    }
  }
  std::fclose(f);
  std::remove(csv.c_str());
  return testing::StateDigest(*state);
}

TEST_F(BackgroundTaskTest, TheWindowsJobAndStelvoCliGiveTheSameBits) {
  std::uint64_t result = 0;
  QSignalSpy completed(task, &BackgroundTask::Completed);
  ASSERT_TRUE(task->Start(QStringLiteral("Lauf"), DigestJob(1000, 300, &result)));
  ASSERT_TRUE(completed.wait(20000));
  EXPECT_EQ(result, CliDigest(1000, 300));
}

TEST_F(BackgroundTaskTest, TheResultIsHandedOverOnTheWindowsThread) {
  QThread* appliedOn = nullptr;
  QSignalSpy completed(task, &BackgroundTask::Completed);
  task->Start(QStringLiteral("Lauf"), [&](Progress&) -> BackgroundTask::Apply {
    EXPECT_NE(QThread::currentThread(), qApp->thread());
    return [&] { appliedOn = QThread::currentThread(); };
  });
  ASSERT_TRUE(completed.wait(5000));
  EXPECT_EQ(appliedOn, qApp->thread());
}

TEST_F(BackgroundTaskTest, TheStripShowsProgressAndCancelKeepsThePreviousResult) {
  std::uint64_t result = 42;  // the previous result
  QSignalSpy cancelled(task, &BackgroundTask::Cancelled);
  QSignalSpy completed(task, &BackgroundTask::Completed);
  ASSERT_TRUE(task->Start(QStringLiteral("Lauf"), DigestJob(2000, kEndless, &result)));
  EXPECT_FALSE(task->Start(QStringLiteral("Zweiter"), DigestJob(50, 1, &result)));
  ASSERT_TRUE(WaitForSteps());
  QTest::qWait(700);  // time for an estimate and a refresh of the strip
  EXPECT_TRUE(task->Bar->isVisible());
  EXPECT_GT(task->Bar->value(), 0);
  EXPECT_TRUE(task->Label_Rest->text().startsWith(QStringLiteral("Lauf: noch ")))
      << task->Label_Rest->text().toStdString();
  EXPECT_FALSE(task->Label_Rest->text().contains(QStringLiteral("--:--")));

  const auto pressed = Clock::now();
  QTest::mouseClick(task->Button_Cancel, Qt::LeftButton);
  ASSERT_TRUE(cancelled.wait(5000));
  EXPECT_LT(Clock::now() - pressed, std::chrono::seconds(1));
  EXPECT_EQ(result, 42u);
  EXPECT_EQ(completed.count(), 0);
  EXPECT_FALSE(task->Running());
  EXPECT_FALSE(task->isVisible());
  // A new job may start after a cancel.
  ASSERT_TRUE(task->Start(QStringLiteral("Lauf"), DigestJob(50, 10, &result)));
  ASSERT_TRUE(completed.wait(5000));
  EXPECT_EQ(result, RunDigest(50, 10, nullptr));
}

TEST_F(BackgroundTaskTest, TheWindowKeepsHandlingEventsWhileAJobWorks) {
  std::uint64_t result = 0;
  ASSERT_TRUE(task->Start(QStringLiteral("Lauf"), DigestJob(2000, kEndless, &result)));
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
  ticker.start(10);
  for (int k = 0; k < 10; ++k) {
    window.resize(600 + 30 * k, 400 + 20 * k);
    QTest::qWait(50);
    EXPECT_EQ(window.width(), 600 + 30 * k);
  }
  // A job on the window's thread would never end and the timer never tick; half a
  // second of a 10 ms timer ticks many times, fewer than 50 on a busy machine.
  EXPECT_GE(ticks, 5);
  EXPECT_TRUE(task->Running());
  QSignalSpy cancelled(task, &BackgroundTask::Cancelled);
  task->Cancel();
  ASSERT_TRUE(cancelled.wait(5000));
}

TEST_F(BackgroundTaskTest, AFailingJobHandsNothingOver) {
  QSignalSpy failed(task, &BackgroundTask::Failed);
  bool applied = false;
  task->Start(QStringLiteral("Lauf"), [&](Progress&) -> BackgroundTask::Apply {
    throw RunError("Floating point overflow");
    return [&] { applied = true; };
  });
  ASSERT_TRUE(failed.wait(5000));
  EXPECT_EQ(failed.at(0).at(0).toString(), QStringLiteral("Floating point overflow"));
  EXPECT_FALSE(applied);
}

TEST_F(BackgroundTaskTest, DestroyingTheTaskStopsItsJobWithinAStep) {
  std::uint64_t result = 7;
  ASSERT_TRUE(task->Start(QStringLiteral("Lauf"), DigestJob(2000, kEndless, &result)));
  ASSERT_TRUE(WaitForSteps());
  const auto start = Clock::now();
  delete task;
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
  QTest::qWait(50);  // the job's queued hand-over must find nothing to call
  EXPECT_EQ(result, 7u);
}

TEST_F(BackgroundTaskTest, TheStripFollowsTheWindowsLanguage) {
  EXPECT_EQ(task->Button_Cancel->text(), QStringLiteral("Abbrechen"));
  QTranslator english;
  ASSERT_TRUE(english.load(QStringLiteral(":/i18n/stelvo_en.qm")));
  QCoreApplication::installTranslator(&english);
  QCoreApplication::processEvents();
  EXPECT_EQ(task->Button_Cancel->text(), QStringLiteral("Cancel"));
  QCoreApplication::removeTranslator(&english);
  QCoreApplication::processEvents();
  EXPECT_EQ(task->Button_Cancel->text(), QStringLiteral("Abbrechen"));
}

// The program under test (see ui_task_exit_main.cpp) prints "exit" just before it
// presses Exit, or "quit" before it asks the application to quit, which closes its
// windows first (and closing the main window ends the process like Exit); `mode` "forecast"
// runs a trail forecast from the shower window instead of the stand-in job.
double SecondsFromSignalToEnd(const char* how, int& status, const char* mode = nullptr) {
  int pipeEnds[2];
  EXPECT_EQ(pipe(pipeEnds), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
  char* argv[] = {const_cast<char*>(STELVO_TASK_EXIT), const_cast<char*>(mode ? mode : how),
                  nullptr};
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, STELVO_TASK_EXIT, &actions, nullptr, argv, environ);
  EXPECT_EQ(spawned, 0);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  // No child (the program missing or not executable): kill(0, ...) below would end this
  // test's whole process group, ctest and its shell with it.
  if (spawned != 0 || pid <= 0) {
    close(pipeEnds[0]);
    return 0;
  }
  // A program that never gets there is ended after a minute, and the test fails.
  std::string said;
  char c;
  pollfd readable{pipeEnds[0], POLLIN, 0};
  while (said.find(how) == std::string::npos && poll(&readable, 1, 60000) == 1 &&
         read(pipeEnds[0], &c, 1) == 1) {
    said += c;
  }
  if (said.find(how) == std::string::npos) kill(pid, SIGKILL);
  EXPECT_NE(said.find(how), std::string::npos) << said;
  const auto signalled = Clock::now();
  // A program that does not end is killed after ten seconds (and the time shows it).
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (Clock::now() - signalled > std::chrono::seconds(10)) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  close(pipeEnds[0]);
  EXPECT_NE(said.find("running"), std::string::npos) << said;
  return std::chrono::duration<double>(Clock::now() - signalled).count();
}

// Exit, or quitting the application (which closes the windows), while a job works in
// the window or a forecast in the shower window: the program ends at once and cleanly.
struct ExitCase {
  const char* name;
  const char* how;   // "exit" or "quit"
  const char* mode;  // what the program is busy with; nullptr: a job in the window
};

class BackgroundTaskExitTest : public ::testing::TestWithParam<ExitCase> {};

TEST_P(BackgroundTaskExitTest, EndsTheProgramAtOnce) {
  int status = 0;
  EXPECT_LT(SecondsFromSignalToEnd(GetParam().how, status, GetParam().mode), 1.0);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

INSTANTIATE_TEST_SUITE_P(, BackgroundTaskExitTest,
                         ::testing::Values(ExitCase{"ExitDuringAJob", "exit", nullptr},
                                           ExitCase{"ExitDuringAForecast", "exit", "forecast"},
                                           ExitCase{"QuitDuringAForecast", "quit", "forecast-quit"},
                                           ExitCase{"QuitDuringAJob", "quit", nullptr}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace stelvo
