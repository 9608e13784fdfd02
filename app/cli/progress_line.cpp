#include "progress_line.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace stelvo {

namespace {
using namespace std::chrono_literals;
// A terminal line changes at most four times a second; plain lines come once a second.
constexpr auto kTerminalPeriod = 250ms;
constexpr auto kLinePeriod = 1000ms;
// Before this much time a terminal line is not judged: the first share done is noise.
constexpr double kJudgeAfterSeconds = 0.5;
const char* const kThresholdVariable = "STELVO_PROGRESS_THRESHOLD";

void WriteAll(const std::string& text) {
  const char* p = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    const ssize_t n = ::write(STDERR_FILENO, p, left);
    if (n <= 0) return;  // a display that cannot be written is not worth an error
    p += n;
    left -= std::size_t(n);
  }
}

int TerminalColumns() {
  winsize size{};
  if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}
}  // namespace

std::string ProgressText(const Progress::Snapshot& s) {
  char text[256];
  std::string line = s.stage;
  std::snprintf(text, sizeof text, "  %3d%%", int(std::floor(s.fraction * 100)));
  line += text;
  if (std::isfinite(s.simJD)) {
    std::snprintf(text, sizeof text, "  year %.2f", JulianYear(s.simJD));
    line += text;
  }
  line += "  elapsed " + FormatDuration(s.elapsedSeconds);
  line += "  left " + FormatDuration(s.remainingSeconds);
  return line;
}

ProgressLine::Settings ProgressLine::ForStderr(bool asked) {
  Settings settings;
  settings.terminal = ::isatty(STDERR_FILENO) == 1;
  settings.asked = asked;
  if (const char* value = std::getenv(kThresholdVariable)) {
    char* end = nullptr;
    const double seconds = std::strtod(value, &end);
    if (end != value && *end == '\0' && seconds >= 0) settings.thresholdSeconds = seconds;
  }
  return settings;
}

ProgressLine::ProgressLine(const Progress& progress, Settings settings)
    : progress_(progress), settings_(settings) {
  if (settings_.terminal || settings_.asked) thread_ = std::thread([this] { Loop(); });
}

ProgressLine::~ProgressLine() { Stop(); }

void ProgressLine::Stop() {
  if (!thread_.joinable()) return;
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
  if (showing_ && settings_.terminal) {
    WriteAll("\r\x1b[K");
  } else if (settings_.asked && !settings_.terminal) {
    Show();  // the state at the end
  }
}

void ProgressLine::Loop() {
  const auto period = settings_.terminal ? kTerminalPeriod : kLinePeriod;
  std::unique_lock lock(mutex_);
  while (!wake_.wait_for(lock, period, [this] { return stopping_; })) {
    if (!showing_) {
      const Progress::Snapshot s = progress_.Read();
      const double threshold = settings_.thresholdSeconds;
      const bool expectedLong = s.elapsedSeconds >= threshold ||
                                (s.elapsedSeconds >= std::min(kJudgeAfterSeconds, threshold) &&
                                 s.fraction > 0 && s.elapsedSeconds / s.fraction > threshold);
      showing_ = settings_.asked || expectedLong;
    }
    if (showing_) Show();
  }
}

void ProgressLine::Show() {
  std::string text = ProgressText(progress_.Read());
  if (settings_.terminal) {
    // One column short of the width, so the line never wraps onto a second one.
    const std::size_t columns = std::size_t(std::max(TerminalColumns() - 1, 1));
    if (text.size() > columns) text.resize(columns);
    WriteAll("\r" + text + "\x1b[K");
  } else {
    WriteAll(text + "\n");
  }
}

}  // namespace stelvo
