// Runs the symmetric benchmarks and ends with a table: for each primitive our
// MB/s, libgcrypt's MB/s and their ratio (above 1.0: we are faster).
#include <benchmark/benchmark.h>
#include <stdio.h>

#include <map>
#include <string>

namespace {

// SummaryReporter prints as the console reporter does and keeps each run's
// bytes per second, keyed by primitive ("Hash") and side ("Ours", "Gcrypt").
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const auto& run : runs) {
      if (run.run_type != Run::RT_Iteration && run.aggregate_name != "mean") continue;
      std::string name = run.run_name.function_name;
      size_t cut = name.find('_');
      if (cut == std::string::npos) continue;
      auto it = run.counters.find("bytes_per_second");
      if (it == run.counters.end()) continue;
      figures_[name.substr(0, cut)][name.substr(cut + 1)] = double(it->second) / 1e6;
    }
  }

  void PrintSummary() const {
    printf("\n%-8s %12s %12s %8s\n", "", "ours MB/s", "gcrypt MB/s", "ratio");
    for (const auto& [primitive, sides] : figures_) {
      auto ours = sides.find("Ours"), theirs = sides.find("Gcrypt");
      if (ours == sides.end() || theirs == sides.end()) continue;
      printf("%-8s %12.1f %12.1f %8.2f\n", primitive.c_str(), ours->second, theirs->second,
             ours->second / theirs->second);
    }
  }

 private:
  std::map<std::string, std::map<std::string, double>> figures_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintSummary();
  benchmark::Shutdown();
  return 0;
}
