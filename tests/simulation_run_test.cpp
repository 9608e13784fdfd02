#include "run/simulation_run.h"

#include <gtest/gtest.h>

#include "core/run_error.h"
#include "initial/random_unit.h"

namespace stelvo {
namespace {

TEST(SimulationRunTest, TheRunStateIsSizedForTheRunAskedFor) {
  RandomSource random;
  SimulationRun run(random);
  RunSettings settings;
  settings.BodyCount = 60;
  run.Begin(settings);
  EXPECT_EQ(run.State().Capacity(), 60);
  const double* kept = run.State().Pos(kX, 0);
  run.Begin(settings);  // the same count reuses the arrays
  EXPECT_EQ(run.State().Capacity(), 60);
  EXPECT_EQ(run.State().Pos(kX, 0), kept);
  settings.MaxBodyCount = kMaxBodyCount;
  settings.BodyCount = 30000;
  settings.StepDays = 10;
  run.Begin(settings);
  EXPECT_EQ(run.State().Capacity(), 30000);
  EXPECT_EQ(run.State().BodyCount, 30000);
  run.Step();
  run.FinishPass();
}

TEST(SimulationRunTest, ARefusedCountKeepsTheLastRunsState) {
  RandomSource random;
  SimulationRun run(random);
  RunSettings settings;
  settings.BodyCount = 100;
  run.Begin(settings);
  settings.BodyCount = kCapacity + 1;
  EXPECT_THROW(run.Begin(settings), RunError);
  EXPECT_EQ(run.State().Capacity(), 100);
  EXPECT_EQ(run.State().BodyCount, 100);
}

TEST(SimulationRunTest, ThreadsCanBeChosenBetweenRuns) {
  RandomSource random;
  SimulationRun run(random);
  EXPECT_EQ(run.Threads(), WorkerPool::AllCores());
  run.SetThreads(3);
  EXPECT_EQ(run.Threads(), 3);
  run.SetThreads(1);
  EXPECT_EQ(run.Threads(), 1);
}

}  // namespace
}  // namespace stelvo
