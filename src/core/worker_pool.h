#pragma once
// The threads that share the particle loops of a run: the calling thread and
// Threads() - 1 workers started once and kept until the pool is destroyed, so a step
// neither starts a thread nor allocates. SimulationRun owns one; the integrator, the
// start-up and InitialAccelerations hand it their particle blocks.

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <type_traits>
#include <vector>

namespace stelvo {

// Bodies go to the threads in blocks of kBlockBodies, aligned to multiples of it so
// that no two threads write into one cache line.
inline constexpr int kBlockBodies = 512;
inline constexpr int kMaxThreads = 256;

struct BodyRange {
  int begin, end;
};
// Thread t's share of [begin, end) among threads: a contiguous run of whole blocks,
// the same every time.
BodyRange ThreadShare(int begin, int end, int thread, int threads);

class WorkerPool {
 public:
  // 1 runs everything on the calling thread; the count is kept within 1..kMaxThreads.
  explicit WorkerPool(int threads);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  int Threads() const { return threads_; }

  // Calls blockJob(blockBegin, blockEnd) exactly once for every aligned block of the
  // bodies [begin, end) and returns when all calls have returned. Each thread takes the
  // blocks of its own share in ascending order, then helps with blocks of other shares
  // that nobody has taken yet; so a worker that the system does not wake in time
  // delays nothing, the calling thread does its blocks. Which thread does a block
  // changes no result. Each worker clears its own IEEE flags before its part and reads
  // them after it; returns the union of the division-by-zero and overflow flags the
  // workers raised (the calling thread keeps its own), for ThrowOnArithmeticFlags.
  // blockJob must not throw.
  template <class BlockJob>
  int ForEachBlock(int begin, int end, BlockJob&& blockJob) {
    return Dispatch(&CallJob<std::remove_reference_t<BlockJob>>, &blockJob, begin, end);
  }

  // The pool of one thread, shared by callers that pass none, from any thread.
  static WorkerPool& Serial();
  // What the hardware offers, at least 1.
  static int AllCores();

 private:
  using JobCall = void (*)(void* job, int begin, int end);
  template <class BlockJob>
  static void CallJob(void* job, int begin, int end) {
    (*static_cast<BlockJob*>(job))(begin, end);
  }
  int Dispatch(JobCall call, void* job, int begin, int end);
  void TakeBlocks(int thread);
  void WorkerLoop(int thread);

  // Per thread, on a cache line of its own: the next block of its share and where
  // the share ends (block numbers), and the flags it raised.
  struct alignas(64) Share {
    std::atomic<int> next{0};
    int end = 0;
    int raised = 0;
  };

  int threads_;
  JobCall call_ = nullptr;
  void* job_ = nullptr;
  int begin_ = 0, end_ = 0;  // bodies of the current job
  std::unique_ptr<Share[]> shares_;
  // Bumped to wake the workers for a job, or to stop them.
  std::atomic<std::uint32_t> generation_{0};
  // Generation (high 32 bits), closed flag, number of workers inside the job: a worker
  // enters only while its generation is open, and the caller closes it when every
  // block is taken, then waits for those inside.
  alignas(64) std::atomic<std::uint64_t> gate_{0};
  std::atomic<bool> stopping_{false};
  std::vector<std::thread> workers_;
};

}  // namespace stelvo
