// Histograms accumulated from a whole log against the same log played through
// the live path (the datalog playback thread, the acquisition callback and the
// histogram pane's sampling rule), and the time range and command rules.
#include <gtest/gtest.h>

#include <chrono>

#include "acquisition/CollectingTextSink.h"
#include "acquisition/DataAcqEngine.h"
#include "acquisition/control/AcquisitionControl.h"
#include "acquisition/control/LoggerControl.h"
#include "analysis/LogHistograms.h"
#include "tests/acquisition/control/SessionFakes.h"
#include "tests/analysis/AnalysisTestSupport.h"
#include "tests/support/ResultPrinting.h"

namespace {

using namespace analysistest;
using namespace std::chrono_literals;
using xdltest::BuildLog;
using xdltest::RawRecord;
using xdltest::ScratchDir;
using xdltest::WriteAll;

constexpr int kKinds[] = {0, 1, 2, 3, 7, 8, 9, 10, 11};

// The window's histogram pane as the playback path feeds it: every histogram
// bound to no command or to the packet's command takes a sample.
class HistogramDisplay : public FakeDisplay {
 public:
  HistogramDisplay(const ADXDefinition& def, std::vector<ADXHistogram*> histograms)
      : def_(def), histograms_(std::move(histograms)) {}
  void UpdatePanes(std::uint32_t panes, double time, const std::uint8_t* packet, std::size_t length,
                   std::uint32_t hash) override {
    if ((panes & kPaneHistograms) != 0) {
      for (ADXHistogram* h : histograms_) {
        if (h->parentcmdidhash != 0 && h->parentcmdidhash != hash) continue;
        (void)h->AddSampleFromPacket(&def_, packet, length, hash);
      }
    }
    FakeDisplay::UpdatePanes(panes, time, packet, length, hash);
  }

 private:
  const ADXDefinition& def_;
  std::vector<ADXHistogram*> histograms_;
};

// Every cell of every kind, as text.
std::vector<std::string> Cells(const ADXHistogram& h) {
  std::vector<std::string> out;
  char text[64];
  for (int kind : kKinds) {
    for (int r = 0; r < h.rows; ++r) {
      for (int c = 0; c < h.cols; ++c) {
        h.GetCellStatistic(kind, r, c, text, sizeof text);
        out.push_back(std::to_string(kind) + "@" + std::to_string(r) + "," + std::to_string(c) + "=" + text);
      }
    }
  }
  return out;
}

class LogHistogramsTest : public ::testing::Test {
 protected:
  void SetUp() override { engine = BuildEngineDefinition(def); }
  void Load(const std::vector<RawRecord>& records) {
    path = dir.File("drive.xdl");
    WriteAll(path, BuildLog(EngineEntries(engine), records));
    ASSERT_EQ(ReadLogData(path, &log), LogReadResult::kOk);
  }
  ADXHistogram& Histogram(ADXDefinition& d, const char* id) {
    return *static_cast<ADXHistogram*>(d.FindById(id));
  }

  ScratchDir dir;
  ADXDefinition def;
  EngineDefinition engine;
  std::string path;
  LogData log;
};

TEST_F(LogHistogramsTest, EqualTheLivePathCellByCellForEveryKind) {
  Load(EngineRecords(600, 11));
  // The live side: its own definition, played through the real playback path.
  ADXDefinition live;
  BuildEngineDefinition(live);
  HistogramDisplay display(live, DefinitionHistograms(live));
  CollectingTextSink sink;
  QvDebugOutput output(&sink);
  DataAcqEngine acquisition;
  DataLogFile datalog;
  FakeMessages messages;
  FakeLoggerView view;
  {
    AcquisitionControl control(live, acquisition, datalog, output, display, messages);
    LoggerControl logger(control, view, dir.File(""));
    logger.SetPlaybackSpeed(0.0f);
    logger.SetCurrentLogPath(path);
    ASSERT_EQ(logger.Play(), XDL_OK);
    ASSERT_TRUE(messages.WaitFor("DatalogEnded", 1, 20s));
    control.JoinWorkers();
    datalog.Close();
  }
  ASSERT_EQ(display.PacketUpdates(), 600u);

  LogBinding binding(log, def);
  FillHistograms(binding, DefinitionHistograms(def), TimeRange{});
  for (const char* id : {"SPKMAP", "TEMPMAP", "SLOWH"}) {
    SCOPED_TRACE(id);
    EXPECT_GT(Histogram(def, id).SampleCount(), 0u);
    EXPECT_EQ(Histogram(def, id).SampleCount(), Histogram(live, id).SampleCount());
    EXPECT_EQ(Cells(Histogram(def, id)), Cells(Histogram(live, id)));
  }
}

TEST_F(LogHistogramsTest, RangeIncludesBothEndsAndKeepsEarlierRawValues) {
  // Times 0, 100, ..., 900 ms: FAST except a SLOW record at 200 ms whose
  // temperature (byte 200 -> 160 degC) lands before the range starts.
  std::vector<RawRecord> records;
  for (std::uint32_t i = 0; i < 10; ++i) {
    if (i == 2) {
      records.push_back({i * 100, 1, {200, 0, 0, 0}});
    } else {
      records.push_back({i * 100, 0, {0, 0, 0x07, 0xD0, 10, 4, 0, 1}});  // RPM 500, MAP 5, SPARK 2
    }
  }
  Load(records);
  LogBinding binding(log, def);
  ADXHistogram& any = Histogram(def, "TEMPMAP");
  ADXHistogram& fast = Histogram(def, "SPKMAP");
  FillHistograms(binding, {&any, &fast}, TimeRange{0.3, 0.6});
  EXPECT_EQ(any.SampleCount(), 4u);  // 300, 400, 500 and 600 ms
  EXPECT_EQ(fast.SampleCount(), 4u);
  // TEMP 160 degC is in row 2 of -40 .. 200 (breakpoints -40, 80, 200).
  float count = 0.0f;
  EXPECT_TRUE(any.CellStatistic(kStatCount, 2, 0, &count));
  EXPECT_EQ(count, 4.0f);

  FillHistograms(binding, {&any}, TimeRange{0.2, 0.2});  // one record: the SLOW one
  EXPECT_EQ(any.SampleCount(), 1u);
  FillHistograms(binding, {&any}, TimeRange{0.201, 0.299});
  EXPECT_EQ(any.SampleCount(), 0u);
}

TEST_F(LogHistogramsTest, AHistogramBoundToOneCommandTakesOnlyItsRecords) {
  Load(EngineRecords(100));
  LogBinding binding(log, def);
  FillHistograms(binding, DefinitionHistograms(def), TimeRange{});
  EXPECT_EQ(Histogram(def, "SPKMAP").SampleCount(), 75u);
  EXPECT_EQ(Histogram(def, "SLOWH").SampleCount(), 25u);
  EXPECT_EQ(Histogram(def, "TEMPMAP").SampleCount(), 100u);
  // Refilling starts from empty cells.
  FillHistograms(binding, DefinitionHistograms(def), TimeRange{});
  EXPECT_EQ(Histogram(def, "SLOWH").SampleCount(), 25u);
}

TEST_F(LogHistogramsTest, GridCsvHasTheBreakpointsAndTheCellTexts) {
  Load({{0, 0, {0, 0, 0x01, 0xF4, 20, 5, 0, 0}},
        {25, 0, {0, 0, 0x01, 0xF4, 20, 6, 0, 0}}});  // RPM 125, MAP 10
  LogBinding binding(log, def);
  ADXHistogram& h = Histogram(def, "SPKMAP");
  FillHistograms(binding, {&h}, TimeRange{});
  const std::string csv = HistogramGridCsv(h, kStatAverage);
  EXPECT_EQ(csv,
            ",0,500,1000,1500,2000\r\n"
            "0,2.750,,,,\r\n"
            "40,,,,,\r\n"
            "80,,,,,\r\n"
            "120,,,,,\r\n");
  EXPECT_EQ(HistogramGridCsv(h, kStatCount).substr(0, 32), ",0,500,1000,1500,2000\r\n0,2,,,,\r\n");
  EXPECT_EQ(AxisBreakpoints(1, 5.0f, 9.0f), std::vector<float>{5.0f});
  EXPECT_TRUE(AxisBreakpoints(0, 5.0f, 9.0f).empty());
}

}  // namespace
