// The analysis window on a 1,000,000-record log of a 100-item definition,
// under the offscreen platform, each figure printed beside its goal:
// - opening the log to the first drawn chart (read on the worker, first
//   channels decoded, the window painted once): goal under 2 s;
// - one repaint of the strip charts (four channels) while zooming in and
//   panning, average and worst: goal under 16 ms.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>

#include "analysis/LogData.h"
#include "app/analysis/AnalysisWindow.h"
#include "app/analysis/StripChartWidget.h"
#include "bench/support/BenchSupport.h"
#include "datalog/DataLogFile.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXFile.h"
#include "definition/ADXValue.h"

namespace {

constexpr int kPacketSize = 64;
constexpr int kItems = 100;
constexpr std::uint32_t kRecords = 1000000;

bool WriteFiles(const std::string& adx, const std::string& xdl) {
  ADXDefinition def;
  auto data = std::make_unique<ADXCSendCommand>();
  data->SetId("DATA");
  data->flags = kSendReadReply;
  data->replysize = kPacketSize;
  data->packetsize = kPacketSize;
  const std::uint32_t hash = data->idhash;
  def.Append(std::move(data));
  for (int i = 0; i < kItems; ++i) {
    auto v = std::make_unique<ADXValue>();
    v->SetId(("ITEM" + std::to_string(i)).c_str());
    v->SetEquation("X*0.75-40", 9);
    v->packetoffset = static_cast<std::uint32_t>(i % (kPacketSize - 1));
    v->sizeinbits = i % 3 == 0 ? 16 : 8;
    v->parentcmdidhash = hash;
    def.Append(std::move(v));
  }
  if (SaveAdx(&def, adx.c_str(), nullptr) != 1) return false;
  return WriteSyntheticLog(xdl, hash, kRecords, kPacketSize, true);
}

double Load() {
  double load = 0.0;
  if (std::FILE* f = std::fopen("/proc/loadavg", "r")) {
    if (std::fscanf(f, "%lf", &load) != 1) load = 0.0;
    std::fclose(f);
  }
  return load;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  char pattern[] = "/tmp/varnak-chart-bench-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return 1;
  const std::string folder = pattern;
  const std::string adx = folder + "/d100.adx", xdl = folder + "/l1m.xdl";
  if (!WriteFiles(adx, xdl)) {
    std::fprintf(stderr, "could not generate the log in %s\n", folder.c_str());
    return 1;
  }
  std::printf("load average %.2f\n", Load());

  AnalysisWindow window;
  window.resize(1200, 800);
  window.show();
  QElapsedTimer open;
  open.start();
  window.Open(adx, xdl);
  QSignalSpy done(&window, &AnalysisWindow::loadFinished);
  if (!done.wait(60000) || !done.front().front().toBool()) {
    std::fprintf(stderr, "the log did not open\n");
    return 1;
  }
  QImage frame(window.size(), QImage::Format_ARGB32_Premultiplied);
  window.render(&frame);
  const double openSeconds = open.elapsed() / 1000.0;
  std::printf("%-52s %7.3f s   goal < 2.00 s   %s\n", "open 1,000,000 records to the first drawn chart",
              openSeconds, openSeconds < 2.0 ? "met" : "MISSED");
  std::printf("%-52s %7.1f MB  goal < 300 MB\n", "log in memory", window.Log()->MemoryBytes() / 1e6);

  window.ShowChannels({"ITEM0", "ITEM1", "ITEM2", "ITEM3"});
  StripChartWidget* charts = window.Charts();
  QImage image(charts->size(), QImage::Format_ARGB32_Premultiplied);
  double total = 0.0, worst = 0.0;
  int frames = 0;
  auto paint = [&] {
    QElapsedTimer t;
    t.start();
    charts->render(&image);
    const double ms = t.nsecsElapsed() / 1e6;
    total += ms;
    worst = std::max(worst, ms);
    ++frames;
  };
  const TimeView whole = charts->View();
  for (int i = 0; i < 20; ++i) {  // zoom in around the middle, then out
    charts->ZoomAt((whole.from + whole.to) / 2, 0.7);
    paint();
  }
  for (int i = 0; i < 40; ++i) {  // pan across
    charts->SetView(PanView(charts->View(), charts->View().Span() / 5, charts->Bounds()));
    paint();
  }
  charts->ResetView();
  for (int i = 0; i < 10; ++i) paint();  // the whole log
  std::printf("%-52s %7.2f ms  worst %.2f ms   goal < 16 ms   %s\n", "strip chart repaint, 4 channels",
              total / frames, worst, total / frames < 16.0 ? "met" : "MISSED");
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
  return 0;
}
