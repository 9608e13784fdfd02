// libFuzzer target: stelvo-cli's option parsing. The input is split at NUL bytes
// into arguments; parsing either gives options within their documented ranges or
// one error line.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli_options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> args(1);
  for (std::size_t k = 0; k < size; ++k) {
    if (data[k] == 0) {
      args.emplace_back();
    } else {
      args.back() += static_cast<char>(data[k]);
    }
  }
  const stelvo::CliParse parse = stelvo::ParseCliOptions(args);
  if (parse.options) {
    const stelvo::CliOptions& o = *parse.options;
    if (o.bodies < 10 || o.bodies > 1000000 || !(o.stepDays > 0 && o.stepDays <= 100) ||
        o.steps < 1 || o.comet < 0 || o.comet > 587 || o.dist < 0 || o.dist > 3 || o.runs < 1 ||
        o.width < 64 || o.height < 64 || o.zoom < 15 || o.zoom > 150 || o.incl < 0 ||
        o.incl > 90 || o.every < 1 || o.threads < 0 || o.threads > 256) {
      std::abort();
    }
  } else if (parse.error.empty() || parse.error.find('\n') != std::string::npos) {
    std::abort();
  }
  return 0;
}
