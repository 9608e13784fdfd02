#pragma once
// stelvo-cli's progress display on stderr, drawn by a thread of its own from the
// Progress that the computation reports into: one line overwritten in place when
// stderr is a terminal and the work is expected to take a while, plain lines when
// --progress asks for them, nothing otherwise. Called by main around the work.

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "core/progress.h"

namespace stelvo {

// "steps 420/1000  42%  year 2005.75  elapsed 0:03  left 0:04"
std::string ProgressText(const Progress::Snapshot& s);

class ProgressLine {
 public:
  struct Settings {
    bool terminal = false;  // stderr is a terminal: one line, overwritten in place
    bool asked = false;     // --progress: shown from the start, as plain lines off a terminal
    // A terminal shows the line only for work expected to last longer than this.
    double thresholdSeconds = 2;
  };

  // The settings for stderr as it is now. The threshold may be set through the
  // environment variable STELVO_PROGRESS_THRESHOLD (seconds; 0 shows the line for
  // any run that lasts a few tenths), which is how tests force it.
  static Settings ForStderr(bool asked);

  ProgressLine(const Progress& progress, Settings settings);
  ~ProgressLine();
  // Ends the display: a terminal line is cleared, plain lines end with the last state.
  void Stop();

 private:
  void Loop();
  void Show();

  const Progress& progress_;
  Settings settings_;
  bool showing_ = false;
  bool stopping_ = false;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::thread thread_;
};

}  // namespace stelvo
