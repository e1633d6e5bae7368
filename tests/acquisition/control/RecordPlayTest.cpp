// Recording while scanning, saving without replacing, playing back with
// pause and stop, and exporting the recorded rows.
#include <fstream>
#include <sstream>

#include "acquisition/control/platform/FileMove.h"
#include "tests/acquisition/control/LinkFixture.h"
#include "tests/support/ResultPrinting.h"
#include "tools/varnak-cli/CommandLineSession.h"
#include "tools/varnak-cli/ItemRows.h"

namespace {

std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The row without its time column.
std::string Values(const std::string& row) {
  return row.substr(row.find(','));
}

class RecordPlayTest : public LinkTest {
 protected:
  // Scans with a recording until `packets` data packets have arrived, stops
  // and saves the recording under `saveName`. Returns the recorded packets as
  // the panes saw them live.
  std::vector<PaneUpdate> ScanAndRecord(std::size_t packets, const std::string& saveName) {
    view.saveName = saveName;
    control->ToggleConnection();
    EXPECT_EQ(logger->Record(), XDL_OK);
    EXPECT_TRUE(display.WaitForPackets(packets + 1, 10s));
    StopAndWait();
    logger->Stop();
    // Every good packet but the first (the connect reply, which arrived while
    // connecting) was recorded: the data replies and the disconnect reply.
    std::vector<PaneUpdate> recorded;
    for (auto& u : display.Updates())
      if (u.hasPacket) recorded.push_back(u);
    // An upstream fault (no packet at all) fails this case, not the program.
    if (recorded.size() < 2) {
      ADD_FAILURE() << "only " << recorded.size() << " packets reached the panes";
      return {};
    }
    EXPECT_EQ(recorded.front().commandIdHash, def.connectcmd->idhash);
    EXPECT_EQ(recorded.back().commandIdHash, def.disconnectcmd->idhash);
    recorded.erase(recorded.begin());
    return recorded;
  }

  std::string SaveDefinition() {
    const std::string path = temp.File("ecu.adx");
    EXPECT_EQ(SaveAdx(&def, path.c_str(), nullptr), 1);
    return path;
  }
};

TEST_F(RecordPlayTest, ExportHoldsEveryRecordedPacketExactly) {
  StartSimulator();
  MakeControl(sim->slavePath());
  const std::string saved = temp.File("run.xdl");
  const std::vector<PaneUpdate> live = ScanAndRecord(20, saved);
  EXPECT_TRUE(LogHas("Recording stopped"));
  EXPECT_TRUE(LogHas("Log saved to " + saved));
  EXPECT_EQ(logger->CurrentLogPath(), saved);
  EXPECT_FALSE(std::filesystem::exists(logger->RecordingPath()));
  EXPECT_TRUE(view.errors.empty());

  // The rows the item list showed live for the recorded packets of commands
  // with items (the disconnect reply would only repeat the last row).
  ADXDefinition again;
  const std::string adx = SaveDefinition();
  ASSERT_EQ(LoadAdx(&again, adx.c_str(), nullptr, 0, nullptr), 1);
  ItemRowFormatter expected(again);
  std::vector<std::string> liveRows;
  for (const auto& u : live) {
    if (!expected.MakesRow(u.commandIdHash)) continue;
    std::string row;
    expected.AppendRow(row, 0.0, u.packet.data(), u.packet.size(), u.commandIdHash);
    row.pop_back();
    liveRows.push_back(row);
  }

  const std::string csv = temp.File("run.csv");
  ASSERT_EQ(RunExportSession(saved, adx, csv, stderr), 0);
  const auto rows = ReadLines(csv);
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows[0], "time_s,RPM,TPS,INJ,FAN");
  ASSERT_EQ(rows.size() - 1, liveRows.size());
  double previous = 0.0;
  for (std::size_t i = 1; i < rows.size(); ++i) {
    EXPECT_EQ(Values(rows[i]), Values(liveRows[i - 1])) << "row " << i;
    const double t = std::stod(rows[i]);
    EXPECT_GE(t, previous);
    previous = t;
  }
  EXPECT_EQ(rows[1].substr(0, 6), "0.000,");
}

TEST_F(RecordPlayTest, SavingNeverOverwritesAndCancelKeepsTheRecording) {
  MakeControl(temp.File("no-tty"));
  const std::string existing = temp.File("keep.xdl");
  { std::ofstream(existing) << "precious"; }

  view.saveName = existing;
  ASSERT_EQ(logger->Record(), XDL_OK);
  EXPECT_EQ(logger->ToolbarState(), UpdateLoggerToolbar(XDL_STATE_RECORDING, NotConnected));
  logger->Stop();
  EXPECT_EQ(ReadFile(existing), "precious");
  ASSERT_EQ(view.errors.size(), 1u);
  // The message names the file where the recording really is.
  EXPECT_EQ(view.errors[0], "Cannot overwrite|" + existing +
                                " already exists. Log save failed; the recording is in " +
                                logger->RecordingPath());
  EXPECT_TRUE(LogHas("Cannot overwrite existing log: " + existing + ", error 0x11"));
  EXPECT_TRUE(std::filesystem::exists(logger->RecordingPath()));
  EXPECT_EQ(display.CountCalls("Slider 0"), 1u);
  const std::string first = ReadFile(logger->RecordingPath());

  // Cancelled: temp.xdl stays, the slider keeps its place. The unsaved first
  // recording was kept under its time stamp, not overwritten.
  view.saveName.clear();
  ASSERT_EQ(logger->Record(), XDL_OK);
  logger->Stop();
  EXPECT_EQ(view.saveDialogs, 2);
  EXPECT_TRUE(std::filesystem::exists(logger->RecordingPath()));
  EXPECT_EQ(display.CountCalls("Slider 0"), 1u);
  EXPECT_EQ(datalog.State(), XDL_STATE_CLOSED);
  std::vector<std::string> backups;
  for (const auto& item : std::filesystem::directory_iterator(temp.Path())) {
    const std::string name = item.path().filename().string();
    if (name.rfind("temp-", 0) == 0 && name.size() == std::string("temp-YYYYMMDD-HHMMSS.xdl").size())
      backups.push_back(item.path().string());
  }
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(ReadFile(backups[0]), first);
  EXPECT_TRUE(LogHas("The earlier recording was kept as " + backups[0]));
  EXPECT_EQ(view.errors.size(), 1u);

  // A third recording keeps the second one too, under a numbered name when
  // the time stamp is the same.
  ASSERT_EQ(logger->Record(), XDL_OK);
  logger->Stop();
  std::size_t kept = 0;
  for (const auto& item : std::filesystem::directory_iterator(temp.Path()))
    kept += item.path().filename().string().rfind("temp-", 0) == 0;
  EXPECT_EQ(kept, 2u);
}

TEST_F(RecordPlayTest, FailedSaveNamesItsRealCause) {
  MakeControl(temp.File("no-tty"));
  const std::string missing = temp.File("no-such-folder/run.xdl");
  view.saveName = missing;
  ASSERT_EQ(logger->Record(), XDL_OK);
  logger->Stop();
  ASSERT_EQ(view.errors.size(), 1u);
  EXPECT_EQ(view.errors[0], "Log save failed|Cannot save " + missing +
                                ": No such file or directory. The recording is in " +
                                logger->RecordingPath());
  EXPECT_FALSE(LogHas("Log saved"));
  EXPECT_FALSE(LogHas("Cannot overwrite"));
  EXPECT_TRUE(std::filesystem::exists(logger->RecordingPath()));
}

TEST_F(RecordPlayTest, FailedWriteStopsTheRecordingWithItsReasonWhileTheScanGoesOn) {
  StartSimulator();
  MakeControl(sim->slavePath());
  {
    FileSizeCap cap(400);  // header, table and a few records
    control->ToggleConnection();
    ASSERT_EQ(logger->Record(), XDL_OK);
    ASSERT_TRUE(messages.WaitFor("DatalogEnded", 1, 10s));
  }
  // The program's handler runs on its own thread and reports the cause once.
  logger->OnDatalogStopped();
  const std::string tempLog = logger->RecordingPath();
  ASSERT_EQ(view.errors.size(), 1u);
  EXPECT_EQ(view.errors[0], "Recording failed|Recording stopped: cannot write " + tempLog +
                                ": File too large. What was recorded until then is in " + tempLog);
  EXPECT_TRUE(LogHas("Recording stopped: cannot write " + tempLog + ": File too large"));
  EXPECT_EQ(datalog.State(), XDL_STATE_CLOSED);
  EXPECT_GE(display.CountCalls("Flash Recording failed!"), 1u);
  // The scan itself goes on.
  EXPECT_TRUE(display.WaitForPackets(display.PacketUpdates() + 3, 10s));
  EXPECT_TRUE(control->IsRunning());
  StopAndWait();
  logger->Stop();
  EXPECT_EQ(view.errors.size(), 1u);
  EXPECT_EQ(view.saveDialogs, 0);
  EXPECT_FALSE(LogHas("Log saved"));
  // What was written plays back as a log of whole records.
  ASSERT_EQ(datalog.Open(tempLog.c_str(), true), XDL_OK);
  EXPECT_GT(datalog.RecordCount(), 0u);
  datalog.Close();
}

TEST(FileMoveTest, MovesOnlyOntoAFreeName) {
  TempFolder temp;
  const std::string a = temp.File("a"), b = temp.File("b");
  { std::ofstream(a) << "one"; }
  EXPECT_EQ(MoveFileNoReplace(a, b), 0);
  EXPECT_FALSE(std::filesystem::exists(a));
  EXPECT_EQ(ReadFile(b), "one");
  { std::ofstream(a) << "two"; }
  EXPECT_EQ(MoveFileNoReplace(a, b), EEXIST);
  EXPECT_EQ(ReadFile(a), "two");
  EXPECT_EQ(ReadFile(b), "one");
  EXPECT_NE(MoveFileNoReplace(temp.File("none"), temp.File("c")), 0);
  // Across file systems (when /dev/shm is another one) the copy is used.
  if (std::filesystem::is_directory("/dev/shm")) {
    TempFolder dummy;
    const std::string far = "/dev/shm/varnak-move-" + std::to_string(::getpid());
    std::filesystem::remove(far);
    EXPECT_EQ(MoveFileNoReplace(a, far), 0);
    EXPECT_EQ(ReadFile(far), "two");
    EXPECT_FALSE(std::filesystem::exists(a));
    std::filesystem::remove(far);
  }
}

TEST(RecordingFolderTest, ProgramFolderFirstThenUserData) {
  TempFolder temp;
  // The program's folder only in a portable installation.
  const std::string build = temp.File("build");
  std::filesystem::create_directory(build);
  EXPECT_EQ(RecordingFolder(build, temp.File("xdg").c_str(), "/ignored"), temp.File("xdg") + "/varnak");
  EXPECT_TRUE(std::filesystem::is_empty(build));
  { std::ofstream(temp.File("Settings.dat")) << "comport=/dev/ttyS0\n"; }
  EXPECT_EQ(RecordingFolder(temp.Path(), "/ignored", "/ignored"), temp.Path());
  const std::string data = temp.File("data");
  EXPECT_EQ(RecordingFolder(temp.File("missing"), data.c_str(), "/ignored"), data + "/varnak");
  EXPECT_TRUE(std::filesystem::is_directory(data + "/varnak"));
  EXPECT_EQ(RecordingFolder(temp.File("missing"), "relative", temp.Path().c_str()),
            temp.Path() + "/.local/share/varnak");
}

TEST_F(RecordPlayTest, PlayPauseJumpAndStopAtTheEnd) {
  StartSimulator();
  MakeControl(sim->slavePath());
  const std::string saved = temp.File("play.xdl");
  const auto live = ScanAndRecord(40, saved);
  ASSERT_GE(live.size(), 40u);

  // Playback ends through the end notification, the control thread and the
  // program's handler, which the test runs on its own thread as the window
  // would on its.
  logger->SetPlaybackSpeed(4.0f);
  EXPECT_EQ(view.checked, SpeedItem::Speed400);
  const std::size_t before = display.PacketUpdates();
  ASSERT_EQ(logger->Play(), XDL_OK);
  EXPECT_TRUE(LogHas("Playing " + saved));
  EXPECT_EQ(display.CountCalls("SliderRange " + std::to_string(live.size())), 1u);
  EXPECT_TRUE(display.WaitForPackets(before + 5, 5s));
  logger->Pause();
  EXPECT_EQ(datalog.State(), XDL_STATE_READY);
  EXPECT_EQ(control->GetConnectionState(), LogPaused);
  EXPECT_TRUE(LogHas("Playback paused"));
  EXPECT_EQ(logger->ToolbarState(), UpdateLoggerToolbar(XDL_STATE_READY, LogPaused));
  const std::int32_t at = datalog.SampleIndex();
  EXPECT_EQ(logger->JumpBackward(), XDL_OK);
  EXPECT_EQ(datalog.SampleIndex(), std::max(0, at - 10));
  EXPECT_EQ(logger->JumpForward(), XDL_OK);
  EXPECT_EQ(datalog.SampleIndex(), std::max(0, at - 10) + 10);
  EXPECT_EQ(logger->SliderMoved(2), XDL_OK);
  EXPECT_EQ(datalog.SampleIndex(), 2);

  // Play continues with the next record: the third one.
  const std::size_t paused = display.PacketUpdates();
  ASSERT_EQ(logger->Play(), XDL_OK);
  EXPECT_TRUE(LogHas("Playback unpaused"));
  ASSERT_TRUE(messages.WaitFor("DatalogEnded", 1, 10s));
  control->JoinWorkers();
  logger->OnDatalogStopped();
  EXPECT_TRUE(LogHas("Playback stopped"));
  EXPECT_EQ(datalog.State(), XDL_STATE_CLOSED);
  EXPECT_EQ(control->GetConnectionState(), NotConnected);
  auto updates = display.Updates();
  ASSERT_EQ(updates.size() - paused, live.size() - 2);
  EXPECT_EQ(updates[paused].packet, live[2].packet);
  EXPECT_EQ(updates.back().packet, live.back().packet);
}

TEST_F(RecordPlayTest, StopDuringPlaybackGoesThroughTheControlThread) {
  StartSimulator();
  MakeControl(sim->slavePath());
  const std::string saved = temp.File("stop.xdl");
  ScanAndRecord(10, saved);
  logger->SetPlaybackSpeed(0.25f);
  ASSERT_EQ(logger->Play(), XDL_OK);
  EXPECT_EQ(logger->ToolbarState(), UpdateLoggerToolbar(XDL_STATE_PLAYING, NotConnected));
  logger->Stop();
  ASSERT_TRUE(messages.WaitFor("DatalogEnded", 1, 5s));
  control->JoinWorkers();
  logger->OnDatalogStopped();
  EXPECT_EQ(datalog.State(), XDL_STATE_CLOSED);
  // Stop then Play opens the log again from its first record.
  const std::size_t before = display.PacketUpdates();
  logger->SetPlaybackSpeed(0.0f);
  EXPECT_EQ(view.checked, SpeedItem::Custom);
  ASSERT_EQ(logger->Play(), XDL_OK);
  ASSERT_TRUE(messages.WaitFor("DatalogEnded", 2, 5s));
  control->JoinWorkers();
  logger->OnDatalogStopped();
  auto updates = display.Updates();
  ASSERT_GT(updates.size(), before);
  EXPECT_EQ(updates[before].time, 0.0);
}

TEST_F(RecordPlayTest, LoadLogTakesTheChosenNameAndPlayReportsAMissingFile) {
  MakeControl(temp.File("no-tty"));
  view.loadName = temp.File("missing.xdl");
  logger->LoadLog();
  EXPECT_EQ(logger->CurrentLogPath(), view.loadName);
  EXPECT_EQ(view.titleRefreshes, 1);
  view.loadName = std::string(300, 'x');
  logger->LoadLog();
  EXPECT_EQ(logger->CurrentLogPath(), temp.File("missing.xdl"));
  EXPECT_EQ(logger->Play(), XDL_ERR_CANNOT_OPEN);
  EXPECT_TRUE(LogHas("Could not open " + temp.File("missing.xdl") + ", error 0xC"));
  EXPECT_EQ(datalog.State(), XDL_STATE_CLOSED);
}

}  // namespace
