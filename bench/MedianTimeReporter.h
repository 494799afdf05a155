// The console table, plus each run's CPU time per iteration by name, for the
// ratios a benchmark prints after its table. CPU time, because a machine shared
// with other work disturbs it less than wall time; with --benchmark_repetitions
// the median of the repetitions stands for the run.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <set>
#include <string>
#include <vector>

class MedianTimeReporter : public benchmark::ConsoleReporter {
 public:
  using benchmark::ConsoleReporter::ConsoleReporter;

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.iterations == 0) continue;
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type == Run::RT_Aggregate && !median) continue;
      const std::string name = run.run_name.str();
      if (median || medians_.count(name) == 0) times[name] = run.GetAdjustedCPUTime();
      if (median) medians_.insert(name);
    }
  }

  std::map<std::string, double> times;

 private:
  std::set<std::string> medians_;
};
