#pragma once
// One handler for some signals for as long as this lives; the actions that were there
// before are put back when it ends. stelvo-cli's Ctrl+C and stelvo-survey's stop
// signals are set up through it.

#include <signal.h>

#include <initializer_list>
#include <utility>
#include <vector>

namespace stelvo {

class SignalHandler {
 public:
  // `flags` as sigaction takes them (SA_RESETHAND: the handler runs once, then the
  // signal's default action is back). No signal is blocked while the handler runs.
  SignalHandler(std::initializer_list<int> signals, void (*handler)(int), int flags = 0);
  ~SignalHandler();
  SignalHandler(const SignalHandler&) = delete;
  SignalHandler& operator=(const SignalHandler&) = delete;

 private:
  std::vector<std::pair<int, struct sigaction>> previous_;
};

}  // namespace stelvo
