#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "acquisition/control/ConnectionState.h"
#include "app/prefs/PortPath.h"
#include "app/prefs/SerialDevices.h"
#include "app/window/CommandLine.h"
#include "app/window/WindowTexts.h"
#include "datalog/XdlFormat.h"
#include "tests/support/ResultPrinting.h"

namespace {

constexpr std::uint32_t Rgb(int r, int g, int b) {
  return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) |
         (static_cast<std::uint32_t>(b) << 16);
}

TEST(PortPath, TheTrailingNumberIsThePortNumber) {
  EXPECT_EQ(PortNumberOf("/dev/ttyUSB0"), 0);
  EXPECT_EQ(PortNumberOf("/dev/ttyS12"), 12);
  EXPECT_EQ(PortNumberOf("COM1"), 1);
  EXPECT_EQ(PortNumberOf("/dev/ttyUSB123"), 23);  // two digits at most
  EXPECT_EQ(PortNumberOf("/dev/serial/by-id/usb-adapter"), std::nullopt);
  EXPECT_EQ(PortNumberOf(""), std::nullopt);

  EXPECT_EQ(WithPortNumber("COM1", 7), "COM7");
  EXPECT_EQ(WithPortNumber("/dev/ttyUSB3", 12), "/dev/ttyUSB12");
  EXPECT_EQ(WithPortNumber("/dev/ttyS12", 5), "/dev/ttyS5");
  EXPECT_EQ(WithPortNumber("/dev/ttyUSB0", 100), "/dev/ttyUSB0");
  EXPECT_EQ(WithPortNumber("/dev/ttyUSB0", -1), "/dev/ttyUSB0");
  EXPECT_EQ(WithPortNumber("/dev/serial/by-id/usb-adapter", 4), "/dev/serial/by-id/usb-adapter");
}

TEST(SerialDevices, ListsStableNamesThenEachFamilyByNumber) {
  namespace fs = std::filesystem;
  char pattern[] = "/tmp/varnak-dev-XXXXXX";
  const std::string root = ::mkdtemp(pattern);
  fs::create_directories(root + "/serial/by-id");
  for (const char* name : {"ttyUSB10", "ttyUSB2", "ttyUSB1", "ttyACM0", "ttyUSBx", "tty0", "ttyS0",
                           "serial/by-id/usb-FTDI_A-if00-port0"}) {
    std::ofstream(root + "/" + name).put('\n');
  }
  const std::vector<std::string> expected = {root + "/serial/by-id/usb-FTDI_A-if00-port0",
                                             root + "/ttyUSB1",
                                             root + "/ttyUSB2",
                                             root + "/ttyUSB10",
                                             root + "/ttyACM0",
                                             root + "/ttyS0"};
  EXPECT_EQ(ListSerialDevices(root), expected);
  fs::remove_all(root);
  EXPECT_TRUE(ListSerialDevices(root).empty());
}

TEST(CommandLine, TakesEveryOption) {
  CommandLineOptions o;
  std::string error;
  ASSERT_TRUE(ParseCommandLine({"demo.adx", "--port", "/dev/pts/4", "--scan", "--tab", "Monitors",
                                "--quit-after", "2.5", "--screenshot", "/tmp/w.png", "--preferences"},
                               &o, &error))
      << error;
  EXPECT_EQ(o.definition, "demo.adx");
  EXPECT_EQ(o.port, "/dev/pts/4");
  EXPECT_TRUE(o.scan);
  EXPECT_EQ(o.tab, "Monitors");
  EXPECT_EQ(o.quitAfterSeconds, 2.5);
  EXPECT_EQ(o.screenshot, "/tmp/w.png");
  EXPECT_TRUE(o.preferences);
  ASSERT_TRUE(ParseCommandLine({}, &o, &error));
  EXPECT_TRUE(o.definition.empty());
  EXPECT_FALSE(o.quitAfterSeconds.has_value());
}

TEST(CommandLine, RefusesWhatItCannotUse) {
  CommandLineOptions o;
  std::string error;
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{{"--bogus"},
                                                                                    {"--port"},
                                                                                    {"--tab", ""},
                                                                                    {"--quit-after", "soon"},
                                                                                    {"--quit-after", "-1"},
                                                                                    {"--quit-after", "nan"},
                                                                                    {"--quit-after", "1e9"},
                                                                                    {"a.adx", "b.adx"}}) {
    error.clear();
    EXPECT_FALSE(ParseCommandLine(args, &o, &error)) << args[0];
    EXPECT_FALSE(error.empty());
  }
}

TEST(WindowTexts, VersionTextHasFourPaddedParts) {
  EXPECT_EQ(VersionText("0.1.0"), "0.01.0000.00");
  EXPECT_EQ(VersionText("1.2.3.4"), "1.02.0003.04");
  EXPECT_EQ(VersionText("12"), "12.00.0000.00");
  EXPECT_EQ(VersionText(""), "");
  EXPECT_EQ(VersionText("1..2"), "");
  EXPECT_EQ(VersionText("1.2.3.4.5"), "");
  EXPECT_EQ(VersionText("v1"), "");
}

TEST(WindowTexts, StateFieldShowsTheLogBeforeTheConnection) {
  EXPECT_EQ(StatusStateLook(XDL_STATE_PLAYING, Connected),
            (StatusLook{"Log Playing", Rgb(255, 255, 255), Rgb(0, 0, 255)}));
  EXPECT_EQ(StatusStateLook(XDL_STATE_RECORDING, Connected),
            (StatusLook{"Log Recording", Rgb(255, 255, 255), Rgb(120, 120, 120)}));
  EXPECT_EQ(StatusStateLook(XDL_STATE_CLOSED, NotConnected),
            (StatusLook{"ALDL: Not Connected", Rgb(0, 0, 0), Rgb(255, 255, 0)}));
  EXPECT_EQ(StatusStateLook(XDL_STATE_CLOSED, Connecting),
            (StatusLook{"ALDL: Connecting...", Rgb(0, 0, 0), Rgb(255, 170, 130)}));
  EXPECT_EQ(StatusStateLook(XDL_STATE_READY, Connected),
            (StatusLook{"ALDL: Connected", Rgb(255, 255, 255), Rgb(0, 0, 255)}));
  EXPECT_EQ(StatusStateLook(XDL_STATE_READY, LogPaused),
            (StatusLook{"Log Paused", Rgb(0, 0, 0), Rgb(255, 115, 40)}));
}

TEST(WindowTexts, OnlyAMicrosecondClockIsFineForTiming) {
  EXPECT_TRUE(ClockResolutionFine(0, 1));
  EXPECT_TRUE(ClockResolutionFine(0, 1000));
  EXPECT_FALSE(ClockResolutionFine(0, 1001));
  EXPECT_FALSE(ClockResolutionFine(0, 4000000));  // a 250 Hz tick
  EXPECT_FALSE(ClockResolutionFine(1, 0));
}

TEST(WindowTexts, SliderSitsRightOfTheToolbarAtMost400Wide) {
  EXPECT_EQ(LogSliderPlace(295, 118), (SliderPlace{119, 174}));
  EXPECT_EQ(LogSliderPlace(1000, 118), (SliderPlace{119, 400}));
  EXPECT_EQ(LogSliderPlace(100, 118), (SliderPlace{119, 0}));
}

}  // namespace
