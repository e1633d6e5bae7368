// Repaint cost of a strip chart that has run for hours against a fresh one.
// A 1200 x 400 chart with 10 series and a 20 s window: the repaint must not
// grow with the number of points held (visible range by binary search, a
// per-column envelope when points are denser than the pixels).
// Run with QT_QPA_PLATFORM=offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cmath>
#include <memory>
#include <vector>

#include "controls/datachart/QvDataChart.h"

namespace {

constexpr int kSeries = 10;
constexpr double kRateHz = 100.0;

struct Chart {
  QvDataChart chart;
  QvDataChartAxis* time = nullptr;
  std::vector<QvDataChartSeries*> series;

  explicit Chart(int pointsPerSeries) {
    chart.resize(1200, 400);
    time = chart.addAxis();
    time->SetPosition(DcAxisBottom);
    time->SetFlags(0x70);
    time->SetLabelFormatter(QvDataChartTimeLabel);
    time->SetVisibleRange(0, 20);
    time->SetFullRange(0, 20);
    for (int i = 0; i < kSeries; ++i) {
      QvDataChartAxis* values = chart.addAxis();
      values->SetVisibleRange(0, 6000);
      QvDataChartSeries* s = chart.addSeries();
      s->SetXAxis(time);
      s->SetYAxis(values);
      series.push_back(s);
    }
    // Points arrive in time order; the time axis scrolls with them, so the
    // last 20 s are visible at the end.
    for (int n = 0; n < pointsPerSeries; ++n) {
      const float t = static_cast<float>(n / kRateHz);
      for (int i = 0; i < kSeries; ++i) {
        series[i]->AddPoint(
            t, static_cast<float>(3000 + 2500 * std::sin(t * (0.3 + 0.1 * i)) + 200 * std::sin(t * 7.0)));
      }
    }
    (void)chart.renderFrame();
  }
};

void Repaint(benchmark::State& state, int points) {
  Chart c(points);
  for (auto _ : state) {
    c.chart.redraw();
    benchmark::DoNotOptimize(c.chart.renderFrame());
  }
  state.counters["points_per_series"] = points;
}

void BM_RepaintFresh1k(benchmark::State& state) {
  Repaint(state, 1000);
}
void BM_RepaintHours1M(benchmark::State& state) {
  Repaint(state, 1000000);
}

BENCHMARK(BM_RepaintFresh1k)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RepaintHours1M)->Unit(benchmark::kMillisecond)->UseRealTime();

// Prints the ratio of the two repaint times after the run.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const double perIteration = run.GetAdjustedRealTime();
      if (run.benchmark_name().find("Fresh1k") != std::string::npos) fresh_ = perIteration;
      if (run.benchmark_name().find("Hours1M") != std::string::npos) long_ = perIteration;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    if (fresh_ > 0 && long_ > 0) {
      std::printf("repaint ratio (1,000,000 vs 1,000 points per series): %.2f\n", long_ / fresh_);
    }
  }

 private:
  double fresh_ = 0;
  double long_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  static int qtArgc = 1;
  static char name[] = "datachart_bench";
  static char* qtArgv[] = {name, nullptr};
  auto app = std::make_unique<QApplication>(qtArgc, qtArgv);
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  return 0;
}
