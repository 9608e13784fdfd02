#include "core/progress.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cmath>
#include <cstring>
#include <thread>

#include "core/startup.h"
#include "ten_body_fixture.h"

namespace stelvo {
namespace {

using testing::BuiltCoefficients;
using testing::TenBodiesAtEpoch;

TEST(ProgressTest, StageFractionsMapIntoTheStagesShareOfTheWhole) {
  Progress p;
  p.BeginStage("start-up", 0, 0.2);
  EXPECT_EQ(p.Read().stage, "start-up");
  EXPECT_DOUBLE_EQ(p.Read().fraction, 0);
  p.Report(0.5, 2451545.0);
  EXPECT_DOUBLE_EQ(p.Read().fraction, 0.1);
  EXPECT_EQ(p.Read().simJD, 2451545.0);
  p.BeginStage("steps", 0.2, 1);
  p.Report(0.5, 2451600.0);
  EXPECT_DOUBLE_EQ(p.Read().fraction, 0.6);
  p.SetStageText("steps 500 of 1000");
  EXPECT_EQ(p.Read().stage, "steps 500 of 1000");
  p.Report(2, 0);  // out of range: clamped to the stage's end
  EXPECT_DOUBLE_EQ(p.Read().fraction, 1);
}

TEST(ProgressTest, RemainingTimeIsUnknownBeforeAnyWorkIsDone) {
  Progress p;
  EXPECT_TRUE(std::isnan(p.Read().simJD));
  EXPECT_TRUE(std::isnan(p.Read().remainingSeconds));
  p.Report(0.25, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(350));
  const Progress::Snapshot s = p.Read();
  // A quarter done in s.elapsedSeconds: three times that remain.
  EXPECT_NEAR(s.remainingSeconds, 3 * s.elapsedSeconds, 1e-9);
  EXPECT_GE(s.elapsedSeconds, 0.35);
}

TEST(ProgressTest, CancelIsSeenAtTheNextCheck) {
  Progress p;
  EXPECT_NO_THROW(p.CheckCancelled());
  EXPECT_NO_THROW(ReportProgress(&p, 0.1, 0));
  EXPECT_NO_THROW(ReportProgress(nullptr, 0.1, 0));
  p.Cancel();
  EXPECT_TRUE(p.CancelRequested());
  EXPECT_THROW(p.CheckCancelled(), RunCancelled);
  EXPECT_THROW(ReportProgress(&p, 0.2, 0), RunCancelled);
}

Progress* signalledProgress = nullptr;
void CancelOnSignal(int) { signalledProgress->Cancel(); }

TEST(ProgressTest, ASignalHandlerCanRequestTheCancel) {
  Progress p;
  signalledProgress = &p;
  struct sigaction action {
  }, old{};
  action.sa_handler = CancelOnSignal;
  sigemptyset(&action.sa_mask);
  ASSERT_EQ(sigaction(SIGUSR1, &action, &old), 0);
  raise(SIGUSR1);
  sigaction(SIGUSR1, &old, nullptr);
  EXPECT_TRUE(p.CancelRequested());
}

TEST(ProgressTest, DurationsReadAsMinutesAndSeconds) {
  EXPECT_EQ(FormatDuration(0), "0:00");
  EXPECT_EQ(FormatDuration(7.4), "0:07");
  EXPECT_EQ(FormatDuration(754), "12:34");
  EXPECT_EQ(FormatDuration(3723), "1:02:03");
  EXPECT_EQ(FormatDuration(std::nan("")), "--:--");
  EXPECT_EQ(FormatDuration(-1), "--:--");
}

TEST(ProgressTest, JulianYearCountsFromJ2000) {
  EXPECT_DOUBLE_EQ(JulianYear(2451545.0), 2000.0);
  EXPECT_DOUBLE_EQ(JulianYear(2451545.0 + 365.25 * 12.5), 2012.5);
}

TEST(ProgressTest, StartUpReportsEveryPassAndStopsWhenCancelled) {
  const IntegratorCoeffs c = BuiltCoefficients();
  auto s = TenBodiesAtEpoch(10);  // settles after 20 passes
  s->EpochJD = 2451545.0;
  Progress p;
  p.BeginStage("start-up", 0, 1);
  EXPECT_EQ(StartUpIteration(*s, c, kStartupPassLimit, WorkerPool::Serial(), &p), 20);
  // Reported after pass 19, the last one that did not settle: some 4.6 + 1.5 * 10
  // passes are expected at this step, so it is reported as 19 of 20.
  EXPECT_DOUBLE_EQ(p.Read().fraction, 19.0 / 20.0);
  EXPECT_EQ(p.Read().simJD, 2451545.0);

  auto cancelled = TenBodiesAtEpoch(10);
  p.Cancel();
  EXPECT_THROW(StartUpIteration(*cancelled, c, kStartupPassLimit, WorkerPool::Serial(), &p),
               RunCancelled);
}

TEST(ProgressTest, StartUpGivesTheSameBitsWithAndWithoutProgressOnTwoThreads) {
  const IntegratorCoeffs c = BuiltCoefficients();
  auto plain = TenBodiesAtEpoch(5);
  auto watched = TenBodiesAtEpoch(5);
  Progress p;
  WorkerPool twoThreads(2);
  EXPECT_EQ(StartUpIteration(*plain, c),
            StartUpIteration(*watched, c, kStartupPassLimit, twoThreads, &p));
  for (int axis = 0; axis < 3; ++axis) {
    for (int slot = -4; slot <= 4; ++slot) {
      EXPECT_EQ(std::memcmp(plain->Pos(axis, slot), watched->Pos(axis, slot),
                            kMassiveCount * sizeof(double)),
                0);
      EXPECT_EQ(std::memcmp(plain->Vel(axis, slot), watched->Vel(axis, slot),
                            kMassiveCount * sizeof(double)),
                0);
    }
  }
}

}  // namespace
}  // namespace stelvo
