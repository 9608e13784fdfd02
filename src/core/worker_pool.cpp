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

constexpr std::uint64_t kClosed = std::uint64_t{1} << 31;
constexpr std::uint64_t kInside = kClosed - 1;

std::uint64_t GateOf(std::uint32_t generation) { return std::uint64_t{generation} << 32; }
std::uint32_t GenerationOf(std::uint64_t gate) { return static_cast<std::uint32_t>(gate >> 32); }

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

WorkerPool::WorkerPool(int threads)
    : threads_(std::clamp(threads, 1, kMaxThreads)), shares_(std::make_unique<Share[]>(threads_)) {
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

int WorkerPool::Dispatch(JobCall call, void* job, int begin, int end) {
  if (threads_ == 1) {
    // Touches no member: Serial() serves any number of threads at once.
    for (int blockBegin = begin; blockBegin < end;) {
      const int blockEnd = std::min((blockBegin / kBlockBodies + 1) * kBlockBodies, end);
      call(job, blockBegin, blockEnd);
      blockBegin = blockEnd;
    }
    return 0;
  }
  call_ = call;
  job_ = job;
  begin_ = begin;
  end_ = end;
  for (int t = 0; t < threads_; ++t) {
    const BodyRange share = ThreadShare(begin, end, t, threads_);
    const int first = share.begin / kBlockBodies;  // block numbers
    shares_[t].next.store(first, std::memory_order_relaxed);
    shares_[t].end = share.end > share.begin ? (share.end - 1) / kBlockBodies + 1 : first;
    shares_[t].raised = 0;
  }
  const std::uint32_t generation = generation_.load(std::memory_order_relaxed) + 1;
  gate_.store(GateOf(generation), std::memory_order_release);
  generation_.store(generation, std::memory_order_release);
  generation_.notify_all();
  TakeBlocks(0);
  // Every block is taken: nobody enters any more; wait for those inside.
  gate_.fetch_or(kClosed, std::memory_order_acq_rel);
  SpinThenWait(gate_, [](std::uint64_t gate) { return (gate & kInside) == 0; });
  int raised = 0;
  for (int t = 1; t < threads_; ++t) raised |= shares_[t].raised;
  return raised;
}

void WorkerPool::TakeBlocks(int thread) {
  for (int k = 0; k < threads_; ++k) {
    Share& share = shares_[(thread + k) % threads_];
    for (int block = share.next.fetch_add(1, std::memory_order_relaxed); block < share.end;
         block = share.next.fetch_add(1, std::memory_order_relaxed)) {
      call_(job_, std::max(block * kBlockBodies, begin_),
            std::min((block + 1) * kBlockBodies, end_));
    }
  }
}

void WorkerPool::WorkerLoop(int thread) {
  std::uint32_t seen = 0;
  while (true) {
    SpinThenWait(generation_, [seen](std::uint32_t g) { return g != seen; });
    seen = generation_.load(std::memory_order_acquire);
    if (stopping_.load(std::memory_order_relaxed)) return;
    std::uint64_t gate = gate_.load(std::memory_order_acquire);
    bool inside = false;
    while (!inside && GenerationOf(gate) == seen && (gate & kClosed) == 0) {
      inside = gate_.compare_exchange_weak(gate, gate + 1, std::memory_order_acq_rel);
    }
    if (!inside) continue;
    ClearArithmeticFlags();
    TakeBlocks(thread);
    shares_[thread].raised = RaisedArithmeticFlags();
    const std::uint64_t left = gate_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if ((left & kInside) == 0) gate_.notify_one();
  }
}

}  // namespace stelvo
