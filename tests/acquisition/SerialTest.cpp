#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "acquisition/CollectingTextSink.h"
#include "acquisition/QvDebugOutput.h"
#include "acquisition/QvSerial.h"
#include "tests/acquisition/PtyPeer.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

class SerialTest : public ::testing::Test {
 protected:
  SerialTest() : log(&sink) {}

  PtyPeer peer;
  CollectingTextSink sink;
  QvDebugOutput log;
  QvSerial port;
};

TEST_F(SerialTest, OpenLogsEveryStepAndReopenClosesFirst) {
  port.SetLog(&log);
  ASSERT_EQ(port.Open(peer.Path().c_str(), 8192), 1);
  EXPECT_TRUE(port.IsOpen());
  EXPECT_EQ(port.Baud(), 8192);
  EXPECT_EQ(sink.Lines(), (std::vector<std::string>{"QvSerial: Successfully opened " + peer.Path(),
                                                    "QvSerial: " + peer.Path() + " opened at 8192 baud"}));
  // The default time-outs of a freshly opened port.
  EXPECT_EQ(port.Timeouts().interval, 40u);
  EXPECT_EQ(port.Timeouts().readConstant, 300u);
  EXPECT_EQ(port.Timeouts().writeConstant, 300u);

  // The line is raw 8 data bits without parity, echo or line editing.
  struct termios tio {};
  ASSERT_EQ(tcgetattr(peer.TerminalFd(), &tio), 0);
  EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(tio.c_cflag & PARENB, 0u);
  EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
  EXPECT_EQ(tio.c_iflag & (IXON | ICRNL), 0u);

  sink.Clear();
  ASSERT_EQ(port.Open(peer.Path().c_str(), 9600), 1);
  auto lines = sink.Lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "QvSerial: Port Closed");

  sink.Clear();
  port.Close();
  port.Close();
  EXPECT_EQ(sink.Lines(), (std::vector<std::string>{"QvSerial: Port Closed", "QvSerial: Port Closed"}));
  EXPECT_FALSE(port.IsOpen());
}

TEST_F(SerialTest, OpenFailuresLeaveThePortClosed) {
  port.SetLog(&log);
  EXPECT_EQ(port.Open("/dev/no-such-port-here", 8192), 0);
  EXPECT_EQ(port.LastOpenError(), ENOENT);
  EXPECT_EQ(sink.Lines(), (std::vector<std::string>{"QvSerial: Open Port /dev/no-such-port-here Failed",
                                                    "QvSerial: Port Closed"}));
  EXPECT_FALSE(port.IsOpen());

  // A file that is not a terminal has no line settings.
  char path[] = "/tmp/varnak-serial-XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  sink.Clear();
  EXPECT_EQ(port.Open(path, 8192), 0);
  auto lines = sink.Lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "QvSerial: GetCommState Failed");
  EXPECT_EQ(lines[2], "QvSerial: Port Closed");
  EXPECT_EQ(port.LastOpenError(), ENOTTY);
  EXPECT_FALSE(port.IsOpen());
  unlink(path);

  // A rate that no line can run at.
  sink.Clear();
  EXPECT_EQ(port.Open(peer.Path().c_str(), 0), 0);
  lines = sink.Lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "QvSerial: SetCommState Failed");
  EXPECT_FALSE(port.IsOpen());

  // Everything on a closed port fails.
  std::uint8_t b[4] = {1, 2, 3, 4};
  EXPECT_EQ(port.Read(4, b), 0u);
  EXPECT_EQ(port.Write(4, b), 0u);
  EXPECT_EQ(port.SetTimeouts(1, 2, 3, 4, 5, kTimeoutAll), 0);
  EXPECT_EQ(port.SetQueueSizes(1024, 512), 0);
  EXPECT_EQ(port.Purge(true, true), 0);
}

TEST_F(SerialTest, PortIsExclusive) {
  ASSERT_EQ(port.Open(peer.Path().c_str(), 8192), 1);
  QvSerial second;
  EXPECT_EQ(second.Open(peer.Path().c_str(), 8192), 0);
  EXPECT_EQ(second.LastOpenError(), EBUSY);
  EXPECT_EQ(PortOpenFailureText(peer.Path(), second.LastOpenError()),
            "Unable to open port (" + peer.Path() + "): in use by another program");
  port.Close();
  EXPECT_EQ(second.Open(peer.Path().c_str(), 8192), 1);
  EXPECT_EQ(second.LastOpenError(), 0);
}

TEST(PortOpenFailureTextTest, GivesTheSystemsReasonAndTheWayOut) {
  EXPECT_EQ(PortOpenFailureText("/dev/ttyUSB0", EACCES),
            "Unable to open port (/dev/ttyUSB0): Permission denied; add your user to the 'dialout' group "
            "(sudo adduser $USER dialout) and log in again");
  EXPECT_EQ(PortOpenFailureText("/dev/ttyUSB0", ENOENT),
            "Unable to open port (/dev/ttyUSB0): No such file or directory");
  EXPECT_EQ(PortOpenFailureText("/dev/ttyUSB0", EBUSY),
            "Unable to open port (/dev/ttyUSB0): in use by another program");
  // No reason known is still no success.
  EXPECT_EQ(PortOpenFailureText("COM9", 0), "Unable to open port (COM9): Input/output error");
}

TEST_F(SerialTest, LongPortNameIsCutAndResetRestoresDefaults) {
  std::string name(300, 'p');
  port.SetLog(&log);
  EXPECT_EQ(port.Open(name.c_str(), 4800), 0);
  EXPECT_EQ(std::string(port.PortName()), name.substr(0, 259));
  EXPECT_EQ(port.Baud(), 4800);

  sink.Clear();
  port.Reset();
  EXPECT_EQ(sink.Lines(), std::vector<std::string>{"QvSerial: Port Closed"});
  EXPECT_EQ(port.GetLog(), nullptr);
  EXPECT_EQ(port.Baud(), 115200);
  EXPECT_STREQ(port.PortName(), "");
}

TEST_F(SerialTest, TimeoutMaskReplacesOnlyTheChosenValues) {
  ASSERT_EQ(port.Open(peer.Path().c_str(), 8192), 1);
  ASSERT_EQ(port.SetTimeouts(11, 12, 13, 14, 15, kTimeoutAll), 1);
  ASSERT_EQ(port.SetTimeouts(99, 98, 97, 96, 95, kTimeoutInterval), 1);
  EXPECT_EQ(port.Timeouts().interval, 99u);
  EXPECT_EQ(port.Timeouts().readMultiplier, 12u);
  EXPECT_EQ(port.Timeouts().readConstant, 13u);
  EXPECT_EQ(port.Timeouts().writeMultiplier, 14u);
  EXPECT_EQ(port.Timeouts().writeConstant, 15u);
  ASSERT_EQ(port.SetTimeouts(0, 0, 0, 0, 0, kTimeoutReadConstant | kTimeoutWriteMultiplier), 1);
  EXPECT_EQ(port.Timeouts().readConstant, 0u);
  EXPECT_EQ(port.Timeouts().writeMultiplier, 0u);
  EXPECT_EQ(port.Timeouts().readMultiplier, 12u);
  EXPECT_EQ(port.SetQueueSizes(1024, 512), 1);
}

TEST_F(SerialTest, ReadEndsWhenCountArrivesOrTotalTimeRunsOut) {
  ASSERT_EQ(port.Open(peer.Path().c_str(), 8192), 1);
  port.SetTimeouts(0, 0, 50, 0, 300, kTimeoutAll);
  std::uint8_t buf[16] = {};

  // Silent line: nothing after the read constant.
  auto start = Clock::now();
  EXPECT_EQ(port.Read(1, buf), 0u);
  double ms = MsSince(start);
  EXPECT_GE(ms, 49.0);
  EXPECT_LT(ms, 150.0);

  // Bytes waiting before the call come first, and the read returns at once
  // when the count is complete.
  peer.Write({1, 2, 3});
  std::this_thread::sleep_for(20ms);
  port.SetTimeouts(0, 0, 2000, 0, 300, kTimeoutAll);
  start = Clock::now();
  EXPECT_EQ(port.Read(3, buf), 3u);
  EXPECT_LT(MsSince(start), 500.0);
  EXPECT_EQ(Bytes(buf, buf + 3), (Bytes{1, 2, 3}));

  // The multiplier scales the total with the count: 10 * 4 + 20 = 60 ms.
  port.SetTimeouts(0, 10, 20, 0, 300, kTimeoutAll);
  peer.Write({9});
  start = Clock::now();
  EXPECT_EQ(port.Read(4, buf), 1u);
  ms = MsSince(start);
  EXPECT_GE(ms, 59.0);
  EXPECT_LT(ms, 200.0);
}

TEST_F(SerialTest, TotalLimitBeyondThirtyTwoBitsDoesNotWrap) {
  // 0x80000000 ms per byte times 2 bytes is 2^32 ms: a 32-bit product would
  // wrap to 0 and leave only the 100 ms constant.
  ASSERT_EQ(port.Open(peer.Path().c_str(), 8192), 1);
  port.SetTimeouts(0, 0x80000000u, 100, 0x80000000u, 100, kTimeoutAll);
  peer.After(400ms, [&] { peer.Write({0x5A, 0xA5}); });
  std::uint8_t buf[2] = {};
  auto start = Clock::now();
  EXPECT_EQ(port.Read(2, buf), 2u);
  EXPECT_GE(MsSince(start), 350.0);
  peer.Join();
  EXPECT_EQ(buf[1], 0xA5);
  // The write limit is computed the same way: a two-byte write completes.
  EXPECT_EQ(port.Write(2, buf), 2u);
}

TEST_F(SerialTest, IntervalLimitStartsWithTheFirstByte) {
  ASSERT_EQ(port.Open(peer.Path().c_str(), 8192), 1);
  port.SetTimeouts(75, 0, 3000, 0, 300, kTimeoutAll);
  std::uint8_t buf[9] = {};

  // Four bytes 10 ms apart, then quiet: the read ends about 75 ms after the
  // fourth byte, long before the total limit.
  Clock::time_point lastWrite;
  peer.After(100ms, [&] {
    peer.WriteSpaced({1, 2, 3, 4}, 10ms);
    lastWrite = Clock::now();
  });
  auto start = Clock::now();
  EXPECT_EQ(port.Read(9, buf), 4u);
  auto end = Clock::now();
  peer.Join();
  double afterLast = std::chrono::duration<double, std::milli>(end - lastWrite).count();
  EXPECT_GE(afterLast, 70.0);
  EXPECT_LT(afterLast, 250.0);
  EXPECT_GE(MsSince(start), 170.0);  // the first 100 ms of silence did not end it
  EXPECT_EQ(Bytes(buf, buf + 4), (Bytes{1, 2, 3, 4}));

  // Gaps longer than the interval end the read; with interval 0 they do not.
  port.SetTimeouts(30, 0, 3000, 0, 300, kTimeoutAll);
  peer.After(0ms, [&] { peer.WriteSpaced({5, 6, 7}, 80ms); });
  EXPECT_EQ(port.Read(3, buf), 1u);
  peer.Join();
  port.Purge(true, true);
  port.SetTimeouts(0, 0, 3000, 0, 300, kTimeoutAll);
  peer.After(0ms, [&] { peer.WriteSpaced({5, 6, 7}, 80ms); });
  EXPECT_EQ(port.Read(3, buf), 3u);
  peer.Join();
  EXPECT_EQ(Bytes(buf, buf + 3), (Bytes{5, 6, 7}));
}

TEST_F(SerialTest, WriteAndPurge) {
  port.SetLog(&log);
  ASSERT_EQ(port.Open(peer.Path().c_str(), 8192), 1);
  sink.Clear();
  const std::uint8_t out[] = {0xF4, 0x57, 0x01, 0x00, 0xB4};
  EXPECT_EQ(port.Write(sizeof out, out), sizeof out);
  EXPECT_EQ(peer.Read(5, 1000ms), Bytes(out, out + 5));
  EXPECT_EQ(port.Write(0, out), 0u);
  EXPECT_EQ(sink.Lines(), (std::vector<std::string>{
                              "QvSerial: Write", "0000: F4 57 01 00 B4 " + std::string(33, ' ') + ".W..."}));

  // Received bytes vanish with a receive purge.
  peer.Write({1, 2, 3});
  std::this_thread::sleep_for(30ms);
  EXPECT_EQ(port.Purge(true, true), 1);
  port.SetTimeouts(0, 0, 50, 0, 300, kTimeoutAll);
  std::uint8_t buf[3];
  sink.Clear();
  EXPECT_EQ(port.Read(3, buf), 0u);
  EXPECT_EQ(sink.LineCount(), 0u);  // no dump when nothing came

  peer.Write({0x41});
  EXPECT_EQ(port.Read(1, buf), 1u);
  EXPECT_EQ(sink.Lines()[0], "QvSerial: Read");
}

TEST_F(SerialTest, VanishedPortFailsFastAndStaysFailed) {
  ASSERT_EQ(port.Open(peer.Path().c_str(), 8192), 1);
  port.SetTimeouts(0, 0, 10000, 0, 10000, kTimeoutAll);
  std::uint8_t buf[8] = {};
  peer.After(50ms, [&] { peer.Hangup(); });
  auto start = Clock::now();
  EXPECT_EQ(port.Read(8, buf), 0u);
  EXPECT_LT(MsSince(start), 2000.0);
  peer.Join();
  EXPECT_TRUE(port.HasVanished());
  EXPECT_TRUE(port.IsOpen());

  start = Clock::now();
  EXPECT_EQ(port.Read(8, buf), 0u);
  EXPECT_EQ(port.Write(8, buf), 0u);
  EXPECT_LT(MsSince(start), 100.0);

  // Closing forgets the failure.
  port.Close();
  EXPECT_FALSE(port.HasVanished());
}

TEST_F(SerialTest, WriteToAVanishedPortFailsFast) {
  ASSERT_EQ(port.Open(peer.Path().c_str(), 8192), 1);
  port.SetTimeouts(0, 0, 10000, 0, 10000, kTimeoutAll);
  peer.Hangup();
  std::uint8_t buf[4] = {1, 2, 3, 4};
  auto start = Clock::now();
  EXPECT_EQ(port.Write(4, buf), 0u);
  EXPECT_EQ(port.Read(4, buf), 0u);
  EXPECT_LT(MsSince(start), 1000.0);
  EXPECT_TRUE(port.HasVanished());
}

TEST_F(SerialTest, PurgeKeepsWhatWasWrittenAndDropsWhatCameIn) {
  ASSERT_EQ(port.Open(peer.Path().c_str(), 8192), 1);
  // Written bytes reach the other end although a purge follows at once.
  Bytes seen;
  peer.After(0ms, [&] { seen = peer.Read(200 * 3, 5000ms); });
  for (std::uint8_t i = 0; i < 200; ++i) {
    const std::uint8_t out[] = {i, 0x55, 0xAA};
    ASSERT_EQ(port.Write(sizeof out, out), sizeof out);
    ASSERT_EQ(port.Purge(true, true), 1);
  }
  peer.Join();
  ASSERT_EQ(seen.size(), 600u);
  for (std::size_t i = 0; i < 200; ++i) EXPECT_EQ(seen[i * 3], i);

  // Only the receive side and only the transmit side.
  peer.Write({7, 8});
  std::this_thread::sleep_for(30ms);
  EXPECT_EQ(port.Purge(true, false), 1);
  port.SetTimeouts(0, 0, 50, 0, 300, kTimeoutAll);
  std::uint8_t buf[2] = {};
  EXPECT_EQ(port.Read(2, buf), 2u);  // a transmit purge leaves received bytes alone
  peer.Write({7, 8});
  std::this_thread::sleep_for(30ms);
  EXPECT_EQ(port.Purge(false, true), 1);
  EXPECT_EQ(port.Read(2, buf), 0u);

  // A vanished port does not hold up the purge.
  peer.Hangup();
  auto start = Clock::now();
  port.Purge(true, true);
  EXPECT_LT(MsSince(start), 100.0);
  port.Close();
  EXPECT_EQ(port.Purge(true, true), 0);
}

TEST_F(SerialTest, StopFlagCutsAWaitShortWithinASlice) {
  ASSERT_EQ(port.Open(peer.Path().c_str(), 8192), 1);
  port.SetTimeouts(100, 0, 5000, 0, 300, kTimeoutAll);
  std::atomic<bool> stop{false};
  std::uint8_t buf[4] = {};

  // A quiet line: the read gives up soon after the flag is raised.
  std::thread stopper([&] {
    std::this_thread::sleep_for(100ms);
    stop.store(true);
  });
  auto start = Clock::now();
  EXPECT_EQ(port.Read(4, buf, &stop), 0u);
  double ms = MsSince(start);
  stopper.join();
  EXPECT_GE(ms, 95.0);
  EXPECT_LT(ms, 100.0 + 4 * QvSerial::kStopSlice.count());
  EXPECT_TRUE(stop.load());  // only read, never cleared

  // Raised before the call: what is waiting is still delivered, without a wait.
  peer.Write({1, 2});
  std::this_thread::sleep_for(30ms);
  start = Clock::now();
  EXPECT_EQ(port.Read(4, buf, &stop), 2u);
  EXPECT_LT(MsSince(start), 50.0);
  EXPECT_EQ(Bytes(buf, buf + 2), (Bytes{1, 2}));

  // Lowered, the flag changes nothing: the rules run as without it.
  stop.store(false);
  port.SetTimeouts(100, 0, 300, 0, 300, kTimeoutAll);
  start = Clock::now();
  EXPECT_EQ(port.Read(4, buf, &stop), 0u);
  EXPECT_GE(MsSince(start), 299.0);
  port.SetTimeouts(100, 0, 2000, 0, 300, kTimeoutAll);
  peer.After(0ms, [&] { peer.WriteSpaced({3, 4, 5}, 60ms); });
  EXPECT_EQ(port.Read(4, buf, &stop), 3u);  // the gaps stay under the interval
  peer.Join();
}

// An interrupted wait ends a read only through its stop flag: without one, or
// with the flag down, the read keeps its time-outs and takes every byte.
TEST_F(SerialTest, InterruptEndsAWaitOnlyWithTheStopFlagRaised) {
  ASSERT_EQ(port.Open(peer.Path().c_str(), 8192), 1);
  port.SetTimeouts(0, 0, 400, 0, 300, kTimeoutAll);
  std::atomic<bool> stop{false};
  std::uint8_t buf[4] = {};

  // Interrupts without a raised flag, and one left pending before the call.
  port.InterruptWait();
  std::thread interrupter([&] {
    for (int i = 0; i < 5; ++i) {
      std::this_thread::sleep_for(30ms);
      port.InterruptWait();
    }
  });
  auto start = Clock::now();
  EXPECT_EQ(port.Read(4, buf), 0u);
  EXPECT_GE(MsSince(start), 395.0);
  interrupter.join();

  peer.After(50ms, [&] { peer.Write({7, 8}); });
  std::thread again([&] {
    std::this_thread::sleep_for(20ms);
    port.InterruptWait();
  });
  EXPECT_EQ(port.Read(2, buf, &stop), 2u);
  EXPECT_EQ(Bytes(buf, buf + 2), (Bytes{7, 8}));
  again.join();
  peer.Join();

  // With the flag raised, the interrupt ends the wait.
  port.SetTimeouts(0, 0, 60000, 0, 300, kTimeoutAll);
  std::thread stopper([&] {
    std::this_thread::sleep_for(50ms);
    stop.store(true);
    port.InterruptWait();
  });
  start = Clock::now();
  EXPECT_EQ(port.Read(4, buf, &stop), 0u);
  EXPECT_LT(MsSince(start), 5000.0);
  stopper.join();
}

}  // namespace
