#include "meteors/survey.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "core/atomic_file.h"
#include "core/run_error.h"
#include "initial/catalogue.h"

namespace stelvo {

namespace {

// RFC 4180: a field with a comma, quote or line break is quoted, quotes doubled.
std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string out = "\"";
  for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

// Every setting that shapes a task's rows, on one line, and the survey's header: a
// checkpoint written with other settings, or by a program with other columns, is
// not this task's.
std::string CheckpointKey(const SurveySettings& settings, const SurveyTask& task) {
  const ForecastSettings& f = settings.forecast;
  const EjectionSettings& e = f.ejection;
  char line[512];
  std::snprintf(line, sizeof line,
                "stelvo-survey task 1 comet=%d trail=%d forecast=%d..%d per-trail=%d "
                "step=%.17g nucleus=%.17g grains=%.17g..%.17g density=%.17g qpr=%.17g "
                "active=%.17g release=%d speed=%d directions=%d near=%.17g window=%.17g\n",
                task.comet, task.trailYear, f.forecastFrom, f.forecastTo, f.perTrail, f.stepDays,
                e.nucleusRadiusKm, e.grainRadiusMinMm, e.grainRadiusMaxMm, e.grainDensityKgM3,
                e.radiationPressureEfficiency, e.activeWithinAu, static_cast<int>(e.release),
                static_cast<int>(e.speedLaw), static_cast<int>(e.directions), f.encounterAu,
                f.windowDays);
  return line + SurveyCsvHeader();
}

std::size_t LineCount(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// The survey's forecast settings for one comet, its trails run one at a time.
ForecastSettings ForComet(const SurveySettings& settings, int comet) {
  ForecastSettings f = settings.forecast;
  f.cometIndex = comet;
  f.threads = 1;
  return f;
}

}  // namespace

std::vector<SurveyTask> PlanSurvey(const SurveySettings& settings) {
  std::vector<SurveyTask> tasks;
  for (const int comet : settings.comets) {
    const ForecastPlan plan = PlanForecast(ForComet(settings, comet));
    for (const TrailTask& t : plan.tasks) {
      tasks.push_back({comet, t.year, static_cast<double>(t.steps) * plan.settings.perTrail});
    }
  }
  std::stable_sort(tasks.begin(), tasks.end(),
                   [](const SurveyTask& a, const SurveyTask& b) { return a.cost > b.cost; });
  return tasks;
}

std::optional<std::string> RunSurveyTask(const SurveySettings& settings, const SurveyTask& task,
                                         TrailRunner& runner, const std::atomic<bool>* cancel) {
  ForecastSettings f = ForComet(settings, task.comet);
  f.trailFrom = f.trailTo = task.trailYear;
  const ForecastPlan plan = PlanForecast(f);
  if (plan.tasks.size() != 1) {
    throw RunError(std::string(CometDisplayName(task.comet)) + " has no perihelion passage in " +
                   std::to_string(task.trailYear));
  }
  TrailSignals signals;
  signals.cancel = cancel;
  const TrailOutcome outcome = runner.Run(plan, plan.tasks.front(), signals);
  if (cancel && cancel->load()) return std::nullopt;
  const ForecastResult r = CollectEncounters(plan, {&outcome, 1});
  // The forecast CSV's rows (record_format's encounter columns, as the forecast
  // writes them), one encounter at a time, behind the comet's designation.
  const std::string comet = CsvField(std::string(CometDisplayName(task.comet))) + ",";
  const std::size_t headerLength = ForecastCsv({}).size();
  std::string rows;
  for (const TrailEncounter& e : r.encounters) rows += comet + ForecastCsv({e}).substr(headerLength);
  return rows;
}

std::string SurveyCsvHeader() { return "comet," + ForecastCsv({}); }

std::string SurveyCsv(const SurveySettings& settings, const std::vector<SurveyTask>& tasks,
                      const std::vector<std::string>& rows) {
  if (rows.size() != tasks.size()) throw RunError("A survey task has no result");
  std::vector<std::size_t> order(tasks.size());
  for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
  auto place = [&](int comet) {
    return std::find(settings.comets.begin(), settings.comets.end(), comet) -
           settings.comets.begin();
  };
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const auto pa = place(tasks[a].comet), pb = place(tasks[b].comet);
    return pa != pb ? pa < pb : tasks[a].trailYear < tasks[b].trailYear;
  });
  std::string out = SurveyCsvHeader();
  for (std::size_t k : order) out += rows[k];
  return out;
}

std::string CheckpointPath(const std::string& dir, const SurveyTask& task) {
  return dir + "/comet-" + std::to_string(task.comet) + "-trail-" +
         std::to_string(task.trailYear) + ".csv";
}

std::optional<std::string> ReadCheckpoint(const std::string& dir, const SurveySettings& settings,
                                          const SurveyTask& task) {
  std::ifstream in(CheckpointPath(dir, task), std::ios::binary);
  if (!in) return std::nullopt;
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string key = CheckpointKey(settings, task);
  if (text.compare(0, key.size(), key) != 0) return std::nullopt;
  // The last line counts the rows: a file cut short is not taken.
  const std::size_t lastLine = text.rfind('\n', text.size() >= 2 ? text.size() - 2 : 0);
  if (text.empty() || text.back() != '\n' || lastLine == std::string::npos || lastLine < key.size() - 1) {
    return std::nullopt;
  }
  std::string rows = text.substr(key.size(), lastLine + 1 - key.size());
  if (text.substr(lastLine + 1) != "rows " + std::to_string(LineCount(rows)) + "\n") {
    return std::nullopt;
  }
  return rows;
}

bool WriteCheckpoint(const std::string& dir, const SurveySettings& settings,
                     const SurveyTask& task, const std::string& rows, std::string& error) {
  const std::string text = CheckpointKey(settings, task) + rows + "rows " +
                           std::to_string(LineCount(rows)) + "\n";
  return WriteBytesAtomically(CheckpointPath(dir, task), text, error);
}

}  // namespace stelvo
