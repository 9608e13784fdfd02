#pragma once
// stelvo-cli's --showers: the node crossings of the last run, found after every
// step, written as CSV when the run ends, and the showers they form printed as
// `shower` lines. The records are kept in an unnamed temporary file during the
// run, so memory does not grow with the number of crossings; a step only copies
// its records into a block that goes to the file when full.

#include <cstdio>
#include <memory>
#include <string>

#include "cli_options.h"
#include "core/run_state.h"
#include "meteors/shower_watch.h"

namespace stelvo {

class ShowerOutput {
 public:
  // Null when the options ask for no showers.
  static std::unique_ptr<ShowerOutput> For(const CliOptions& options);
  ~ShowerOutput();

  // After a step of the last run, while its new point is in slot 5 and before the
  // pass is finished; the scan runs on the run's threads. Returns false with
  // `error` set when the row file fails.
  bool AfterStep(const RunState& state, WorkerPool& pool, std::string& error);

  // Writes the CSV atomically and prints the summary.
  bool Finish(std::string& error);
  // Prints the summary of the crossings found so far (an interrupted run's).
  void PrintSummary();

 private:
  explicit ShowerOutput(const CliOptions& options, std::FILE* rows);
  bool WritePending(std::string& error);

  static constexpr int kPendingRecords = 4096;
  std::string path_;
  std::FILE* rows_;
  std::unique_ptr<Crossing[]> pending_;
  int pendingCount_ = 0;
  ShowerWatch watch_;
};

}  // namespace stelvo
