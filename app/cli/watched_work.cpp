#include "watched_work.h"

namespace stelvo {

namespace {

// The work that Ctrl+C stops: one at a time.
Progress* interruptible = nullptr;

extern "C" void RequestStop(int) { interruptible->Cancel(); }

using Handler = void (*)(int);

// Points Ctrl+C at `progress` before the handler is installed.
Handler CancelOnInterrupt(Progress& progress) {
  interruptible = &progress;
  return RequestStop;
}

}  // namespace

WatchedWork::WatchedWork(bool progressAsked)
    : onInterrupt({SIGINT}, CancelOnInterrupt(progress), SA_RESETHAND),
      line(progress, ProgressLine::ForStderr(progressAsked)) {}

}  // namespace stelvo
