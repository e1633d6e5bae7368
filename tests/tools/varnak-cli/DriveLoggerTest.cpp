// The unattended drive logger against the simulated ECU, reached through a
// symlink as a udev rule would name the adapter: drives split by a quiet ECU
// or a vanished port, each log holding exactly the packets of its drive; a
// SIGTERM that closes the drive's log; pruning by size; names never reused.
#include "tools/varnak-cli/DriveLogger.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fstream>
#include <mutex>

#include "datalog/DataLogFile.h"
#include "session/Session.h"
#include "tests/acquisition/control/LinkFixture.h"
#include "tests/support/ResultPrinting.h"
#include "tools/varnak-cli/CommandLineSession.h"
#include "tools/varnak-cli/ItemRows.h"

extern char** environ;

namespace {

std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A row without its time column.
std::string Values(const std::string& row) {
  const std::size_t comma = row.find(',');
  return comma == std::string::npos ? row : row.substr(comma + 1);
}

// The data packets the session decoded, in order.
class PacketCollector : public IPacketSink {
 public:
  explicit PacketCollector(std::uint32_t dataHash) : dataHash_(dataHash) {}
  void OnPacket(const PacketEvent& event) override {
    if (!event.IsFullPacket() || event.commandIdHash != dataHash_) return;
    std::lock_guard<std::mutex> guard(mutex_);
    packets_.emplace_back(event.packet, event.packet + event.length);
  }
  std::size_t Count() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return packets_.size();
  }
  std::vector<Bytes> Packets() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return packets_;
  }

 private:
  const std::uint32_t dataHash_;
  mutable std::mutex mutex_;
  std::vector<Bytes> packets_;
};

class DriveLoggerTest : public LinkTest {
 protected:
  DriveLoggerTest() {
    definitionPath = temp.File("ecu.adx");
    EXPECT_EQ(SaveAdx(&def, definitionPath.c_str(), nullptr), 1);
    folder = temp.File("drives");
    link = temp.File("ttyECU");
  }
  ~DriveLoggerTest() override {
    stop.store(true);
    if (runner.joinable()) runner.join();
  }

  void PointLinkAt(const std::string& target) {
    std::error_code ec;
    std::filesystem::remove(link, ec);
    std::filesystem::create_symlink(target, link);
  }
  void StartLogger(double idleSeconds, std::uint64_t keepBytes = 0) {
    ASSERT_TRUE(session.LoadDefinition(definitionPath, DefinitionFormat::Adx).ok);
    collector = std::make_unique<PacketCollector>(def.monitorcmd->idhash);
    session.AttachSink(collector.get());
    DriveLoggerOptions options;
    options.portPath = link;
    options.folder = folder;
    options.idleSeconds = idleSeconds;
    options.keepBytes = keepBytes;
    options.note = [this](NoteLevel, const std::string& text) {
      std::lock_guard<std::mutex> guard(notesMutex);
      notes.push_back(text);
    };
    logger = std::make_unique<DriveLogger>(session, options);
    runner = std::thread([this] { (void)logger->Run(stop); });
  }
  void StopLogger() {
    stop.store(true);
    runner.join();
    finished = logger->FinishedLogs();
    logger.reset();
    session.DetachSink(collector.get());
  }
  bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(10ms);
    return condition();
  }
  std::size_t LogFilesInFolder() {
    std::size_t n = 0;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec))
      if (e.path().extension() == ".xdl") ++n;
    return n;
  }
  std::string Notes() {
    std::lock_guard<std::mutex> guard(notesMutex);
    std::string all;
    for (const auto& n : notes) all += n + "\n";
    return all;
  }
  bool NoteSays(const std::string& text) {
    std::lock_guard<std::mutex> guard(notesMutex);
    for (const auto& n : notes)
      if (n.find(text) != std::string::npos) return true;
    return false;
  }
  // The value columns of a log's rows, as export writes them.
  std::vector<std::string> LogRows(const std::string& log) {
    const std::string csv = log + ".csv";
    EXPECT_EQ(RunExportSession(log, definitionPath, csv, stderr), 0) << log;
    std::vector<std::string> rows;
    const auto lines = ReadLines(csv);
    for (std::size_t i = 1; i < lines.size(); ++i) rows.push_back(Values(lines[i]));
    return rows;
  }
  // The value columns of the packets the session decoded.
  std::vector<std::string> SentRows() {
    const ItemRowFormatter formatter(def);
    std::vector<std::string> rows;
    for (const Bytes& p : collector->Packets()) {
      std::string row;
      formatter.AppendRow(row, 0.0, p.data(), p.size(), def.monitorcmd->idhash);
      row.pop_back();
      rows.push_back(Values(row));
    }
    return rows;
  }
  // Every log is complete: its header counts every record it holds.
  void ExpectComplete(const std::string& log) {
    DataLogFile file;
    ASSERT_EQ(file.Open(log.c_str(), true), XDL_OK) << log;
    EXPECT_GT(file.Header().recordCount, 0u) << log;
    EXPECT_EQ(file.Header().recordCount, file.RecordCount()) << log;
    file.Close();
  }

  std::string definitionPath, folder, link;
  Session session;
  std::unique_ptr<PacketCollector> collector;
  std::unique_ptr<DriveLogger> logger;
  std::atomic<bool> stop{false};
  std::thread runner;
  std::mutex notesMutex;
  std::vector<std::string> notes;
  std::vector<std::string> finished;  // the drive logs in the order of the drives
};

TEST_F(DriveLoggerTest, QuietEcuSplitsDrivesAndSilentRetriesLeaveNoLogs) {
  StartSimulator();
  PointLinkAt(sim->slavePath());
  StartLogger(0.4);
  ASSERT_TRUE(WaitFor([&] { return collector->Count() >= 15; }, 10s));
  // Key off: the ECU stays silent through several connection attempts.
  sim->dropReplies(12);
  ASSERT_TRUE(WaitFor([&] { return NoteSays("drive ended (the ECU stopped answering)"); }, 10s));
  const std::size_t firstDrive = collector->Count();
  ASSERT_TRUE(WaitFor([&] { return collector->Count() >= firstDrive + 15; }, 20s));
  StopLogger();

  const std::vector<std::string>& files = finished;
  EXPECT_EQ(LogFilesInFolder(), files.size());
  ASSERT_EQ(files.size(), 2u) << "a silent ECU made a log of its own";
  for (const auto& f : files) {
    EXPECT_TRUE(IsDriveLogName(std::filesystem::path(f).filename().string())) << f;
    ExpectComplete(f);
  }
  auto rows = LogRows(files[0]);
  const auto second = LogRows(files[1]);
  EXPECT_EQ(rows.size(), firstDrive);
  rows.insert(rows.end(), second.begin(), second.end());
  const auto sent = SentRows();
  EXPECT_EQ(rows.size(), sent.size()) << Notes();
  EXPECT_EQ(rows, sent);
}

TEST_F(DriveLoggerTest, VanishedPortEndsTheDriveAndANewAdapterStartsTheNext) {
  StartSimulator();
  PointLinkAt(sim->slavePath());
  StartLogger(5.0);
  ASSERT_TRUE(WaitFor([&] { return collector->Count() >= 15; }, 10s));
  // The adapter is pulled: the link goes away with its terminal.
  std::filesystem::remove(link);
  sim->stop();
  ASSERT_TRUE(WaitFor([&] { return NoteSays("vanished"); }, 5s)) << Notes();
  const std::size_t firstDrive = collector->Count();
  ASSERT_TRUE(WaitFor([&] { return NoteSays("waiting for " + link); }, 5s));
  // Plugged in again: a new terminal under the same name.
  EcuSimulator second(MakeScenario());
  ASSERT_TRUE(second.start());
  PointLinkAt(second.slavePath());
  ASSERT_TRUE(WaitFor([&] { return collector->Count() >= firstDrive + 15; }, 10s));
  StopLogger();

  const std::vector<std::string>& files = finished;
  EXPECT_EQ(LogFilesInFolder(), files.size());
  ASSERT_EQ(files.size(), 2u);
  for (const auto& f : files) ExpectComplete(f);
  auto rows = LogRows(files[0]);
  const auto next = LogRows(files[1]);
  EXPECT_EQ(rows.size(), firstDrive);
  rows.insert(rows.end(), next.begin(), next.end());
  EXPECT_EQ(rows, SentRows());
}

TEST_F(DriveLoggerTest, NamesInUseAreNeverOverwritten) {
  // Every name of the next seconds is taken already.
  std::filesystem::create_directories(folder);
  const std::time_t now = std::time(nullptr);
  std::vector<std::string> taken;
  for (int s = 0; s < 8; ++s) {
    const std::time_t t = now + s;
    std::tm tm{};
    localtime_r(&t, &tm);
    taken.push_back(folder + "/" + DriveLogName(tm, 1));
    std::ofstream(taken.back()) << "an earlier drive";
  }
  StartSimulator();
  PointLinkAt(sim->slavePath());
  StartLogger(5.0);
  ASSERT_TRUE(WaitFor([&] { return collector->Count() >= 10; }, 10s));
  StopLogger();
  for (const auto& t : taken) EXPECT_EQ(ReadLines(t), std::vector<std::string>{"an earlier drive"}) << t;
  ASSERT_EQ(LogFilesInFolder(), taken.size() + 1);
  std::string made;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    if (std::find(taken.begin(), taken.end(), e.path().string()) == taken.end()) made = e.path().string();
  const std::string name = std::filesystem::path(made).filename().string();
  EXPECT_TRUE(IsDriveLogName(name)) << name;
  EXPECT_EQ(name.substr(19), "-2.xdl");
  ExpectComplete(made);
}

TEST_F(DriveLoggerTest, KeepsTheNewestDriveLogsWithinTheLimit) {
  std::filesystem::create_directories(folder);
  const std::string blob(1000, 'x');
  for (const char* name : {"2026-01-01_10-00-00.xdl", "2026-01-01_10-00-00-2.xdl",
                           "2026-01-01_10-00-00-10.xdl", "2026-01-02_08-30-00.xdl", "notes.txt"})
    std::ofstream(folder + "/" + name) << blob;
  // No port: the logger only waits, after pruning the folder.
  StartLogger(5.0, 2500);
  ASSERT_TRUE(WaitFor([&] { return NoteSays("waiting for"); }, 5s));
  StopLogger();
  std::vector<std::string> left;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    left.push_back(e.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left,
            (std::vector<std::string>{"2026-01-01_10-00-00-10.xdl", "2026-01-02_08-30-00.xdl", "notes.txt"}));
}

TEST(DriveLogNames, FollowTheStartTime) {
  std::tm tm{};
  tm.tm_year = 126;
  tm.tm_mon = 11;
  tm.tm_mday = 8;
  tm.tm_hour = 14;
  tm.tm_min = 3;
  tm.tm_sec = 22;
  EXPECT_EQ(DriveLogName(tm, 1), "2026-12-08_14-03-22.xdl");
  EXPECT_EQ(DriveLogName(tm, 3), "2026-12-08_14-03-22-3.xdl");
  EXPECT_TRUE(IsDriveLogName("2026-12-08_14-03-22-12.xdl"));
  for (const char* other : {"temp.xdl", "2026-12-08_14-03-22.csv", "2026-12-08_14-03-22-.xdl",
                            "2026-12-08 14-03-22.xdl", "2026-12-08_14-03-2x.xdl"})
    EXPECT_FALSE(IsDriveLogName(other)) << other;
}

// The service as systemd runs it, with its error stream in a file.
pid_t SpawnLogService(const std::vector<std::string>& extra, const std::string& errPath) {
  std::vector<std::string> args = {VARNAK_CLI_PATH, "log"};
  args.insert(args.end(), extra.begin(), extra.end());
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t child = 0;
  if (posix_spawn(&child, VARNAK_CLI_PATH, &actions, nullptr, argv.data(), environ) != 0) child = 0;
  posix_spawn_file_actions_destroy(&actions);
  return child;
}

// The service's stop: SIGTERM closes the drive's log and exits 0 at once.
TEST_F(DriveLoggerTest, SigtermClosesTheDriveAndExitsWithinASecond) {
  StartSimulator();
  PointLinkAt(sim->slavePath());
  const std::string errPath = temp.File("err.txt");
  // An absent broker changes nothing.
  const pid_t child = SpawnLogService(
      {definitionPath, "--port", link, "--dir", folder, "--mqtt", "127.0.0.1:1", "--name", "van"}, errPath);
  ASSERT_GT(child, 0);
  const std::size_t before = sim->requestsSeen();
  ASSERT_TRUE(WaitFor([&] { return LogFilesInFolder() == 1 && sim->requestsSeen() >= before + 20; }, 10s));
  ASSERT_EQ(kill(child, SIGTERM), 0);
  const auto signalled = std::chrono::steady_clock::now();
  int status = -1;
  while (waitpid(child, &status, WNOHANG) == 0 && std::chrono::steady_clock::now() - signalled < 5s)
    std::this_thread::sleep_for(5ms);
  const auto took = std::chrono::steady_clock::now() - signalled;
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_LT(took, 1s);
  std::string log;
  for (const auto& e : std::filesystem::directory_iterator(folder)) log = e.path().string();
  ExpectComplete(log);
  EXPECT_GE(LogRows(log).size(), 10u);
  std::string err;
  for (const auto& l : ReadLines(errPath)) err += l + "\n";
  EXPECT_NE(err.find("drive ended (the logger stopped): " + log), std::string::npos) << err;
  EXPECT_NE(err.find("telemetry: cannot reach 127.0.0.1:1"), std::string::npos) << err;
}

// A power loss in the middle of a drive: every complete record still plays.
TEST_F(DriveLoggerTest, AKilledLoggerLeavesEveryCompleteRecordPlayable) {
  StartSimulator();
  PointLinkAt(sim->slavePath());
  const pid_t child =
      SpawnLogService({definitionPath, "--port", link, "--dir", folder}, temp.File("err.txt"));
  ASSERT_GT(child, 0);
  const std::size_t before = sim->requestsSeen();
  ASSERT_TRUE(WaitFor([&] { return LogFilesInFolder() == 1 && sim->requestsSeen() >= before + 30; }, 10s));
  ASSERT_EQ(kill(child, SIGKILL), 0);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  std::string log;
  for (const auto& e : std::filesystem::directory_iterator(folder)) log = e.path().string();
  DataLogFile file;
  ASSERT_EQ(file.Open(log.c_str(), true), XDL_OK);
  const std::uint32_t records = file.RecordCount();
  file.Close();
  EXPECT_GE(records, 20u);
  EXPECT_EQ(LogRows(log).size(), records);
}

}  // namespace
