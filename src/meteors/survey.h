#pragma once
// A survey: dust-trail forecasts of many comets, cut into one task per (comet,
// trail) so that any number of workers can share them. This unit plans the tasks
// (largest first), runs one, keeps finished ones as checkpoint files, and puts the
// rows together into the survey CSV in a fixed order, so that the bytes are the
// same however the tasks were shared. No message passing here: stelvo-survey
// (app/survey) distributes the tasks over threads and MPI ranks.

#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "meteors/forecast.h"

namespace stelvo {

struct SurveySettings {
  std::vector<int> comets;   // catalogue indices, in the order of the CSV
  ForecastSettings forecast;  // everything but the comet (and threads: one per task)
};

// One trail of one comet.
struct SurveyTask {
  int comet = 0;      // catalogue index
  int trailYear = 0;  // year of the perihelion passage that released the trail
  double cost = 0;    // grains x steps of the trail's integration
};

// Every trail of every comet of the survey (the trail tasks of each comet's
// forecast plan), the most costly first (ties: the comets' order, then the year), so
// that the last tasks to finish are short ones. Integrates each comet to its
// perihelia; throws RunError for bad settings.
std::vector<SurveyTask> PlanSurvey(const SurveySettings& settings);

// A task's lines of the survey CSV, each ending in a newline (none when the trail
// meets the Earth in no forecast year): the trail task of a forecast planned for
// the trail's year alone, run by `runner` (kept from task to task by its thread)
// and collected. std::nullopt when `cancel` was set while it ran.
std::optional<std::string> RunSurveyTask(const SurveySettings& settings, const SurveyTask& task,
                                         TrailRunner& runner,
                                         const std::atomic<bool>* cancel = nullptr);

// The header `comet,` + the forecast CSV's header.
std::string SurveyCsvHeader();

// The whole CSV: rows[k] belongs to tasks[k]; the rows go in the order of the
// comets in the settings, then of the trail years, whatever the order of tasks.
std::string SurveyCsv(const SurveySettings& settings, const std::vector<SurveyTask>& tasks,
                      const std::vector<std::string>& rows);

// Checkpoints: one file per finished task in a directory, written atomically,
// starting with a line that records every setting that shapes the task's rows.
std::string CheckpointPath(const std::string& dir, const SurveyTask& task);
// The rows kept for this task, or nothing when there is no file or it was written
// with other settings (or is not a checkpoint at all).
std::optional<std::string> ReadCheckpoint(const std::string& dir, const SurveySettings& settings,
                                          const SurveyTask& task);
bool WriteCheckpoint(const std::string& dir, const SurveySettings& settings,
                     const SurveyTask& task, const std::string& rows, std::string& error);

}  // namespace stelvo
