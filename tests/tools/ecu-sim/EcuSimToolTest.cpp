// The varnak-ecu-sim program: prints its port, answers on it, stops on a
// signal or after --seconds, keeps --link tidy, and reports bad files.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <numeric>

#include "tests/tools/ecu-sim/LineClient.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

const std::string kDemo = VARNAK_SOURCE_DIR "/examples/demo-ecu.scenario";

// A running varnak-ecu-sim with its standard output and error on pipes.
class Tool {
 public:
  explicit Tool(std::vector<std::string> args) {
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, err[0]);
    args.insert(args.begin(), ECU_SIM_EXE);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, ECU_SIM_EXE, &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    out_ = out[0];
    err_ = err[0];
  }
  ~Tool() {
    if (pid_ > 0 && status_ < 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) close(out_);
    if (err_ >= 0) close(err_);
  }

  // The first line of standard output, without its newline.
  std::string firstLine(std::chrono::milliseconds timeout) { return readText(out_, timeout, true); }
  std::string errorText(std::chrono::milliseconds timeout) { return readText(err_, timeout, false); }

  // Waits for the exit and returns the exit code (-1 on time-out or signal).
  int wait(std::chrono::milliseconds timeout) {
    auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 1000;
        return status_;
      }
      std::this_thread::sleep_for(10ms);
    }
    return -1;
  }
  void signal(int sig) { kill(pid_, sig); }
  bool started() const { return pid_ > 0; }

 private:
  static std::string readText(int fd, std::chrono::milliseconds timeout, bool oneLine) {
    std::string text;
    auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
      char c;
      if (read(fd, &c, 1) != 1) break;
      if (oneLine && c == '\n') break;
      text.push_back(c);
    }
    return text;
  }

  pid_t pid_ = -1;
  int out_ = -1, err_ = -1;
  int status_ = -1;
};

TEST(EcuSimTool, PrintsItsPortAndRunsTheDemoEcu) {
  Tool tool({kDemo, "--seconds", "60"});
  ASSERT_TRUE(tool.started());
  std::string port = tool.firstLine(5s);
  ASSERT_EQ(port.rfind("/dev/", 0), 0u) << port;
  LineClient client(port);
  ASSERT_TRUE(client.isOpen());

  // The demo chatters until the connect request stops it. Right after the
  // second message (the first may still be on its way at start-up) the line
  // is quiet, so the request does not collide.
  EXPECT_EQ(client.read(8, 3s), (Bytes{0xF0, 0x56, 0xF4, 0xC6, 0xF0, 0x56, 0xF4, 0xC6}));
  const Bytes connect = {0xF4, 0x56, 0x08, 0xAE};
  client.write(connect);
  Bytes echoAndReply = connect;
  echoAndReply.insert(echoAndReply.end(), connect.begin(), connect.end());
  EXPECT_EQ(client.read(8, 1s), echoAndReply);
  // Chatter has stopped.
  EXPECT_TRUE(client.read(1, 1200ms).empty());

  std::this_thread::sleep_for(50ms);
  client.purge();
  const Bytes data = {0xF4, 0x57, 0x01, 0x00, 0xB4};
  for (int i = 0; i < 3; ++i) {
    client.write(data);
    Bytes got = client.read(5 + 67, 2s);
    ASSERT_EQ(got.size(), 72u);
    EXPECT_EQ(Bytes(got.begin(), got.begin() + 5), data);
    EXPECT_EQ(got[5], 0xF4);
    EXPECT_EQ(got[6], 0x92);
    EXPECT_EQ(std::accumulate(got.begin() + 5, got.end(), 0u) & 0xFF, 0u);
  }
  tool.signal(SIGTERM);
  EXPECT_EQ(tool.wait(5s), 0);
}

TEST(EcuSimTool, LinkPathAndTimedRun) {
  const std::string link = std::string(VARNAK_BINARY_DIR) + "/ecu-sim-test-link";
  unlink(link.c_str());
  Tool tool({kDemo, "--link", link, "--seconds", "0.5"});
  EXPECT_EQ(tool.firstLine(5s), link);
  char target[256] = {};
  ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
  EXPECT_EQ(std::string(target).rfind("/dev/", 0), 0u);
  EXPECT_EQ(tool.wait(5s), 0);  // ends by itself
  struct stat st {};
  EXPECT_NE(lstat(link.c_str(), &st), 0);  // and removes its link

  // An ordinary file in the way is never replaced.
  { std::ofstream(link) << "keep me"; }
  Tool refused({kDemo, "--link", link, "--seconds", "5"});
  EXPECT_EQ(refused.wait(5s), 1);
  EXPECT_NE(refused.errorText(1s).find("is not a symbolic link"), std::string::npos);
  std::ifstream kept(link);
  std::string text;
  std::getline(kept, text);
  EXPECT_EQ(text, "keep me");
  unlink(link.c_str());
}

TEST(EcuSimTool, ReportsBadFilesAndArguments) {
  const std::string bad = std::string(VARNAK_BINARY_DIR) + "/ecu-sim-bad.scenario";
  { std::ofstream(bad) << "baud 8192\n\nexchange a\n  request F4 5G\n"; }
  Tool tool({bad});
  EXPECT_EQ(tool.wait(5s), 1);
  EXPECT_EQ(tool.errorText(1s), bad + ":4: '5G' is not a hexadecimal byte list\n");
  unlink(bad.c_str());

  Tool noFile({"--seconds", "1"});
  EXPECT_EQ(noFile.wait(5s), 2);
  EXPECT_NE(noFile.errorText(1s).find("usage:"), std::string::npos);
  Tool badSeconds({kDemo, "--seconds", "-3"});
  EXPECT_EQ(badSeconds.wait(5s), 2);
}

}  // namespace
