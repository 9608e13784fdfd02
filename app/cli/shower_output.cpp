#include "shower_output.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <span>
#include <stdexcept>

#include "core/atomic_file.h"
#include "meteors/sky_geometry.h"

namespace stelvo {

const char* const kCrossingCsvHeader =
    "t_days,utc,particle,lambda_sun,r_au,dr_au,earth_au,ra,dec,vg\n";

bool PrintCrossingRow(std::FILE* out, const Crossing& c) {
  std::array<char, 17> utc{};
  FormatUtc(c.jd, utc);
  return std::fprintf(out, "%.10g,%s,%d,%.6f,%.9f,%.9f,%.9f,%.5f,%.5f,%.5f\n", c.tDays, utc.data(),
                      c.particle, c.lambdaSun, c.rAu, c.drAu, c.earthAu, c.raDeg, c.decDeg,
                      c.vgKmS) >= 0;
}

void PrintShowerLine(const Shower& w) {
  std::printf("shower %.2f %s %.2f %+.2f %.2f %d %d\n", w.lambdaSun, w.date.data(), w.raDeg,
              w.decDeg, w.vgKmS, w.count, w.encounters);
}

std::unique_ptr<ShowerOutput> ShowerOutput::For(const CliOptions& o) {
  if (o.showersPath.empty()) return nullptr;
  std::FILE* rows = std::tmpfile();
  if (rows == nullptr) {
    throw std::runtime_error(std::string("cannot open a temporary file for --showers: ") +
                             std::strerror(errno));
  }
  // The records of many steps go out in one write from the pending block; a
  // buffer of the stream's own would only copy them once more (and fwrite into it
  // cost a step of 2P/Encke a quarter of the scan).
  std::setvbuf(rows, nullptr, _IONBF, 0);
  return std::unique_ptr<ShowerOutput>(new ShowerOutput(o, rows));
}

ShowerOutput::ShowerOutput(const CliOptions& o, std::FILE* rows)
    : path_(o.showersPath), rows_(rows), pending_(std::make_unique<Crossing[]>(kPendingRecords)) {
  detector_.SetCaptureAu(o.captureAu);
  detector_.SetEncounterAu(o.encounterAu);
}

ShowerOutput::~ShowerOutput() { std::fclose(rows_); }

bool ShowerOutput::AfterStep(const RunState& s, WorkerPool& pool, std::string& error) {
  const auto crossings = detector_.Scan(s, pool);
  summary_.Add(crossings, s.SimDays, s.SimDays + s.StepDays);
  // The records go out as they are; formatting waits for Finish, outside the step.
  for (std::size_t done = 0; done < crossings.size();) {
    const std::size_t n =
        std::min(crossings.size() - done, std::size_t(kPendingRecords - pendingCount_));
    std::memcpy(pending_.get() + pendingCount_, crossings.data() + done, n * sizeof(Crossing));
    pendingCount_ += static_cast<int>(n);
    done += n;
    if (pendingCount_ == kPendingRecords && !WritePending(error)) return false;
  }
  return true;
}

bool ShowerOutput::WritePending(std::string& error) {
  if (pendingCount_ > 0 && std::fwrite(pending_.get(), sizeof(Crossing), std::size_t(pendingCount_),
                                       rows_) != std::size_t(pendingCount_)) {
    error = std::string("cannot hold the --showers rows: ") + std::strerror(errno);
    return false;
  }
  pendingCount_ = 0;
  return true;
}

bool ShowerOutput::Finish(const RunState& s, std::string& error) {
  if (!WritePending(error)) return false;
  const bool written = WriteFileAtomically(
      path_,
      [this](std::FILE* out) {
        if (std::fputs(kCrossingCsvHeader, out) < 0 || std::fflush(rows_) != 0) return false;
        std::rewind(rows_);
        // Read back a block at a time: the stream has no buffer of its own.
        for (std::size_t n;
             (n = std::fread(pending_.get(), sizeof(Crossing), kPendingRecords, rows_)) > 0;) {
          for (const Crossing& c : std::span(pending_.get(), n)) {
            if (!PrintCrossingRow(out, c)) return false;
          }
        }
        return std::ferror(rows_) == 0;
      },
      error);
  if (!written) return false;
  PrintSummary(s);
  return true;
}

void ShowerOutput::PrintSummary(const RunState& s) {
  std::printf("crossings %lld\n", summary_.CrossingCount());
  std::printf("captured %lld\n", summary_.CapturedCount());
  for (const Shower& w : summary_.Summarise(summary_.MiddleYear(s.EpochJD))) PrintShowerLine(w);
}

}  // namespace stelvo
