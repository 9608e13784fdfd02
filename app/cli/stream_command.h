#pragma once
// stelvo-cli --stream: the established shower of a comet's stream from every return
// in a span of years (meteors/stream.h), printed as `shower` lines, the activity
// profile and each shower's FWHM, the captured crossings as the --showers CSV.

#include "cli_options.h"
#include "core/progress.h"
#include "progress_line.h"

namespace stelvo {

// Runs the stream the options ask for, reporting into `progress` (whose cancel
// main's Ctrl+C handler requests) as `line` shows it. Returns the exit status: 0
// done, 1 a file or run error, 2 settings that give no stream (no passage in the
// span, say), interruptedStatus after a cancel (nothing written).
int StreamCommand(const CliOptions& options, Progress& progress, ProgressLine& line,
                  int interruptedStatus);

}  // namespace stelvo
