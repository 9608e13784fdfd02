#include "core/worker_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "core/arithmetic_check.h"
#include "core/run_error.h"

namespace stelvo {
namespace {

TEST(WorkerPoolTest, EveryBlockIsDoneExactlyOnceInEveryRun) {
  WorkerPool pool(3);
  ASSERT_EQ(pool.Threads(), 3);
  for (int round = 0; round < 300; ++round) {
    const int end = 10 + 37 * round;  // partial blocks at both ends, some shares empty
    std::vector<std::atomic<int>> done(end);
    pool.ForEachBlock(10, end, [&](int begin, int blockEnd) {
      for (int i = begin; i < blockEnd; ++i) done[i].fetch_add(1);
    });
    for (int i = 0; i < end; ++i) ASSERT_EQ(done[i].load(), i >= 10 ? 1 : 0) << round << " " << i;
  }
}

TEST(WorkerPoolTest, BlocksAreAlignedToMultiplesOfTheBlockSize) {
  std::mutex mutex;
  std::set<std::pair<int, int>> blocks;
  WorkerPool pool(2);
  pool.ForEachBlock(10, 1100, [&](int begin, int end) {
    std::lock_guard lock(mutex);
    blocks.insert({begin, end});
  });
  EXPECT_EQ(blocks, (std::set<std::pair<int, int>>{{10, 512}, {512, 1024}, {1024, 1100}}));
}

TEST(WorkerPoolTest, ThreadSharesCoverTheRangeInAlignedBlocks) {
  for (int threads : {1, 2, 3, 7}) {
    for (int end : {10, 11, 511, 512, 513, 2777, 20000}) {
      int next = 10;
      for (int t = 0; t < threads; ++t) {
        const BodyRange share = ThreadShare(10, end, t, threads);
        EXPECT_EQ(share.begin, next) << threads << " " << end << " " << t;
        EXPECT_LE(share.begin, share.end);
        if (share.begin != 10 && share.begin != end) {
          EXPECT_EQ(share.begin % kBlockBodies, 0);
        }
        next = share.end;
      }
      EXPECT_EQ(next, end) << threads << " " << end;
    }
  }
}

TEST(WorkerPoolTest, TheWorkersTakeTheirShareAndTheCallerKeepsItsOwnFlags) {
  WorkerPool pool(2);
  const std::thread::id caller = std::this_thread::get_id();
  std::atomic<int> byWorker{0};
  // A slow first block keeps the caller busy, so the worker has time to start.
  for (int round = 0; round < 50 && byWorker.load() == 0; ++round) {
    pool.ForEachBlock(0, 4 * kBlockBodies, [&](int begin, int) {
      if (std::this_thread::get_id() != caller) byWorker.fetch_add(1);
      if (begin == 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    });
  }
  EXPECT_GT(byWorker.load(), 0);
}

// Runs blocks of 2 * kBlockBodies bodies on two threads; the block at `faulting`
// divides by zero, the one at `overflowing` overflows. Returns the error text.
std::string ErrorOfBlocks(WorkerPool& pool, int faulting, int overflowing) {
  volatile double zero = 0, huge = 1e308;
  ClearArithmeticFlags();
  const int raised = pool.ForEachBlock(0, 2 * kBlockBodies, [&](int begin, int) {
    if (begin == faulting) {
      [[maybe_unused]] volatile double q = 1.0 / zero;
    }
    if (begin == overflowing) {
      [[maybe_unused]] volatile double big = huge * huge;
    }
  });
  try {
    ThrowOnArithmeticFlags(raised);
  } catch (const ArithmeticError& e) {
    return e.what();
  }
  return "";
}

TEST(WorkerPoolTest, DivisionByZeroTakesPrecedenceWhicheverThreadRaisedIt) {
  WorkerPool pool(2);
  for (int round = 0; round < 20; ++round) {
    EXPECT_EQ(ErrorOfBlocks(pool, kBlockBodies, 0), "Floating point division by zero");
    EXPECT_EQ(ErrorOfBlocks(pool, 0, kBlockBodies), "Floating point division by zero");
    EXPECT_EQ(ErrorOfBlocks(pool, -1, kBlockBodies), "Floating point overflow");
    EXPECT_EQ(ErrorOfBlocks(pool, -1, -1), "");  // every thread clears its flags anew
  }
}

TEST(WorkerPoolTest, TheSerialPoolServesSeveralThreadsAtOnce) {
  std::vector<std::thread> users;
  std::atomic<int> wrong{0};
  for (int u = 0; u < 4; ++u) {
    users.emplace_back([&, u] {
      for (int round = 0; round < 2000; ++round) {
        const int end = 10 + 97 * (u + 1) + round % 700;
        int covered = 0;
        WorkerPool::Serial().ForEachBlock(
            10, end, [&](int begin, int blockEnd) { covered += blockEnd - begin; });
        if (covered != end - 10) ++wrong;
      }
    });
  }
  for (std::thread& user : users) user.join();
  EXPECT_EQ(wrong.load(), 0);
}

TEST(WorkerPoolTest, APoolOfOneThreadRunsOnTheCaller) {
  WorkerPool& serial = WorkerPool::Serial();
  EXPECT_EQ(serial.Threads(), 1);
  const std::thread::id caller = std::this_thread::get_id();
  int blocks = 0;
  serial.ForEachBlock(0, 3 * kBlockBodies, [&](int, int) {
    EXPECT_EQ(std::this_thread::get_id(), caller);
    ++blocks;
  });
  EXPECT_EQ(blocks, 3);
  EXPECT_GE(WorkerPool::AllCores(), 1);
  EXPECT_EQ(WorkerPool(0).Threads(), 1);
  EXPECT_EQ(WorkerPool(kMaxThreads + 1).Threads(), kMaxThreads);
}

}  // namespace
}  // namespace stelvo
