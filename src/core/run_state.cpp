#include "core/run_state.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <utility>

namespace stelvo {

namespace {
constexpr std::size_t kAlignment = 64;  // one cache line, and a whole AVX-512 vector
constexpr std::size_t kHistoryArrays = 3 * (2 * kPosSlots + kAccSlots);
// CorrState, StartupPrev, BodyGM, SunFactor
constexpr std::size_t kWorkArrays = 2 * kStateValues + 2;

template <std::size_t N>
void RotateDown(double* (&slots)[N], int first, int last) {
  // slots[first] <- slots[first + 1] <- ... <- slots[last] <- old slots[first]
  double* recycled = slots[first];
  for (int s = first; s < last; ++s) slots[s] = slots[s + 1];
  slots[last] = recycled;
}
}  // namespace

void RunState::FreeAligned::operator()(double* p) const { std::free(p); }

RunState::RunState(int capacity) { Resize(capacity); }

void RunState::Resize(int capacity) {
  if (capacity < 1 || capacity > kMaxCapacity) throw std::length_error("RunState capacity");
  constexpr std::size_t kLine = kAlignment / sizeof(double);
  stride_ = (static_cast<std::size_t>(capacity) + kLine - 1) / kLine * kLine;
  historyDoubles_ = kHistoryArrays * stride_;
  const std::size_t bytes = (kHistoryArrays + kWorkArrays) * stride_ * sizeof(double);
  storage_.reset();  // the old arrays go before the new ones come
  auto* memory = static_cast<double*>(std::aligned_alloc(kAlignment, bytes));
  if (memory == nullptr) throw std::bad_alloc();
  storage_.reset(memory);
  capacity_ = capacity;
  AssignBuffers();
  std::memset(storage_.get(), 0, bytes);
  std::fill(sunFactor_, sunFactor_ + capacity_, 1.0);
  NonGravBodies.clear();
}

void RunState::AssignBuffers() {
  double* next = storage_.get();
  auto take = [this, &next] {
    double* array = next;
    next += stride_;
    return array;
  };
  for (int axis = 0; axis < 3; ++axis) {
    for (auto& slot : pos_[axis]) slot = take();
    for (auto& slot : vel_[axis]) slot = take();
    for (auto& slot : acc_[axis]) slot = take();
  }
  for (auto& value : corr_) value = take();
  for (auto& value : prev_) value = take();
  gm_ = take();
  sunFactor_ = take();
}

void RunState::ClearHistories() {
  AssignBuffers();
  std::memset(storage_.get(), 0, historyDoubles_ * sizeof(double));
  std::fill(sunFactor_, sunFactor_ + capacity_, 1.0);
  NonGravBodies.clear();
}

void RunState::ShiftHistory() {
  for (int axis = 0; axis < 3; ++axis) {
    RotateDown(pos_[axis], 3 - kMinPosSlot, 5 - kMinPosSlot);
    RotateDown(vel_[axis], 3 - kMinPosSlot, 5 - kMinPosSlot);
    RotateDown(acc_[axis], -4 - kMinAccSlot, 5 - kMinAccSlot);
  }
}

void RunState::AcceptCorrected() {
  for (int axis = 0; axis < 3; ++axis) {
    std::swap(pos_[axis][5 - kMinPosSlot], corr_[3 * axis]);
    std::swap(vel_[axis][5 - kMinPosSlot], corr_[3 * axis + 1]);
    std::swap(acc_[axis][5 - kMinAccSlot], corr_[3 * axis + 2]);
  }
}

}  // namespace stelvo
