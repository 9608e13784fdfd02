#pragma once
// stelvo-cli's pictures: the frame of a step drawn with the window's own drawing
// code, written as PNG (the last frame, or every N-th frame of a sequence).

#include <memory>
#include <string>

#include "cli_options.h"
#include "core/run_state.h"

namespace stelvo {

class FrameOutput {
 public:
  // Null when the options ask for no picture.
  static std::unique_ptr<FrameOutput> For(const CliOptions& options);
  ~FrameOutput();

  // After step `step` (counted from 1) of the last run, while its new point is in
  // the state's CurrentSlot. Returns false with `error` set when a file fails.
  bool AfterStep(const RunState& state, int step, bool lastStep, std::string& error);

 private:
  struct Impl;
  explicit FrameOutput(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace stelvo
