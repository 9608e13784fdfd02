#include "common/signal_handler.h"

namespace stelvo {

SignalHandler::SignalHandler(std::initializer_list<int> signals, void (*handler)(int), int flags) {
  struct sigaction action {};
  action.sa_handler = handler;
  action.sa_flags = flags;
  sigemptyset(&action.sa_mask);
  for (int number : signals) {
    previous_.emplace_back(number, action);
    sigaction(number, &action, &previous_.back().second);
  }
}

SignalHandler::~SignalHandler() {
  for (auto it = previous_.rbegin(); it != previous_.rend(); ++it) {
    sigaction(it->first, &it->second, nullptr);
  }
}

}  // namespace stelvo
