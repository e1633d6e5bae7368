// The command-line sessions end to end: scan with rows and a recording,
// refusal to overwrite, a port that cannot open, and a scan killed while it
// records, whose temp.xdl still plays back.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include "datalog/XdlFormat.h"
#include "tests/acquisition/control/LinkFixture.h"
#include "tools/ecu-sim/ScenarioParser.h"
#include "tools/varnak-cli/CommandLineSession.h"

extern char** environ;

namespace {

std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The rows without their times: a scan counts from the connection, its log
// from the start of the recording.
std::vector<std::string> Values(std::vector<std::string> rows) {
  for (std::string& row : rows) row.erase(0, row.find(','));
  return rows;
}

// Collects what a session writes to its error stream.
class ErrorStream {
 public:
  ErrorStream() : file_(std::tmpfile()) {}
  ~ErrorStream() {
    if (file_ != nullptr) std::fclose(file_);
  }
  std::FILE* get() { return file_; }
  std::string Text() {
    std::fflush(file_);
    std::rewind(file_);
    std::string text;
    char buffer[512];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file_)) > 0;) text.append(buffer, n);
    return text;
  }

 private:
  std::FILE* file_;
};

class CommandLineTest : public LinkTest {
 protected:
  std::string SaveDefinition() {
    const std::string path = temp.File("ecu.adx");
    EXPECT_EQ(SaveAdx(&def, path.c_str(), nullptr), 1);
    return path;
  }
};

TEST_F(CommandLineTest, ScanWritesRowsAndSavesTheRecordingOnce) {
  StartSimulator();
  ScanOptions options;
  options.definitionPath = SaveDefinition();
  options.portPath = sim->slavePath();
  options.seconds = 0.5;
  options.csvPath = temp.File("scan.csv");
  options.recordPath = temp.File("scan.xdl");
  options.recordingFolder = temp.Path();
  const std::atomic<bool> stop{false};
  ErrorStream err;
  ASSERT_EQ(RunScanSession(options, stop, err.get()), 0) << err.Text();
  const auto rows = ReadLines(options.csvPath);
  ASSERT_GE(rows.size(), 5u);
  EXPECT_EQ(rows[0], "time_s,RPM,TPS,INJ,FAN");
  EXPECT_TRUE(std::filesystem::exists(options.recordPath));
  EXPECT_FALSE(std::filesystem::exists(temp.File("temp.xdl")));
  // The disconnect command ran after the stop at the end of --seconds.
  const auto endsWithDisconnect = [&] {
    const Bytes b = sim->receivedBytes();
    return b.size() >= 4 && Bytes(b.end() - 4, b.end()) == kDisconnectRequest;
  };
  const auto deadline = std::chrono::steady_clock::now() + 2s;
  while (!endsWithDisconnect() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(5ms);
  EXPECT_TRUE(endsWithDisconnect());

  // The export of the saved log has one row per recorded packet, the same
  // rows as the scan: the connect reply (a command without items) makes no
  // row, and the last row of the stopped recording is written once.
  const std::string exported = temp.File("export.csv");
  ASSERT_EQ(RunExportSession(options.recordPath, options.definitionPath, exported, err.get()), 0);
  EXPECT_EQ(Values(ReadLines(exported)), Values(rows));

  // A second scan onto the same name fails at once: the first log is kept and
  // nothing is recorded.
  options.csvPath.clear();
  options.seconds = 5;
  const auto before = std::filesystem::file_size(options.recordPath);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(RunScanSession(options, stop, err.get()), 1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
  EXPECT_NE(
      err.Text().find("Cannot record to " + options.recordPath + " already exists; nothing was recorded"),
      std::string::npos)
      << err.Text();
  EXPECT_EQ(std::filesystem::file_size(options.recordPath), before);
  EXPECT_FALSE(std::filesystem::exists(temp.File("temp.xdl")));
}

TEST_F(CommandLineTest, RecordingThatCannotBeWrittenFailsTheScan) {
  StartSimulator();
  ScanOptions options;
  options.definitionPath = SaveDefinition();
  options.portPath = sim->slavePath();
  options.seconds = 0.8;
  options.recordPath = temp.File("scan.xdl");
  options.recordingFolder = temp.Path();
  const std::atomic<bool> stop{false};
  ErrorStream err;
  int status = 0;
  {
    FileSizeCap cap(300);
    status = RunScanSession(options, stop, err.get());
  }
  EXPECT_EQ(status, 1);
  const std::string tempLog = temp.File("temp.xdl");
  EXPECT_NE(
      err.Text().find("Recording failed: Recording stopped: cannot write " + tempLog + ": File too large"),
      std::string::npos)
      << err.Text();
  EXPECT_NE(err.Text().find("The recording stays in " + tempLog), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(options.recordPath));
  EXPECT_TRUE(std::filesystem::exists(tempLog));
}

TEST_F(CommandLineTest, PlayIsPacedAndStopsOnRequest) {
  StartSimulator();
  ScanOptions scan;
  scan.definitionPath = SaveDefinition();
  scan.portPath = sim->slavePath();
  scan.seconds = 1.0;
  scan.recordPath = temp.File("paced.xdl");
  scan.recordingFolder = temp.Path();
  std::atomic<bool> stop{false};
  ErrorStream err;
  ASSERT_EQ(RunScanSession(scan, stop, err.get()), 0) << err.Text();

  // At a quarter of the speed the second of log takes four; the stop ends it
  // after a fraction of that, with status 0 and the rows played so far.
  PlayOptions play;
  play.logPath = scan.recordPath;
  play.definitionPath = scan.definitionPath;
  play.speed = 0.25f;
  play.csvPath = temp.File("paced.csv");
  std::thread stopper([&] {
    std::this_thread::sleep_for(600ms);
    stop.store(true);
  });
  const auto start = std::chrono::steady_clock::now();
  const int status = RunPlaySession(play, stop, err.get());
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  stopper.join();
  EXPECT_EQ(status, 0);
  EXPECT_LT(seconds, 3.0);
  std::string exported = temp.File("all.csv");
  ASSERT_EQ(RunExportSession(scan.recordPath, scan.definitionPath, exported, err.get()), 0);
  const auto played = ReadLines(play.csvPath).size();
  EXPECT_GE(played, 2u);
  EXPECT_LT(played, ReadLines(exported).size());
}

TEST_F(CommandLineTest, PortThatCannotOpenFailsTheScan) {
  ScanOptions options;
  options.definitionPath = SaveDefinition();
  options.portPath = temp.File("no-tty");
  options.recordPath = temp.File("never.xdl");
  options.recordingFolder = temp.Path();
  const std::atomic<bool> stop{false};
  ErrorStream err;
  EXPECT_EQ(RunScanSession(options, stop, err.get()), 1);
  EXPECT_NE(err.Text().find("Unable to open port (" + options.portPath + "): No such file or directory\n"),
            std::string::npos)
      << err.Text();
  EXPECT_FALSE(std::filesystem::exists(options.recordPath));
}

TEST_F(CommandLineTest, PlayAndExportRefuseWhatTheyCannotRead) {
  const std::string adx = SaveDefinition();
  ErrorStream err;
  EXPECT_EQ(RunExportSession(temp.File("none.xdl"), adx, temp.File("x.csv"), err.get()), 1);
  EXPECT_NE(err.Text().find("Could not open"), std::string::npos);
  EXPECT_EQ(RunExportSession(temp.File("none.xdl"), temp.File("none.adx"), temp.File("x.csv"), err.get()), 1);
  EXPECT_NE(err.Text().find("FAILED to Load"), std::string::npos);
}

TEST_F(CommandLineTest, KilledScanLeavesARecordingThatPlaysEveryCompleteRecord) {
  StartSimulator();
  const std::string adx = SaveDefinition();
  const std::string folder = temp.File("rec");
  std::filesystem::create_directory(folder);
  const std::string tempLog = folder + "/temp.xdl";
  std::vector<std::string> args = {SCAN_CHILD_PATH, adx, sim->slavePath(), temp.File("out.xdl"), folder};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  ASSERT_EQ(posix_spawn(&child, SCAN_CHILD_PATH, nullptr, nullptr, argv.data(), environ), 0);

  // Let it record a good number of packets, then kill it mid-stream.
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  std::error_code ec;
  while (std::chrono::steady_clock::now() < deadline) {
    const auto size = std::filesystem::file_size(tempLog, ec);
    if (!ec && size > 600) break;
    std::this_thread::sleep_for(5ms);
  }
  ASSERT_EQ(kill(child, SIGKILL), 0);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status));

  // Records are 12 bytes of head and the 10-byte data reply.
  std::ifstream in(tempLog, std::ios::binary);
  std::uint8_t header[kXdlHeaderSize] = {};
  in.read(reinterpret_cast<char*>(header), sizeof header);
  const std::uint32_t dataOffset = XdlGetU32(header + 4);
  const auto size = std::filesystem::file_size(tempLog);
  ASSERT_GT(size, dataOffset);
  const std::size_t complete = (size - dataOffset) / (kXdlRecordHeadSize + kDataReplySize);
  ASSERT_GT(complete, 10u);

  ErrorStream err;
  const std::string csv = temp.File("killed.csv");
  ASSERT_EQ(RunExportSession(tempLog, adx, csv, err.get()), 0) << err.Text();
  EXPECT_EQ(ReadLines(csv).size(), complete + 1);
}

TEST_F(CommandLineTest, DemoDefinitionScansTheDemoEcu) {
  EcuScenario scenario;
  std::string error;
  ASSERT_TRUE(loadScenarioFile(VARNAK_SOURCE_DIR "/examples/demo-ecu.scenario", scenario, error)) << error;
  StartSimulator(scenario);
  ScanOptions options;
  options.definitionPath = VARNAK_SOURCE_DIR "/examples/demo-ecu.adx";
  options.portPath = sim->slavePath();
  options.seconds = 1.5;
  options.csvPath = temp.File("demo.csv");
  const std::atomic<bool> stop{false};
  ErrorStream err;
  ASSERT_EQ(RunScanSession(options, stop, err.get()), 0) << err.Text();
  const auto rows = ReadLines(options.csvPath);
  ASSERT_GE(rows.size(), 5u);
  // The PROM ID is the constant 0x1234, shown in hexadecimal.
  const std::string header = rows[0];
  ASSERT_EQ(header.rfind("time_s,", 0), 0u);
  const auto columns = [](const std::string& row) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t comma; (comma = row.find(',', start)) != std::string::npos; start = comma + 1)
      out.push_back(row.substr(start, comma - start));
    out.push_back(row.substr(start));
    return out;
  };
  const auto names = columns(header);
  const auto prom = std::find(names.begin(), names.end(), "PROMID") - names.begin();
  ASSERT_LT(static_cast<std::size_t>(prom), names.size());
  const auto last = columns(rows.back());
  ASSERT_EQ(last.size(), names.size());
  EXPECT_EQ(last[prom], "1234") << rows.back();
}

#ifdef VARNAK_CLI_PATH
// Ctrl+C is the user's stop: the program runs the disconnect command, saves
// the recording and ends with status 0.
TEST_F(CommandLineTest, InterruptStopsTheProgramCleanly) {
  StartSimulator();
  const std::string adx = SaveDefinition();
  const std::string csv = temp.File("cli.csv");
  const std::string saved = temp.File("cli.xdl");
  std::vector<std::string> args = {VARNAK_CLI_PATH, "scan", adx,        "--port", sim->slavePath(),
                                   "--csv",         csv,    "--record", saved,    "--temp-dir",
                                   temp.Path()};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  ASSERT_EQ(posix_spawn(&child, VARNAK_CLI_PATH, nullptr, nullptr, argv.data(), environ), 0);
  ASSERT_TRUE(sim->waitForRequests(10, 10s));
  ASSERT_EQ(kill(child, SIGINT), 0);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  const Bytes received = sim->receivedBytes();
  ASSERT_GE(received.size(), kDisconnectRequest.size());
  EXPECT_EQ(Bytes(received.end() - 4, received.end()), kDisconnectRequest);
  EXPECT_TRUE(std::filesystem::exists(saved));
  EXPECT_GE(ReadLines(csv).size(), 5u);

  // Wrong usage is status 2; a port that cannot open is status 1.
  const auto run = [](std::vector<std::string> list) {
    std::vector<char*> v;
    for (auto& a : list) v.push_back(a.data());
    v.push_back(nullptr);
    pid_t pid = 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawn(&pid, VARNAK_CLI_PATH, &actions, nullptr, v.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int code = -1;
    if (spawned == 0 && waitpid(pid, &code, 0) == pid && WIFEXITED(code)) return WEXITSTATUS(code);
    return -1;
  };
  EXPECT_EQ(run({VARNAK_CLI_PATH, "scan", adx}), 2);
  EXPECT_EQ(run({VARNAK_CLI_PATH, "scan", adx, "--port", temp.File("no-tty")}), 1);
  EXPECT_EQ(run({VARNAK_CLI_PATH, "export", saved, adx, "-o", temp.File("e.csv")}), 0);
  EXPECT_EQ(Values(ReadLines(temp.File("e.csv"))), Values(ReadLines(csv)));
}
#endif

}  // namespace

namespace {

// A log recorded from the simulated ECU, for the tests of play and export.
class RecordedLogTest : public CommandLineTest {
 protected:
  void SetUp() override {
    StartSimulator();
    adx = SaveDefinition();
    ScanOptions scan;
    scan.definitionPath = adx;
    scan.portPath = sim->slavePath();
    scan.seconds = 0.6;
    scan.recordPath = log = temp.File("drive.xdl");
    scan.recordingFolder = temp.Path();
    const std::atomic<bool> stop{false};
    ASSERT_EQ(RunScanSession(scan, stop, err.get()), 0) << err.Text();
  }
  std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // No file of the folder but the expected ones (no temporary left behind).
  std::vector<std::string> Files() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(temp.Path()))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  int Export(std::vector<std::string> args) {
    PlayOptions options;
    std::string error;
    if (ParseExportArguments(args, &options, &error) != 0) return 2;
    return RunExportSession(options, err.get());
  }

  std::string adx, log;
  ErrorStream err;
};

TEST_F(RecordedLogTest, ExportNeverWritesOverAnInputOrAnExistingFile) {
  const std::string logBytes = FileBytes(log), adxBytes = FileBytes(adx);
  const auto before = Files();
  // Its own input, even with --force: refused before anything is read.
  EXPECT_EQ(Export({log, adx, "-o", log}), 1);
  EXPECT_EQ(Export({log, adx, "-o", adx, "--force"}), 1);
  EXPECT_NE(err.Text().find(adx + " is also an input of this command"), std::string::npos) << err.Text();
  EXPECT_EQ(FileBytes(log), logBytes);
  EXPECT_EQ(FileBytes(adx), adxBytes);

  // An existing file needs --force; a device is fine.
  const std::string out = temp.File("out.csv");
  { std::ofstream(out) << "keep me\n"; }
  EXPECT_EQ(Export({log, adx, "-o", out}), 1);
  EXPECT_NE(err.Text().find(out + " already exists; use --force to replace it"), std::string::npos);
  EXPECT_EQ(FileBytes(out), "keep me\n");
  EXPECT_EQ(Export({log, adx, "-o", out, "--force"}), 0) << err.Text();
  EXPECT_EQ(FileBytes(out).rfind("time_s,RPM,TPS,INJ,FAN\n", 0), 0u);
  EXPECT_EQ(Export({log, adx, "-o", "/dev/null"}), 0);

  // A failed export leaves no file, not even a temporary one.
  const std::string half = temp.File("half.csv");
  { std::ofstream(temp.File("other.adx")) << "<ADXFORMAT version=\"0.5\"/><ADXHEADER/>\n"; }
  EXPECT_EQ(Export({log, temp.File("other.adx"), "-o", half}), 1);
  auto expected = before;
  expected.push_back("other.adx");
  expected.push_back("out.csv");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Files(), expected);
}

TEST_F(RecordedLogTest, DefinitionThatMatchesNoCommandOfTheLogFails) {
  const std::string other = temp.File("other.adx");
  {
    std::ofstream(other) << "<ADXFORMAT version=\"0.5\"/><ADXHEADER/>\n"
                            "<ADXCSENDCOMMAND id=\"OTHER\"><replysize>5</replysize></ADXCSENDCOMMAND>\n"
                            "<ADXVALUE id=\"V\"/>\n";
  }
  const std::string out = temp.File("none.csv");
  EXPECT_EQ(Export({log, other, "-o", out}), 1);
  EXPECT_NE(
      err.Text().find(other + " matches no command of " + log + " (the log holds CONNECT, DATA, DISCONNECT)"),
      std::string::npos)
      << err.Text();
  EXPECT_FALSE(std::filesystem::exists(out));
  PlayOptions play;
  play.logPath = log;
  play.definitionPath = other;
  play.speed = 0;
  play.csvPath = out;
  const std::atomic<bool> stop{false};
  EXPECT_EQ(RunPlaySession(play, stop, err.get()), 1);
  EXPECT_FALSE(std::filesystem::exists(out));
}

#ifdef VARNAK_CLI_PATH
// histogram, stats and diff with a definition that matches no command of the
// log say so and fail, instead of printing an empty result.
TEST_F(RecordedLogTest, AnalysisOfALogWithAForeignDefinitionFails) {
  const std::string other = temp.File("other.adx");
  {
    std::ofstream(other) << "<ADXFORMAT version=\"0.5\"/><ADXHEADER/>\n"
                            "<ADXCSENDCOMMAND id=\"OTHER\"><replysize>5</replysize></ADXCSENDCOMMAND>\n"
                            "<ADXVALUE id=\"V\"/>\n<ADXHISTOGRAM id=\"H\"/>\n";
  }
  const auto run = [&](const std::string& args) {
    const std::string command = std::string("'") + VARNAK_CLI_PATH + "' " + args + " >'" + temp.File("out") +
                                "' 2>'" + temp.File("err") + "'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  for (const std::string& args :
       {"histogram '" + log + "' '" + other + "' --id H", "stats '" + log + "' '" + other + "'",
        "diff '" + log + "' '" + adx + "' '" + other + "'"}) {
    SCOPED_TRACE(args);
    EXPECT_EQ(run(args), 1);
    EXPECT_NE(FileBytes(temp.File("err")).find(other + " matches no command of " + log), std::string::npos);
    EXPECT_EQ(FileBytes(temp.File("out")), "");
  }
  EXPECT_EQ(run("stats '" + log + "' '" + adx + "'"), 0);
}
#endif

TEST_F(RecordedLogTest, BrokenLogsAreNamedInWords) {
  const std::string out = temp.File("x.csv");
  const auto exportOf = [&](const std::string& bytes) {
    const std::string path = temp.File("broken.xdl");
    { std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes; }
    return Export({path, adx, "-o", out});
  };
  EXPECT_EQ(exportOf(std::string(200, 'x')), 1);
  EXPECT_NE(err.Text().find("broken.xdl: not an XDL log"), std::string::npos) << err.Text();
  std::string good = FileBytes(log);
  std::string v4 = good;
  v4[0] = 4;
  EXPECT_EQ(exportOf(v4), 1);
  EXPECT_NE(err.Text().find("log version 4 is not supported"), std::string::npos) << err.Text();

  // A record that names no command and points back into the log: playback
  // cannot follow it, and the export says so instead of ending early with 0.
  const std::uint32_t dataOffset = XdlGetU32(reinterpret_cast<const std::uint8_t*>(good.data()) + 4);
  const std::size_t record = kXdlRecordHeadSize + kDataReplySize;
  std::string looping = good;
  auto* third = reinterpret_cast<std::uint8_t*>(looping.data()) + dataOffset + 2 * record;
  XdlPutU32(third, dataOffset);  // next offset: back to the first record
  XdlPutU32(third + 8, 77);      // entry index: none
  EXPECT_EQ(exportOf(looping), 1);
  EXPECT_NE(err.Text().find("the records cannot be followed"), std::string::npos) << err.Text();
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(RecordedLogTest, ExportChoosesTimesItemsAndUnits) {
  const std::string all = temp.File("all.csv"), some = temp.File("some.csv");
  ASSERT_EQ(Export({log, adx, "-o", all}), 0) << err.Text();
  ASSERT_EQ(Export({log, adx, "-o", some, "--from", "0.1", "--to", "0.3", "--items", "FAN,RPM", "--units"}),
            0)
      << err.Text();
  const auto rows = ReadLines(all);
  const auto chosen = ReadLines(some);
  ASSERT_GE(chosen.size(), 4u);
  EXPECT_EQ(chosen[0], "time_s,FAN,RPM");
  EXPECT_EQ(chosen[1], "s,,rpm");
  // Every row of the range, with the chosen columns of the full export.
  std::vector<std::string> expected;
  for (std::size_t i = 1; i < rows.size(); ++i) {
    const double time = std::stod(rows[i].substr(0, rows[i].find(',')));
    if (time < 0.1 - 1e-9 || time > 0.3 + 1e-9) continue;
    std::vector<std::string> f;
    std::stringstream line(rows[i]);
    for (std::string field; std::getline(line, field, ',');) f.push_back(field);
    expected.push_back(f[0] + "," + f[4] + "," + f[1]);
  }
  EXPECT_EQ(std::vector<std::string>(chosen.begin() + 2, chosen.end()), expected);

  EXPECT_EQ(Export({log, adx, "-o", temp.File("x.csv"), "--items", "RPM,NOPE"}), 1);
  EXPECT_NE(err.Text().find("no value or bitmask 'NOPE'"), std::string::npos);
  EXPECT_EQ(Export({log, adx, "--from", "2", "--to", "1"}), 2);
  EXPECT_EQ(Export({log, adx, "--items", "A,,B"}), 2);
}

TEST_F(CommandLineTest, ScanThatLosesItsPortOrItsEcuFails) {
  StartSimulator();
  ScanOptions options;
  options.definitionPath = SaveDefinition();
  options.portPath = sim->slavePath();
  options.seconds = 5;
  options.recordPath = temp.File("lost.xdl");
  options.recordingFolder = temp.Path();
  const std::atomic<bool> stop{false};
  ErrorStream err;
  std::thread closer([&] {
    sim->waitForRequests(10, 5s);
    sim->closeAfter(0);
  });
  const int status = RunScanSession(options, stop, err.get());
  closer.join();
  EXPECT_EQ(status, 1);
  EXPECT_NE(err.Text().find("The scan of " + options.portPath + " stopped: the link failed"),
            std::string::npos)
      << err.Text();
  // What was recorded until then is saved all the same.
  EXPECT_TRUE(std::filesystem::exists(options.recordPath));
}

TEST_F(CommandLineTest, ScanOfAnEcuThatNeverAnswersFails) {
  StartSimulator();
  sim->dropReplies(1000000);
  ScanOptions options;
  options.definitionPath = SaveDefinition();
  options.portPath = sim->slavePath();
  options.seconds = 1;
  const std::atomic<bool> stop{false};
  ErrorStream err;
  EXPECT_EQ(RunScanSession(options, stop, err.get()), 1);
  EXPECT_NE(err.Text().find("on " + options.portPath), std::string::npos) << err.Text();
}

TEST_F(CommandLineTest, ScanChecksItsOutputsBeforeItStarts) {
  ScanOptions options;
  options.definitionPath = SaveDefinition();
  options.portPath = temp.File("no-tty");  // never reached
  options.recordingFolder = temp.Path();
  const std::atomic<bool> stop{false};
  ErrorStream err;
  options.recordPath = temp.File("missing/rec.xdl");
  EXPECT_EQ(RunScanSession(options, stop, err.get()), 1);
  EXPECT_NE(err.Text().find("Cannot record to " + temp.File("missing") + ": No such file or directory"),
            std::string::npos)
      << err.Text();
  options.recordPath.clear();
  options.csvPath = options.definitionPath;
  options.force = true;
  EXPECT_EQ(RunScanSession(options, stop, err.get()), 1);
  EXPECT_NE(err.Text().find("is also an input of this command"), std::string::npos);
  EXPECT_EQ(err.Text().find("Unable to open port"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(temp.File("temp.xdl")));
}

}  // namespace

#ifdef VARNAK_CLI_PATH
namespace {

// varnak-cli in a process of its own, its standard output on a pipe.
struct Child {
  pid_t pid = 0;
  int out = -1;  // read end of its standard output

  explicit Child(std::vector<std::string> args) {
    int fds[2];
    if (pipe(fds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid, VARNAK_CLI_PATH, &actions, nullptr, argv.data(), environ) != 0) pid = 0;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    out = fds[0];
  }
  ~Child() {
    if (out >= 0) close(out);
    if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
  }
  // Reads until `lines` line breaks arrived; the text read.
  std::string ReadLines(int lines) {
    std::string text;
    char c;
    while (lines > 0 && read(out, &c, 1) == 1) {
      text += c;
      if (c == '\n') --lines;
    }
    return text;
  }
  // The exit status, or -1 when it did not exit normally.
  int Wait() {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    pid = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
};

// A closed terminal (SIGHUP), SIGTERM and a reader that went away (SIGPIPE)
// end a scan as Ctrl+C does: the disconnect runs and the recording is saved.
TEST_F(CommandLineTest, EveryStopSignalSavesTheRecording) {
  StartSimulator();
  const std::string adx = SaveDefinition();
  for (int signal : {SIGHUP, SIGTERM, SIGPIPE}) {
    SCOPED_TRACE(signal);
    const std::string saved = temp.File("signal" + std::to_string(signal) + ".xdl");
    Child child({VARNAK_CLI_PATH, "scan", adx, "--port", sim->slavePath(), "--csv", "-", "--record", saved,
                 "--temp-dir", temp.Path()});
    ASSERT_GT(child.pid, 0);
    // The rows come as they happen: the header and two rows while it runs.
    EXPECT_EQ(child.ReadLines(3).rfind("time_s,RPM,TPS,INJ,FAN\n", 0), 0u);
    if (signal == SIGPIPE) {
      close(child.out);  // as `| head` does when it has its lines
      child.out = -1;
    } else {
      ASSERT_EQ(kill(child.pid, signal), 0);
    }
    EXPECT_EQ(child.Wait(), 0);
    EXPECT_TRUE(std::filesystem::exists(saved));
    EXPECT_FALSE(std::filesystem::exists(temp.File("temp.xdl")));
  }
}

// A paced play writes each row to standard output as it plays it.
TEST_F(CommandLineTest, PlayToStandardOutputWritesEachRowAsItHappens) {
  StartSimulator();
  ScanOptions scan;
  scan.definitionPath = SaveDefinition();
  scan.portPath = sim->slavePath();
  scan.seconds = 1.0;
  scan.recordPath = temp.File("paced.xdl");
  scan.recordingFolder = temp.Path();
  const std::atomic<bool> stop{false};
  ErrorStream err;
  ASSERT_EQ(RunScanSession(scan, stop, err.get()), 0) << err.Text();
  Child child(
      {VARNAK_CLI_PATH, "play", scan.recordPath, scan.definitionPath, "--speed", "0.1", "--csv", "-"});
  ASSERT_GT(child.pid, 0);
  const std::string first = child.ReadLines(3);
  EXPECT_EQ(first.rfind("time_s,", 0), 0u);
  // The log lasts ten seconds at this speed: it still plays.
  EXPECT_EQ(waitpid(child.pid, nullptr, WNOHANG), 0);
  kill(child.pid, SIGINT);
  EXPECT_EQ(child.Wait(), 0);
}

}  // namespace
#endif

namespace {

// A port that another program holds is named as such, without --verbose.
TEST_F(CommandLineTest, BusyPortIsNamedAsInUse) {
  StartSimulator();
  const int holder = open(sim->slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
  ScanOptions options;
  options.definitionPath = SaveDefinition();
  options.portPath = sim->slavePath();
  options.seconds = 1;
  const std::atomic<bool> stop{false};
  ErrorStream err;
  EXPECT_EQ(RunScanSession(options, stop, err.get()), 1);
  close(holder);
  EXPECT_NE(err.Text().find("Unable to open port (" + options.portPath + "): in use by another program"),
            std::string::npos)
      << err.Text();
}

}  // namespace
