#include "shower_output.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <span>
#include <stdexcept>

#include "core/atomic_file.h"
#include "meteors/record_format.h"

namespace stelvo {

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
  watch_.Detector().SetCaptureAu(o.captureAu);
  watch_.Detector().SetEncounterAu(o.encounterAu);
}

ShowerOutput::~ShowerOutput() { std::fclose(rows_); }

bool ShowerOutput::AfterStep(const RunState& s, WorkerPool& pool, std::string& error) {
  const auto crossings = watch_.AfterStep(s, pool);
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

bool ShowerOutput::Finish(std::string& error) {
  if (!WritePending(error)) return false;
  const bool written = WriteFileAtomically(
      path_,
      [this](std::FILE* out) {
        const auto columns = CrossingColumns();
        if (std::fputs(CsvHeader(columns).c_str(), out) < 0 || std::fflush(rows_) != 0) {
          return false;
        }
        std::rewind(rows_);
        // Read back a block at a time: the stream has no buffer of its own.
        for (std::size_t n;
             (n = std::fread(pending_.get(), sizeof(Crossing), kPendingRecords, rows_)) > 0;) {
          for (const Crossing& c : std::span(pending_.get(), n)) {
            if (std::fputs(CsvRow(columns, c).c_str(), out) < 0) return false;
          }
        }
        return std::ferror(rows_) == 0;
      },
      error);
  if (!written) return false;
  PrintSummary();
  return true;
}

void ShowerOutput::PrintSummary() {
  std::printf("crossings %lld\n", watch_.Summary().CrossingCount());
  std::printf("captured %lld\n", watch_.Summary().CapturedCount());
  for (const Shower& w : watch_.Summarise()) {
    std::printf("shower %s", Line(Cells(ShowerColumns(), w, Output::kText), ' ').c_str());
  }
}

}  // namespace stelvo
