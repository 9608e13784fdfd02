#pragma once
// The arrays and scalars of a run, nothing else. Sized for the bodies of the run
// asked for (SimulationRun::Begin resizes it when the count changes) and reused by
// every run of that size; nothing is allocated per step.
//
// Bodies are numbered from 1 in the physics (1 Sun ... 10 Pluto, then particles);
// in the arrays body n sits at index n - 1. Every history slot is one contiguous
// array over bodies per coordinate, so the loops over bodies vectorise.
//
// Slots are addressed through pointer tables: the history shift after a step
// renames buffers instead of copying them. Only the slots that the start-up and
// the regular step use are stored: positions and velocities -4..5, accelerations
// -8..8.

#include <cstddef>
#include <memory>

namespace stelvo {

// The window's largest run, and the size of a RunState unless told otherwise.
inline constexpr int kCapacity = 20000;
// The largest batch run (stelvo-cli): about 1 GB of run state.
inline constexpr int kMaxBodyCount = 1000000;
inline constexpr int kMassiveCount = 10;
// The particles a window run or a trail holds beside the massive bodies.
inline constexpr int kMaxParticles = kCapacity - kMassiveCount;
// The named history slots: after a completed pass the newest accepted point sits in
// slot 4; a step writes its new point to slot 5 and the history shift renames it to 4.
inline constexpr int kAcceptedSlot = 4;
inline constexpr int kNewSlot = 5;
inline constexpr int kMinPosSlot = -4, kMaxPosSlot = 5;
inline constexpr int kMinAccSlot = -8, kMaxAccSlot = 8;
inline constexpr int kPosSlots = kMaxPosSlot - kMinPosSlot + 1;
inline constexpr int kAccSlots = kMaxAccSlot - kMinAccSlot + 1;
// x, vx, ax, y, vy, ay, z, vz, az: the nine values of one body at one instant.
inline constexpr int kStateValues = 9;

enum Axis { kX = 0, kY = 1, kZ = 2 };

class RunState {
 public:
  // Room for capacity bodies, 1..kMaxBodyCount, every array cleared.
  explicit RunState(int capacity = kCapacity);
  RunState(const RunState&) = delete;
  RunState& operator=(const RunState&) = delete;

  double* Pos(int axis, int slot) { return pos_[axis][slot - kMinPosSlot]; }
  double* Vel(int axis, int slot) { return vel_[axis][slot - kMinPosSlot]; }
  double* Acc(int axis, int slot) { return acc_[axis][slot - kMinAccSlot]; }
  const double* Pos(int axis, int slot) const { return pos_[axis][slot - kMinPosSlot]; }
  const double* Vel(int axis, int slot) const { return vel_[axis][slot - kMinPosSlot]; }
  const double* Acc(int axis, int slot) const { return acc_[axis][slot - kMinAccSlot]; }

  // The corrected new point of a step, held apart until both evaluations are done;
  // value v is one of x, vx, ax, y, vy, ay, z, vz, az (0..8).
  double* CorrState(int value) { return corr_[value]; }
  // Slot-4 values at the beginning of a start-up pass, in the same order.
  double* StartupPrev(int value) { return prev_[value]; }
  double* BodyGM() { return gm_; }
  const double* BodyGM() const { return gm_; }
  // Per body, the factor (1 - beta) by which radiation pressure lowers the Sun's
  // attraction of a grain; 1 for every body unless a run sets it (massive bodies
  // always keep 1). With every factor 1 the force is bit for bit the plain one.
  double* SunFactor() { return sunFactor_; }
  const double* SunFactor() const { return sunFactor_; }

  int Capacity() const { return capacity_; }
  // Replaces the arrays by ones for capacity bodies, cleared like ClearHistories;
  // nothing of the old contents stays.
  void Resize(int capacity);

  // Zero every history slot for the full capacity, set every Sun factor to 1 and
  // undo all renaming.
  void ClearHistories();
  // Moves slots 5 -> 4 -> 3 (positions, velocities) and accelerations 5..-3 one
  // place down by renaming. Slot 5 then names a recycled buffer that the next step
  // overwrites before anything reads it.
  void ShiftHistory();
  // Makes the corrected point of CorrState the new point in slot 5, by renaming.
  void AcceptCorrected();

  int BodyCount = 0;
  int MassiveCount = kMassiveCount;
  double StepDays = 0;
  double SimDays = 0;
  double EpochJD = 0;
  int CurrentSlot = 0;

 private:
  struct FreeAligned {
    void operator()(double* p) const;
  };
  std::unique_ptr<double[], FreeAligned> storage_;
  int capacity_ = 0;
  std::size_t stride_ = 0;  // doubles from one array to the next: capacity_ rounded up
  std::size_t historyDoubles_ = 0;
  double* pos_[3][kPosSlots];
  double* vel_[3][kPosSlots];
  double* acc_[3][kAccSlots];
  double* corr_[kStateValues];
  double* prev_[kStateValues];
  double* gm_;
  double* sunFactor_;

  void AssignBuffers();
};

using RunStatePtr = std::unique_ptr<RunState>;

}  // namespace stelvo
