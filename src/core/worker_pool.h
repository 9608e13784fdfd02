#pragma once
// The threads that share the particle loops of a run: the calling thread and
// Threads() - 1 workers started once and kept until the pool is destroyed, so a step
// neither starts a thread nor allocates. SimulationRun owns one; the integrator, the
// start-up and InitialAccelerations hand it their particle blocks.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <type_traits>
#include <vector>

namespace stelvo {

class WorkerPool {
 public:
  // threads >= 1; 1 runs everything on the calling thread.
  explicit WorkerPool(int threads);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  int Threads() const { return threads_; }

  // Calls job(t) once for every t = 0..Threads()-1, t = 0 on the calling thread, and
  // returns when all have returned. Each worker clears its own IEEE flags before its
  // part and reads them after it; the result is the union of the division-by-zero and
  // overflow flags the workers raised (the calling thread keeps its own flags), for
  // ThrowOnArithmeticFlags. job must not throw.
  template <class Job>
  int Run(Job&& job) {
    return Dispatch(&CallJob<std::remove_reference_t<Job>>, &job);
  }

  // The pool of one thread, shared by callers that pass none.
  static WorkerPool& Serial();
  // What the hardware offers, at least 1.
  static int AllCores();

 private:
  using JobCall = void (*)(void* job, int thread);
  template <class Job>
  static void CallJob(void* job, int thread) {
    (*static_cast<Job*>(job))(thread);
  }
  int Dispatch(JobCall call, void* job);
  void WorkerLoop(int thread);

  // One cache line per worker for what it reports, so reporting shares no line.
  struct alignas(64) Report {
    int raised = 0;
  };

  int threads_;
  JobCall call_ = nullptr;
  void* job_ = nullptr;
  std::atomic<std::uint32_t> generation_{0};
  alignas(64) std::atomic<int> unfinished_{0};
  std::atomic<bool> stopping_{false};
  std::unique_ptr<Report[]> reports_;
  std::vector<std::thread> workers_;
};

// Bodies [begin, end) in fixed blocks of kBlockBodies, aligned to multiples of it so
// that no two threads write into one cache line; thread t of n takes a contiguous
// run of whole blocks, the same every time.
inline constexpr int kBlockBodies = 512;

struct BodyRange {
  int begin, end;
};
BodyRange ThreadShare(int begin, int end, int thread, int threads);

// Calls blockJob(begin, end) for the aligned blocks of range in ascending order.
template <class BlockJob>
void ForEachBlock(BodyRange range, BlockJob blockJob) {
  for (int begin = range.begin; begin < range.end;) {
    const int end = std::min((begin / kBlockBodies + 1) * kBlockBodies, range.end);
    blockJob(begin, end);
    begin = end;
  }
}

}  // namespace stelvo
