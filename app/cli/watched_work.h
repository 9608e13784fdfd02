#pragma once
// One command of stelvo-cli as the user watches it: the Progress it reports into,
// shown on stderr by a ProgressLine, and Ctrl+C, which asks it to stop at its next
// step boundary (the handler only sets the flag; it is reset as it runs, so a second
// Ctrl+C ends the program at once). main sets one up around each command that runs.

#include "common/signal_handler.h"
#include "core/progress.h"
#include "progress_line.h"

namespace stelvo {

struct WatchedWork {
  // progressAsked: --progress, lines on stderr also when it is no terminal.
  explicit WatchedWork(bool progressAsked);

  Progress progress;  // Ctrl+C cancels it
  const SignalHandler onInterrupt;
  ProgressLine line;  // the command stops it before it prints its results
};

}  // namespace stelvo
