#pragma once
// Errors that end a run. The window shows what() in a message box; stelvo-cli
// prints it on stderr. Nothing of the last accepted state is lost when one is thrown.

#include <stdexcept>

namespace stelvo {

class RunError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "Floating point division by zero" or "Floating point overflow".
class ArithmeticError : public RunError {
 public:
  using RunError::RunError;
};

}  // namespace stelvo
