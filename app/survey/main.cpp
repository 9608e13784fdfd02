// stelvo-survey: dust-trail forecasts of many comets, one task per (comet, trail),
// shared among threads and, under mpirun, among the ranks of an MPI job. Rank 0
// plans, hands out tasks on request (largest first), works on them too, keeps the
// checkpoints and writes the CSV; the other ranks ask for tasks and send back rows.
// Every rank that works reports at least once a second; a rank that falls silent
// ends the survey with one line and no CSV, as does a launcher that stops the job.

#include <mpi.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <exception>
#include <filesystem>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "common/signal_handler.h"
#include "core/atomic_file.h"
#include "core/run_error.h"
#include "core/worker_pool.h"
#include "initial/catalogue.h"
#include "meteors/moid.h"
#include "meteors/survey.h"
#include "survey_options.h"

namespace stelvo {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point t) {
  return std::chrono::duration<double>(Clock::now() - t).count();
}

enum Tag : int {
  kTagRequest = 1,    // worker -> 0: one more task, please (no data)
  kTagTask = 2,       // 0 -> worker: a task's index, or -1 when none is left
  kTagResult = 3,     // worker -> 0: the task's index as 4 bytes, then its rows
  kTagHeartbeat = 4,  // worker -> 0: still working (no data)
  kTagFailed = 5,     // worker -> 0: one line, why a task failed
};

// Long waits poll with a short sleep: a blocking MPI call would spin on a core
// that the tasks need.
constexpr auto kPoll = std::chrono::milliseconds(3);
constexpr double kHeartbeatSeconds = 1;

// The launcher (mpirun, srun) ends the processes with SIGTERM when one rank died
// or the job was cancelled; rank 0 then says so in one line. Only
// async-signal-safe calls here.
extern "C" void StoppedBySignal(int) {
  static const char line[] =
      "stelvo-survey: stopped by a signal before the survey was complete (a rank ended or "
      "the job was cancelled); no CSV written\n";
  [[maybe_unused]] const ssize_t n = write(STDERR_FILENO, line, sizeof line - 1);
  _exit(1);
}

void ExitQuietlyOnSignal(int) { _exit(1); }

[[noreturn]] void Fail(const std::string& line) {
  std::fprintf(stderr, "stelvo-survey: %s\n", line.c_str());
  std::fflush(stderr);
  MPI_Abort(MPI_COMM_WORLD, 1);
  _exit(1);
}

std::string Designation(int comet) { return std::string(CometDisplayName(comet)); }

// Runs tasks on its own threads; the caller's thread hands them in and collects
// the rows (it is the one that talks MPI).
class TaskRunner {
 public:
  struct Finished {
    int index;
    std::string rows;
  };

  TaskRunner(const SurveySettings& settings, const std::vector<SurveyTask>& tasks, int threads)
      : settings_(settings), tasks_(tasks), free_(threads) {
    for (int t = 0; t < threads; ++t) threads_.emplace_back([this] { Work(); });
  }
  ~TaskRunner() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : threads_) t.join();
  }

  int FreeSlots() const { return free_; }
  void Submit(int index) {
    --free_;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      queue_.push_back(index);
    }
    wake_.notify_one();
  }
  // The tasks finished since the last call; waits up to `wait` for one.
  std::vector<Finished> TakeFinished(std::chrono::milliseconds wait) {
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait_for(lock, wait, [this] { return !finished_.empty() || !failure_.empty(); });
    std::vector<Finished> out;
    out.swap(finished_);
    free_ += static_cast<int>(out.size());
    return out;
  }
  std::string Failure() {
    std::lock_guard<std::mutex> lock(mutex_);
    return failure_;
  }

 private:
  void Work() {
    TrailRunner trails;  // its run state serves task after task
    while (true) {
      int index = -1;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
        if (stop_) return;
        index = queue_.front();
        queue_.pop_front();
      }
      Finished result{index, {}};
      std::string error;
      try {
        const SurveyTask& task = tasks_[index];
        result.rows = *RunSurveyTask(settings_, task, trails);
      } catch (const std::exception& e) {
        const SurveyTask& task = tasks_[index];
        error = Designation(task.comet) + " trail " + std::to_string(task.trailYear) + ": " +
                e.what();
      }
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!error.empty()) {
          if (failure_.empty()) failure_ = error;
        } else {
          finished_.push_back(std::move(result));
        }
      }
      done_.notify_all();
    }
  }

  const SurveySettings& settings_;
  const std::vector<SurveyTask>& tasks_;
  std::atomic<int> free_;
  std::mutex mutex_;
  std::condition_variable wake_, done_;
  std::deque<int> queue_;
  std::vector<Finished> finished_;
  std::string failure_;
  bool stop_ = false;
  std::vector<std::thread> threads_;
};

SurveySettings SettingsFrom(const SurveyOptions& o) {
  SurveySettings s;
  s.comets = o.comets;
  s.forecast = ForecastSettingsFrom(o);
  s.forecast.threads = 1;  // the survey's tasks are the trails, one per thread
  return s;
}

// The cores of this machine shared among the ranks that run on it.
int DefaultThreads() {
  MPI_Comm local;
  int onNode = 1;
  if (MPI_Comm_split_type(MPI_COMM_WORLD, MPI_COMM_TYPE_SHARED, 0, MPI_INFO_NULL, &local) ==
      MPI_SUCCESS) {
    MPI_Comm_size(local, &onNode);
    MPI_Comm_free(&local);
  }
  return std::max(1, WorkerPool::AllCores() / std::max(1, onNode));
}

// A broadcast that waits politely (see kPoll).
void Broadcast(void* data, int count, MPI_Datatype type) {
  MPI_Request request;
  if (MPI_Ibcast(data, count, type, 0, MPI_COMM_WORLD, &request) != MPI_SUCCESS) {
    Fail("a rank could not be reached; no CSV written");
  }
  int done = 0;
  while (!done) {
    if (MPI_Test(&request, &done, MPI_STATUS_IGNORE) != MPI_SUCCESS) {
      Fail("a rank could not be reached; no CSV written");
    }
    if (!done) std::this_thread::sleep_for(kPoll);
  }
}

void Send(const void* data, int count, MPI_Datatype type, int to, int tag) {
  if (MPI_Send(data, count, type, to, tag, MPI_COMM_WORLD) != MPI_SUCCESS) {
    Fail("rank " + std::to_string(to) + " could not be reached; no CSV written");
  }
}

// The tasks travel as (comet, trail year) pairs; each rank rebuilds the list.
std::vector<SurveyTask> ShareTasks(int rank, std::vector<SurveyTask> tasks, int& status) {
  int head[2] = {status, static_cast<int>(tasks.size())};
  Broadcast(head, 2, MPI_INT);
  status = head[0];
  if (status != 0) return {};
  std::vector<int> pairs(2 * static_cast<std::size_t>(head[1]));
  if (rank == 0) {
    for (std::size_t k = 0; k < tasks.size(); ++k) {
      pairs[2 * k] = tasks[k].comet;
      pairs[2 * k + 1] = tasks[k].trailYear;
    }
  }
  Broadcast(pairs.data(), static_cast<int>(pairs.size()), MPI_INT);
  if (rank != 0) {
    tasks.resize(head[1]);
    for (std::size_t k = 0; k < tasks.size(); ++k) tasks[k] = {pairs[2 * k], pairs[2 * k + 1], 0};
  }
  return tasks;
}

// A rank other than 0: asks for a task whenever a thread is free, sends each
// task's rows back, and reports every second while it works.
int Work(const SurveySettings& settings, const std::vector<SurveyTask>& tasks, int threads) {
  TaskRunner runner(settings, tasks, threads);
  bool noMore = false, asking = false;
  int inFlight = 0, reply = -1;
  MPI_Request request = MPI_REQUEST_NULL;
  auto lastSent = Clock::now();
  while (!noMore || inFlight > 0) {
    if (!noMore && !asking && runner.FreeSlots() > 0) {
      Send(nullptr, 0, MPI_BYTE, 0, kTagRequest);
      MPI_Irecv(&reply, 1, MPI_INT, 0, kTagTask, MPI_COMM_WORLD, &request);
      asking = true;
      lastSent = Clock::now();
    }
    if (asking) {
      int arrived = 0;
      if (MPI_Test(&request, &arrived, MPI_STATUS_IGNORE) != MPI_SUCCESS) {
        Fail("rank 0 could not be reached");
      }
      if (arrived) {
        asking = false;
        if (reply < 0) {
          noMore = true;
        } else if (reply >= static_cast<int>(tasks.size())) {
          Fail("rank 0 sent an unknown task");
        } else {
          runner.Submit(reply);
          ++inFlight;
        }
      }
    }
    const std::string failure = runner.Failure();
    if (!failure.empty()) {
      Send(failure.data(), static_cast<int>(failure.size()), MPI_CHAR, 0, kTagFailed);
      return 1;  // rank 0 ends the job
    }
    for (TaskRunner::Finished& f : runner.TakeFinished(kPoll)) {
      std::string message(sizeof(int), '\0');
      std::memcpy(message.data(), &f.index, sizeof(int));
      message += f.rows;
      Send(message.data(), static_cast<int>(message.size()), MPI_CHAR, 0, kTagResult);
      --inFlight;
      lastSent = Clock::now();
    }
    if (SecondsSince(lastSent) >= kHeartbeatSeconds) {
      Send(nullptr, 0, MPI_BYTE, 0, kTagHeartbeat);
      lastSent = Clock::now();
    }
  }
  return 0;
}

struct Message {
  int from, tag;
  std::string data;
};

// The next message that has arrived from any rank, if any.
std::optional<Message> NextMessage() {
  int flag = 0;
  MPI_Status status;
  if (MPI_Iprobe(MPI_ANY_SOURCE, MPI_ANY_TAG, MPI_COMM_WORLD, &flag, &status) != MPI_SUCCESS) {
    Fail("a rank could not be reached; no CSV written");
  }
  if (!flag) return std::nullopt;
  int bytes = 0;
  MPI_Get_count(&status, MPI_CHAR, &bytes);
  Message m{status.MPI_SOURCE, status.MPI_TAG, std::string(bytes, '\0')};
  if (MPI_Recv(m.data.data(), bytes, MPI_CHAR, m.from, m.tag, MPI_COMM_WORLD,
               MPI_STATUS_IGNORE) != MPI_SUCCESS) {
    Fail("rank " + std::to_string(m.from) + " could not be reached; no CSV written");
  }
  return m;
}

struct Collected {
  std::vector<std::string> rows;
  std::vector<bool> have;
  int missing = 0;
};

// Rank 0: answers requests from the largest task down, works on tasks with its own
// threads, keeps every result (and its checkpoint) and watches that every rank
// with work reports in time.
void Serve(const SurveyOptions& o, const SurveySettings& settings,
           const std::vector<SurveyTask>& tasks, Collected& got, int ranks, int threads) {
  std::deque<int> pending;
  for (std::size_t k = 0; k < tasks.size(); ++k) {
    if (!got.have[k]) pending.push_back(static_cast<int>(k));
  }
  TaskRunner runner(settings, tasks, threads);
  std::vector<Clock::time_point> heard(ranks, Clock::now());
  std::vector<std::set<int>> assigned(ranks);
  std::vector<bool> retired(ranks, false), toldNoMore(ranks, false);
  retired[0] = true;
  int active = ranks - 1;
  const int total = static_cast<int>(tasks.size());
  auto keep = [&](int index, std::string rows, int from) {
    if (index < 0 || index >= total || got.have[index]) Fail("a rank sent a result twice");
    if (!o.checkpointDir.empty()) {
      std::string error;
      if (!WriteCheckpoint(o.checkpointDir, settings, tasks[index], rows, error)) Fail(error);
    }
    got.rows[index] = std::move(rows);
    got.have[index] = true;
    --got.missing;
    if (o.progress) {
      std::fprintf(stderr, "stelvo-survey: %d of %d tasks done: %s trail %d (rank %d)\n",
                   total - got.missing, total, Designation(tasks[index].comet).c_str(),
                   tasks[index].trailYear, from);
    }
  };
  while (got.missing > 0 || active > 0) {
    while (runner.FreeSlots() > 0 && !pending.empty()) {
      runner.Submit(pending.front());
      pending.pop_front();
    }
    bool busy = false;
    while (std::optional<Message> m = NextMessage()) {
      busy = true;
      const int from = m->from;
      const std::string& message = m->data;
      heard[from] = Clock::now();
      switch (m->tag) {
        case kTagRequest: {
          int index = -1;
          if (!pending.empty()) {
            index = pending.front();
            pending.pop_front();
            assigned[from].insert(index);
          }
          Send(&index, 1, MPI_INT, from, kTagTask);
          toldNoMore[from] = index < 0;
          break;
        }
        case kTagResult: {
          int index = -1;
          if (message.size() < sizeof(int)) Fail("a rank sent a damaged result");
          std::memcpy(&index, message.data(), sizeof(int));
          if (assigned[from].erase(index) == 0) Fail("a rank sent a result it was not asked for");
          keep(index, message.substr(sizeof(int)), from);
          break;
        }
        case kTagFailed:
          Fail("rank " + std::to_string(from) + ": " + message + "; no CSV written");
        default:
          break;  // a heartbeat
      }
      // Told that nothing is left and done with what it had: the rank is leaving.
      if (toldNoMore[from] && assigned[from].empty() && !retired[from]) {
        retired[from] = true;
        --active;
      }
    }
    const std::string failure = runner.Failure();
    if (!failure.empty()) Fail(failure + "; no CSV written");
    for (TaskRunner::Finished& f : runner.TakeFinished(busy ? std::chrono::milliseconds(0) : kPoll)) {
      keep(f.index, std::move(f.rows), 0);
    }
    for (int r = 1; r < ranks; ++r) {
      if (!retired[r] && SecondsSince(heard[r]) > o.timeoutSeconds) {
        Fail("rank " + std::to_string(r) + " has sent nothing for " +
             std::to_string(static_cast<int>(o.timeoutSeconds)) +
             " s (it died or hangs); no CSV written");
      }
    }
  }
}

bool PrepareOutputs(const SurveyOptions& o, std::string& error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!o.checkpointDir.empty()) {
    fs::create_directories(o.checkpointDir, ec);
    if (!fs::is_directory(o.checkpointDir, ec) || access(o.checkpointDir.c_str(), W_OK) != 0) {
      error = "cannot write checkpoints into " + o.checkpointDir;
      return false;
    }
  }
  if (!o.csvPath.empty()) {
    const fs::path parent = fs::path(o.csvPath).parent_path();
    const std::string dir = parent.empty() ? "." : parent.string();
    if (!fs::is_directory(dir, ec) || access(dir.c_str(), W_OK) != 0) {
      error = "cannot write " + o.csvPath + ": its directory is missing or not writable";
      return false;
    }
  }
  return true;
}

int Survey(const SurveyOptions& o, int rank, int ranks) {
  SurveySettings settings = SettingsFrom(o);
  const int threads = o.threads > 0 ? o.threads : DefaultThreads();
  const auto start = Clock::now();
  std::vector<SurveyTask> tasks;
  int status = 0;
  Collected got;
  int fromCheckpoints = 0;
  if (rank == 0) {
    try {
      std::string error;
      if (!PrepareOutputs(o, error)) throw RunError(error);
      if (settings.comets.empty()) {
        for (const CometMoid& c : CometsNearEarthOrbit(o.moidAu)) settings.comets.push_back(c.cometIndex);
      }
      tasks = PlanSurvey(settings);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "stelvo-survey: %s\n", e.what());
      status = 1;
    }
  }
  tasks = ShareTasks(rank, std::move(tasks), status);
  if (status != 0) return status;
  if (rank != 0) return Work(settings, tasks, threads);

  got.rows.assign(tasks.size(), "");
  got.have.assign(tasks.size(), false);
  got.missing = static_cast<int>(tasks.size());
  if (!o.checkpointDir.empty()) {
    for (std::size_t k = 0; k < tasks.size(); ++k) {
      if (std::optional<std::string> rows = ReadCheckpoint(o.checkpointDir, settings, tasks[k])) {
        got.rows[k] = std::move(*rows);
        got.have[k] = true;
        --got.missing;
        ++fromCheckpoints;
      }
    }
  }
  Serve(o, settings, tasks, got, ranks, threads);
  const std::string csv = SurveyCsv(settings, tasks, got.rows);
  if (!o.csvPath.empty()) {
    std::string error;
    if (!WriteBytesAtomically(o.csvPath, csv, error)) {
      std::fprintf(stderr, "stelvo-survey: %s\n", error.c_str());
      return 1;
    }
  }
  const long long rows = std::count(csv.begin(), csv.end(), '\n') - 1;
  std::printf("comets %zu\ntasks %zu\nfrom_checkpoints %d\nrows %lld\nranks %d\nthreads %d\n"
              "seconds %.2f\n",
              settings.comets.size(), tasks.size(), fromCheckpoints, rows, ranks, threads,
              SecondsSince(start));
  return 0;
}

void List(const SurveyOptions& o) {
  if (o.comets.empty()) {
    for (const CometMoid& c : CometsNearEarthOrbit(o.moidAu)) {
      std::printf("%d %.5f %s\n", c.cometIndex, c.moidAu, Designation(c.cometIndex).c_str());
    }
    return;
  }
  for (int c : o.comets) {
    std::printf("%d %.5f %s\n", c, CometEarthMoid(c), Designation(c).c_str());
  }
}

}  // namespace
}  // namespace stelvo

int main(int argc, char** argv) {
  using namespace stelvo;
  int provided = 0;
  MPI_Init_thread(&argc, &argv, MPI_THREAD_FUNNELED, &provided);
  MPI_Comm_set_errhandler(MPI_COMM_WORLD, MPI_ERRORS_RETURN);
  int rank = 0, ranks = 1;
  MPI_Comm_rank(MPI_COMM_WORLD, &rank);
  MPI_Comm_size(MPI_COMM_WORLD, &ranks);
  const SignalHandler onStop({SIGTERM, SIGINT}, rank == 0 ? StoppedBySignal : ExitQuietlyOnSignal);
  int code = 0;
  const SurveyParse parse = ParseSurveyOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (!parse.options) {
    if (rank == 0) std::fprintf(stderr, "stelvo-survey: %s\n", parse.error.c_str());
    code = 2;
  } else if (parse.options->help) {
    if (rank == 0) std::fputs(SurveyUsage().c_str(), stdout);
  } else if (parse.options->list) {
    if (rank == 0) {
      try {
        List(*parse.options);
      } catch (const std::exception& e) {
        std::fprintf(stderr, "stelvo-survey: %s\n", e.what());
        code = 1;
      }
    }
  } else {
    try {
      code = Survey(*parse.options, rank, ranks);
    } catch (const std::exception& e) {
      Fail(e.what());
    }
  }
  std::fflush(stdout);
  MPI_Finalize();
  return code;
}
