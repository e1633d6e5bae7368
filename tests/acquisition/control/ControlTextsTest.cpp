// Pure pieces of the acquisition and logger control: the logger toolbar table,
// the status line, the speed items and window title, the last-packet copy and
// the done event.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <thread>

#include "acquisition/control/AutoResetEvent.h"
#include "acquisition/control/ConnectionState.h"
#include "acquisition/control/LastPacket.h"
#include "acquisition/control/LoggerToolbar.h"
#include "acquisition/control/StatusLine.h"
#include "datalog/XdlFormat.h"
#include "tests/support/ResultPrinting.h"

namespace {

LoggerToolbarState Buttons(bool play, bool record, bool stop, bool pause, bool load, bool slider) {
  return LoggerToolbarState{play, record, stop, pause, load, slider};
}

TEST(LoggerToolbarTest, FollowsTheTableForEveryState) {
  for (std::int32_t conn : {Connected, Connecting, NotConnected, LogPaused}) {
    SCOPED_TRACE(conn);
    EXPECT_EQ(UpdateLoggerToolbar(XDL_STATE_PLAYING, conn), Buttons(false, false, true, true, false, true));
    EXPECT_EQ(UpdateLoggerToolbar(XDL_STATE_RECORDING, conn),
              Buttons(false, false, true, false, false, false));
    EXPECT_EQ(UpdateLoggerToolbar(XDL_STATE_STOP_REQUESTED, conn),
              Buttons(true, false, false, false, true, false));
    EXPECT_EQ(UpdateLoggerToolbar(XDL_STATE_OPEN_RECORD, conn),
              Buttons(false, false, false, false, false, false));
  }
  EXPECT_EQ(UpdateLoggerToolbar(XDL_STATE_READY, LogPaused), Buttons(true, false, true, false, false, true));
  // Record only on a live connection.
  for (XdlState log : {XDL_STATE_CLOSED, XDL_STATE_READY}) {
    EXPECT_EQ(UpdateLoggerToolbar(log, Connected), Buttons(true, true, false, false, true, false));
    EXPECT_EQ(UpdateLoggerToolbar(log, Connecting), Buttons(true, false, false, false, true, false));
    EXPECT_EQ(UpdateLoggerToolbar(log, NotConnected), Buttons(true, false, false, false, true, false));
  }
}

TEST(StatusLineTest, StateAndFigures) {
  EXPECT_EQ(StatusStateText(XDL_STATE_CLOSED, Connected), "ALDL: Connected");
  EXPECT_EQ(StatusStateText(XDL_STATE_CLOSED, Connecting), "ALDL: Connecting...");
  EXPECT_EQ(StatusStateText(XDL_STATE_READY, NotConnected), "ALDL: Not Connected");
  EXPECT_EQ(StatusStateText(XDL_STATE_READY, LogPaused), "Log Paused");
  EXPECT_EQ(StatusStateText(XDL_STATE_PLAYING, NotConnected), "Log Playing");
  EXPECT_EQ(StatusStateText(XDL_STATE_RECORDING, Connected), "Log Recording");

  StatusLineInput in;
  in.connectionState = Connected;
  in.rate = 9.876;
  in.errorCount = 3;
  in.logState = XDL_STATE_RECORDING;
  EXPECT_EQ(StatusFiguresText(in), "9.88 Hz   Errors: 3");
  // 1 h 2 min 3.045 s into a played log.
  in.connectionState = NotConnected;
  in.logState = XDL_STATE_PLAYING;
  in.logTimeMs = 3723045;
  EXPECT_EQ(StatusFiguresText(in), "9.88 Hz  1:2:03:045");
  in.logState = XDL_STATE_CLOSED;
  EXPECT_EQ(StatusFiguresText(in), "");
  in.connectionState = Connecting;
  EXPECT_EQ(StatusFiguresText(in), std::nullopt);
  in.connectionState = LogPaused;
  in.logState = XDL_STATE_READY;
  EXPECT_EQ(StatusFiguresText(in), std::nullopt);
}

TEST(SpeedTest, CheckedItemAndTitle) {
  EXPECT_EQ(CheckedSpeedItem(4.0f), SpeedItem::Speed400);
  EXPECT_EQ(CheckedSpeedItem(2.0f), SpeedItem::Speed200);
  EXPECT_EQ(CheckedSpeedItem(1.0f), SpeedItem::Speed100);
  EXPECT_EQ(CheckedSpeedItem(0.5f), SpeedItem::Speed50);
  EXPECT_EQ(CheckedSpeedItem(0.25f), SpeedItem::Speed25);
  EXPECT_EQ(CheckedSpeedItem(1.5f), SpeedItem::Custom);
  EXPECT_EQ(CheckedSpeedItem(0.0f), SpeedItem::Custom);

  EXPECT_EQ(WindowTitleText("/home/u/defs/demo.adx", "C:\\logs\\run.xdl", 0.25f),
            "Varnak - ADX: defs/demo.adx  XDL: logs\\run.xdl (Speed: 25%)");
  EXPECT_EQ(WindowTitleText("demo.adx", "", 1.5f), "Varnak - ADX: demo.adx  XDL:  (Speed: 150%)");
  EXPECT_EQ(ShortPathForm("/x.adx"), "x.adx");
  EXPECT_EQ(ShortPathForm("a/"), "");
}

TEST(LastPacketTest, KeepsAtMostItsCapacity) {
  LastPacket last;
  std::vector<std::uint8_t> big(1000);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i);
  last.Store(big.data(), big.size(), 7);
  EXPECT_EQ(last.Length(), LastPacket::kCapacity);
  std::uint8_t out[400] = {};
  std::uint32_t hash = 0;
  EXPECT_EQ(last.Copy(out, sizeof out, &hash), LastPacket::kCapacity);
  EXPECT_EQ(hash, 7u);
  EXPECT_EQ(out[299], 299 % 256);
  EXPECT_EQ(out[300], 0);
  last.Store(nullptr, 50, 9);
  EXPECT_EQ(last.Length(), 0u);
  EXPECT_EQ(last.CommandIdHash(), 9u);
}

TEST(AutoResetEventTest, OneSetReleasesOneWait) {
  AutoResetEvent event(true);
  EXPECT_TRUE(event.WaitFor(std::chrono::milliseconds(0)));
  EXPECT_FALSE(event.WaitFor(std::chrono::milliseconds(10)));
  std::thread setter([&] { event.Set(); });
  event.Wait();
  setter.join();
  EXPECT_FALSE(event.IsSet());
}

}  // namespace
