// libFuzzer target: any text as a catalogue line. ParseCometLine either fills the
// record or throws a CatalogueError naming the field; nothing else may happen.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "initial/catalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  stelvo::BahnElement elements;
  try {
    stelvo::ParseCometLine(line, elements);
  } catch (const stelvo::CatalogueError&) {
  }
  return 0;
}
