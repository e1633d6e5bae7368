// The session against the simulated ECU over a pseudo-terminal: scan, record,
// stop, play and the full-speed pass through one owner; sinks see the same
// packets in the same order; destroying a session while it scans or plays
// ends every worker cleanly.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "acquisition/control/AcquisitionDisplay.h"
#include "acquisition/control/LoggerControl.h"
#include "datalog/DataLogFile.h"
#include "datalog/XdlFormat.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXFile.h"
#include "session/Session.h"
#include "tests/acquisition/control/LinkFixture.h"
#include "tests/support/ResultPrinting.h"

namespace {

struct SeenPacket {
  double time = 0.0;
  std::vector<std::uint8_t> bytes;
  std::uint32_t commandIdHash = 0;
  bool operator==(const SeenPacket& other) const {
    return time == other.time && bytes == other.bytes && commandIdHash == other.commandIdHash;
  }
};

// Collects the full packets it is given.
class CollectingSink : public IPacketSink {
 public:
  void OnPacket(const PacketEvent& event) override {
    if (!event.IsFullPacket()) return;
    std::lock_guard<std::mutex> guard(mutex_);
    packets_.push_back({event.timeSeconds, {event.packet, event.packet + event.length}, event.commandIdHash});
  }
  std::vector<SeenPacket> Packets() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return packets_;
  }
  std::size_t Count() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return packets_.size();
  }
  bool WaitFor(std::size_t count, std::chrono::milliseconds timeout) const {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (Count() < count) {
      if (std::chrono::steady_clock::now() > end) return false;
      std::this_thread::sleep_for(5ms);
    }
    return true;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<SeenPacket> packets_;
};

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(temp.Path().empty());
    ADXDefinition def;
    MakeDefinition(def);
    adxPath = temp.File("ecu.adx");
    ASSERT_EQ(SaveAdx(&def, adxPath.c_str(), nullptr), 1);
    sim = std::make_unique<EcuSimulator>(MakeScenario());
    std::string error;
    ASSERT_TRUE(sim->start(&error)) << error;
  }

  std::unique_ptr<Session> MakeSession() {
    SessionOptions options;
    options.recordingFolder = temp.Path();
    options.onError = [this](const std::string& title, const std::string& text) {
      errors.push_back(title + ": " + text);
    };
    auto session = std::make_unique<Session>(std::move(options));
    const DefinitionLoad load = session->LoadDefinition(adxPath, DefinitionFormat::Adx);
    EXPECT_TRUE(load.ok);
    session->SetPort(sim->slavePath());
    return session;
  }

  TempFolder temp;
  std::string adxPath;
  std::unique_ptr<EcuSimulator> sim;
  std::vector<std::string> errors;
};

TEST_F(SessionTest, ScanRecordStopPlayAndExportThroughOneOwner) {
  auto session = MakeSession();
  CollectingSink first;
  CollectingSink second;
  session->AttachSink(&first);
  session->AttachSink(&second);

  session->ToggleConnection();
  const std::string saved = temp.File("drive.xdl");
  ASSERT_EQ(session->Record(saved), XDL_OK);
  ASSERT_TRUE(first.WaitFor(15, 10s));
  EXPECT_TRUE(session->Busy());
  EXPECT_TRUE(session->Status().scanning);
  session->StopScan();
  EXPECT_FALSE(session->IsScanning());
  session->StopLog();
  session->JoinWorkers();
  EXPECT_TRUE(errors.empty());
  ASSERT_TRUE(std::filesystem::exists(saved));

  // Two sinks saw the same packets in the same order.
  const std::vector<SeenPacket> live = first.Packets();
  EXPECT_EQ(live, second.Packets());
  EXPECT_GE(live.size(), 15u);

  // A detached sink hears nothing more; the full-speed pass replays exactly
  // the recorded packets (all but the connect reply, which came before the
  // recording started).
  session->DetachSink(&second);
  CollectingSink replay;
  session->AttachSink(&replay);
  const PlayResult result = session->PlayToEnd(saved, 0.0f);
  EXPECT_EQ(result.outcome, PlayOutcome::Ended);
  EXPECT_FALSE(session->Busy());
  const std::vector<SeenPacket> replayed = replay.Packets();
  ASSERT_FALSE(replayed.empty());
  ASSERT_EQ(replayed.size(), live.size() - 1);
  for (std::size_t i = 0; i < replayed.size(); ++i) {
    EXPECT_EQ(replayed[i].bytes, live[i + 1].bytes) << "packet " << i;
    EXPECT_EQ(replayed[i].commandIdHash, live[i + 1].commandIdHash) << "packet " << i;
  }
  EXPECT_EQ(second.Packets().size(), live.size());
}

TEST_F(SessionTest, PlayPausedAndSeekedThenStopped) {
  // A recording to play.
  const std::string saved = temp.File("short.xdl");
  {
    auto session = MakeSession();
    CollectingSink sink;
    session->AttachSink(&sink);
    session->ToggleConnection();
    ASSERT_EQ(session->Record(saved), XDL_OK);
    ASSERT_TRUE(sink.WaitFor(30, 10s));
    session->StopScan();
    session->StopLog();
  }
  auto session = MakeSession();
  CollectingSink sink;
  session->AttachSink(&sink);
  session->SetPlaybackSpeed(0.25f);
  session->SetLogPath(saved);
  ASSERT_EQ(session->Play(), XDL_OK);
  ASSERT_TRUE(sink.WaitFor(1, 5s));
  session->Pause();
  EXPECT_EQ(session->Status().logState, XDL_STATE_READY);
  EXPECT_EQ(session->Seek(20), XDL_OK);
  EXPECT_EQ(session->Status().logSample, 20);
  session->StopLog();
  EXPECT_TRUE(session->WaitDatalogEnded(5s));
  session->OnDatalogStopped();
  session->JoinWorkers();
  EXPECT_FALSE(session->Busy());
}

TEST_F(SessionTest, DestroyedWhileScanningOrPlayingEndsEveryWorker) {
  const std::string saved = temp.File("cut.xdl");
  {
    auto session = MakeSession();
    CollectingSink sink;
    session->AttachSink(&sink);
    session->ToggleConnection();
    ASSERT_EQ(session->Record(saved), XDL_OK);
    ASSERT_TRUE(sink.WaitFor(10, 10s));
    // Destroyed mid-scan and mid-recording: the workers stop, and what was
    // recorded stays playable in temp.xdl.
    session.reset();
  }
  const std::string backup = temp.File(LoggerControl::kRecordingFileName);
  ASSERT_TRUE(std::filesystem::exists(backup));
  {
    auto session = MakeSession();
    CollectingSink sink;
    session->AttachSink(&sink);
    session->SetPlaybackSpeed(0.25f);
    session->SetLogPath(backup);
    ASSERT_EQ(session->Play(), XDL_OK);
    ASSERT_TRUE(sink.WaitFor(2, 5s));
    session.reset();  // mid-playback
  }
}

TEST_F(SessionTest, DefinitionIsKeptWhileBusyAndBadFilesAreReported) {
  auto session = MakeSession();
  const DefinitionLoad missing = session->LoadDefinition(temp.File("none.adx"), DefinitionFormat::Adx);
  EXPECT_FALSE(missing.ok);
  const DefinitionLoad legacy = session->LoadDefinition(temp.File("none.ads"), DefinitionFormat::LegacyAds);
  EXPECT_FALSE(legacy.ok);
  EXPECT_FALSE(legacy.messages.empty());

  ASSERT_TRUE(session->LoadDefinition(adxPath, DefinitionFormat::Adx).ok);
  const std::size_t objects = session->Definition().ObjectCount();
  CollectingSink sink;
  session->AttachSink(&sink);
  session->ToggleConnection();
  ASSERT_TRUE(sink.WaitFor(2, 10s));
  const DefinitionLoad refused = session->LoadDefinition(adxPath, DefinitionFormat::Adx);
  EXPECT_FALSE(refused.ok);
  ASSERT_EQ(refused.messages.size(), 1u);
  EXPECT_NE(refused.messages[0].find("Stop scanning"), std::string::npos);
  EXPECT_EQ(session->Definition().ObjectCount(), objects);
  session->StopScan();
}

TEST_F(SessionTest, PortThatCannotOpenIsReported) {
  auto session = MakeSession();
  session->SetPort(temp.File("no-such-port"));
  session->ToggleConnection();
  const auto end = std::chrono::steady_clock::now() + 5s;
  while (!session->Acquisition().IsAcquisitionDone() && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(5ms);
  session->StopScan();
  EXPECT_TRUE(session->LastOpenFailed());
  EXPECT_FALSE(session->IsScanning());
}

}  // namespace
