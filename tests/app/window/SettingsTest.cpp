#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/settings/AppSettings.h"

namespace {

namespace fs = std::filesystem;

AppSettings Parsed(const std::string& text) {
  AppSettings s;
  ParseSettingsText(text, s);
  return s;
}

class TempFolder {
 public:
  TempFolder() {
    char pattern[] = "/tmp/varnak-settings-XXXXXX";
    path_ = ::mkdtemp(pattern);
  }
  ~TempFolder() { fs::remove_all(path_); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

TEST(SettingsFile, WritesEightKeysInOrderAndReadsThemBack) {
  AppSettings s;
  s.lastadxpath = "/home/me/defs/a=b.adx";
  s.comport = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0";
  s.loadlastdef = 0;
  s.lastxdlpath = "/home/me/logs/drive.xdl";
  s.winposx = -8;
  s.winposy = 12;
  s.winsizex = 1440;
  s.winsizey = 1056;
  const std::string text = FormatSettingsText(s);
  EXPECT_EQ(text,
            "lastadxpath=/home/me/defs/a=b.adx\n"
            "comport=/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0\n"
            "loadlastdef=0\n"
            "lastxdlpath=/home/me/logs/drive.xdl\n"
            "winposx=-8\nwinposy=12\nwinsizex=1440\nwinsizey=1056\n");
  const AppSettings back = Parsed(text);
  EXPECT_EQ(back.lastadxpath, s.lastadxpath);
  EXPECT_EQ(back.comport, s.comport);  // a device path survives whole
  EXPECT_EQ(back.loadlastdef, 0);
  EXPECT_EQ(back.lastxdlpath, s.lastxdlpath);
  EXPECT_EQ(back.winposx, -8);
  EXPECT_EQ(back.winposy, 12);
  EXPECT_EQ(back.winsizex, 1440);
  EXPECT_EQ(back.winsizey, 1056);
}

TEST(SettingsFile, ReadingFollowsTheLineRules) {
  // An empty value is no value: the default stays.
  AppSettings s = Parsed("lastadxpath=\ncomport=\n");
  EXPECT_EQ(s.lastadxpath, "");
  EXPECT_EQ(s.comport, AppSettings::kDefaultPort);
  // Lines without "=", unknown keys and keys in another case are ignored.
  s = Parsed("comport\nCOMPORT=/dev/ttyS1\nComPort=/dev/ttyS2\nspeed=4\n");
  EXPECT_EQ(s.comport, AppSettings::kDefaultPort);
  // Leading "=" are skipped before the key; later "=" belong to the value.
  s = Parsed("==comport=/dev/ttyACM3\nlastxdlpath=x=y=z\n");
  EXPECT_EQ(s.comport, "/dev/ttyACM3");
  EXPECT_EQ(s.lastxdlpath, "x=y=z");
  // A file written with "\r\n" reads the same; a last line without a line end counts.
  s = Parsed("winposx=40\r\nlastadxpath=/a/b.adx\r\nwinsizey=77");
  EXPECT_EQ(s.winposx, 40);
  EXPECT_EQ(s.lastadxpath, "/a/b.adx");
  EXPECT_EQ(s.winsizey, 77);
  // Only the keys named change.
  AppSettings kept;
  kept.winposy = 99;
  ParseSettingsText("winposx=1\n", kept);
  EXPECT_EQ(kept.winposy, 99);
}

TEST(SettingsFile, NumbersTakeTheirLeadingDigits) {
  EXPECT_EQ(Parsed("winposx=abc\n").winposx, 0);
  EXPECT_EQ(Parsed("winposx=-12px\n").winposx, -12);
  EXPECT_EQ(Parsed("winposx= +7\n").winposx, 7);
  EXPECT_EQ(Parsed("winsizex=99999999999999999999\n").winsizex, INT32_MAX);
  EXPECT_EQ(Parsed("winsizex=-99999999999999999999\n").winsizex, INT32_MIN);
}

TEST(SettingsFile, LongLinesAreCutAndTheirRestIgnored) {
  const std::string path(600, 'p');
  const AppSettings s = Parsed("lastadxpath=" + path + "\nwinposx=5\n");
  EXPECT_EQ(s.lastadxpath, std::string(AppSettings::kPathMax, 'p'));
  EXPECT_EQ(s.winposx, 5);
  // The remainder of a long line is read as a line of its own: a key hidden
  // there is taken, as a single read of 511 characters would take it.
  const std::string padded = "lastxdlpath=" + std::string(511 - 12, 'q') + "winposy=3\n";
  EXPECT_EQ(Parsed(padded).winposy, 3);
  EXPECT_EQ(Parsed(padded).lastxdlpath.size(), AppSettings::kPathMax);
  EXPECT_EQ(Parsed("comport=" + std::string(300, 'c') + "\n").comport.size(), AppSettings::kPortMax);
}

TEST(SettingsFile, FirstRunCentresAWindowSizedFromTheScreenWidth) {
  AppSettings s;
  SetDefaultWindowPlace(s, 1920, 1080);
  EXPECT_EQ(s.winsizex, 1440);
  EXPECT_EQ(s.winsizey, 1056);  // 55% of the width, not of the height
  EXPECT_EQ(s.winposx, 960 - 720);
  EXPECT_EQ(s.winposy, 540 - 528);
  SetDefaultWindowPlace(s, 1001, 701);
  EXPECT_EQ(s.winsizex, 750);
  EXPECT_EQ(s.winsizey, 550);
  EXPECT_EQ(s.winposx, 500 - 375);
  EXPECT_EQ(s.winposy, 350 - 275);
}

TEST(SettingsFile, SavesAndLoadsAFileAndKeepsDefaultsWithoutOne) {
  TempFolder folder;
  const std::string file = folder.path() + "/Settings.dat";
  AppSettings s;
  EXPECT_FALSE(LoadSettings(s, file));
  EXPECT_FALSE(LoadSettings(s, ""));
  EXPECT_EQ(s.comport, AppSettings::kDefaultPort);
  s.comport = "/dev/ttyUSB3";
  s.lastadxpath = "/x/y.adx";
  ASSERT_TRUE(SaveSettings(s, file));
  EXPECT_FALSE(fs::exists(file + ".new"));
  AppSettings back;
  ASSERT_TRUE(LoadSettings(back, file));
  EXPECT_EQ(back.comport, "/dev/ttyUSB3");
  EXPECT_EQ(back.lastadxpath, "/x/y.adx");
  // A folder that does not exist cannot take the file, and nothing is left.
  EXPECT_FALSE(SaveSettings(s, folder.path() + "/missing/Settings.dat"));
}

TEST(SettingsFile, LivesBesideTheProgramOrInTheConfigFolder) {
  TempFolder folder;
  // Beside the program only in a portable installation, which already has one.
  const std::string build = folder.path() + "/build";
  fs::create_directory(build);
  const std::string xdg = folder.path() + "/xdg";
  EXPECT_EQ(SettingsFilePath(build, xdg.c_str(), nullptr), xdg + "/varnak/Settings.dat");
  EXPECT_TRUE(fs::is_empty(build));
  { std::ofstream(folder.path() + "/Settings.dat") << "comport=/dev/ttyS0\n"; }
  EXPECT_EQ(SettingsFilePath(folder.path(), "/nowhere", "/nowhere"), folder.path() + "/Settings.dat");
  const std::string config = folder.path() + "/config";
  const std::string missingProgram = folder.path() + "/no-such-program-folder";
  EXPECT_EQ(SettingsFilePath(missingProgram, config.c_str(), nullptr), config + "/varnak/Settings.dat");
  EXPECT_TRUE(fs::is_directory(config + "/varnak"));
  // A relative XDG_CONFIG_HOME is ignored; HOME takes over.
  const std::string home = folder.path() + "/home";
  EXPECT_EQ(SettingsFilePath(missingProgram, "relative", home.c_str()),
            home + "/.config/varnak/Settings.dat");
  EXPECT_EQ(SettingsFilePath(missingProgram, nullptr, nullptr), "");
}

}  // namespace
