#include "core/worker_pool.h"

#include <immintrin.h>

#include <algorithm>

#include "core/arithmetic_check.h"

namespace stelvo {

namespace {

// How long a thread polls before it sleeps: a few tens of microseconds, about the
// gap between two parallel parts of back-to-back steps. A window pass spends
// milliseconds drawing, so there the workers sleep.
constexpr int kSpins = 1000;

template <class T, class Done>
void SpinThenWait(const std::atomic<T>& value, Done done) {
  for (int k = 0; k < kSpins; ++k) {
    if (done(value.load(std::memory_order_acquire))) return;
    _mm_pause();
  }
  while (true) {
    const T now = value.load(std::memory_order_acquire);
    if (done(now)) return;
    value.wait(now, std::memory_order_acquire);
  }
}

}  // namespace

WorkerPool::WorkerPool(int threads)
    : threads_(std::max(1, threads)), reports_(std::make_unique<Report[]>(threads_)) {
  workers_.reserve(threads_ - 1);
  for (int t = 1; t < threads_; ++t) workers_.emplace_back([this, t] { WorkerLoop(t); });
}

WorkerPool::~WorkerPool() {
  stopping_.store(true, std::memory_order_relaxed);
  generation_.fetch_add(1, std::memory_order_release);
  generation_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

WorkerPool& WorkerPool::Serial() {
  static WorkerPool serial(1);
  return serial;
}

int WorkerPool::AllCores() {
  return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

int WorkerPool::Dispatch(JobCall call, void* job) {
  if (threads_ == 1) {
    call(job, 0);
    return 0;
  }
  call_ = call;
  job_ = job;
  unfinished_.store(threads_ - 1, std::memory_order_relaxed);
  generation_.fetch_add(1, std::memory_order_release);
  generation_.notify_all();
  call(job, 0);
  SpinThenWait(unfinished_, [](int left) { return left == 0; });
  int raised = 0;
  for (int t = 1; t < threads_; ++t) raised |= reports_[t].raised;
  return raised;
}

void WorkerPool::WorkerLoop(int thread) {
  std::uint32_t seen = 0;
  while (true) {
    SpinThenWait(generation_, [seen](std::uint32_t g) { return g != seen; });
    seen = generation_.load(std::memory_order_acquire);
    if (stopping_.load(std::memory_order_relaxed)) return;
    ClearArithmeticFlags();
    call_(job_, thread);
    reports_[thread].raised = RaisedArithmeticFlags();
    if (unfinished_.fetch_sub(1, std::memory_order_acq_rel) == 1) unfinished_.notify_one();
  }
}

BodyRange ThreadShare(int begin, int end, int thread, int threads) {
  if (end <= begin) return {begin, begin};
  const int firstBlock = begin / kBlockBodies;
  const int blocks = (end - 1) / kBlockBodies + 1 - firstBlock;
  const auto edge = [&](int t) {
    const int block = firstBlock + static_cast<int>(static_cast<long long>(blocks) * t / threads);
    return std::clamp(block * kBlockBodies, begin, end);
  };
  return {edge(thread), edge(thread + 1)};
}

}  // namespace stelvo
