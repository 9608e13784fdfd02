#include "core/worker_pool.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <vector>

#include "core/arithmetic_check.h"
#include "core/run_error.h"

namespace stelvo {
namespace {

TEST(WorkerPoolTest, EveryThreadRunsItsPartOnceInEveryRun) {
  WorkerPool pool(3);
  ASSERT_EQ(pool.Threads(), 3);
  for (int round = 0; round < 200; ++round) {
    std::vector<int> calls(3, 0);
    pool.Run([&](int thread) { ++calls[thread]; });
    EXPECT_EQ(calls, std::vector<int>({1, 1, 1})) << round;
  }
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

TEST(WorkerPoolTest, BlocksOfAShareEndAtMultiplesOfTheBlockSize) {
  std::vector<int> edges;
  ForEachBlock({10, 1100}, [&](int begin, int end) {
    edges.push_back(begin);
    edges.push_back(end);
  });
  EXPECT_EQ(edges, std::vector<int>({10, 512, 512, 1024, 1024, 1100}));
}

TEST(WorkerPoolTest, AWorkersDivisionByZeroReachesTheCallerOnce) {
  WorkerPool pool(2);
  volatile double zero = 0;
  ClearArithmeticFlags();
  const int raised = pool.Run([&](int thread) {
    if (thread == 1) {
      [[maybe_unused]] volatile double q = 1.0 / zero;
    }
  });
  EXPECT_EQ(RaisedArithmeticFlags(), 0);  // the caller's own flags stay clear
  try {
    ThrowOnArithmeticFlags(raised);
    FAIL() << "no error";
  } catch (const ArithmeticError& e) {
    EXPECT_STREQ(e.what(), "Floating point division by zero");
  }
  // The worker clears its flags before every part: the next run reports nothing.
  EXPECT_EQ(pool.Run([](int) {}), 0);
}

TEST(WorkerPoolTest, DivisionByZeroTakesPrecedenceWhicheverThreadRaisedIt) {
  WorkerPool pool(2);
  volatile double zero = 0, huge = 1e308;
  ClearArithmeticFlags();
  const int raised = pool.Run([&](int thread) {
    if (thread == 0) {
      [[maybe_unused]] volatile double big = huge * huge;
    } else {
      [[maybe_unused]] volatile double q = 1.0 / zero;
    }
  });
  EXPECT_THROW(
      {
        try {
          ThrowOnArithmeticFlags(raised);
        } catch (const ArithmeticError& e) {
          EXPECT_STREQ(e.what(), "Floating point division by zero");
          throw;
        }
      },
      ArithmeticError);
}

TEST(WorkerPoolTest, OnePoolOfOneThreadRunsOnTheCaller) {
  WorkerPool& serial = WorkerPool::Serial();
  EXPECT_EQ(serial.Threads(), 1);
  const std::thread::id caller = std::this_thread::get_id();
  std::thread::id ran;
  serial.Run([&](int) { ran = std::this_thread::get_id(); });
  EXPECT_EQ(ran, caller);
  EXPECT_GE(WorkerPool::AllCores(), 1);
}

}  // namespace
}  // namespace stelvo
