// libFuzzer target: the two strict number conversions. A field that converts must
// be a number that reads back the same way; one that fails leaves the value alone.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "initial/catalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view field(reinterpret_cast<const char*>(data), size);
  double number = -7.25;
  if (stelvo::StrictFloat(field, number)) {
    if (!std::isfinite(number)) std::abort();
  } else if (number != -7.25) {
    std::abort();
  }
  int whole = -7;
  if (stelvo::StrictInt(field, whole)) {
    double asFloat = 0;
    // Every valid integer field is a valid float field of the same value.
    if (!stelvo::StrictFloat(field, asFloat) || asFloat != whole) std::abort();
  } else if (whole != -7) {
    std::abort();
  }
  return 0;
}
