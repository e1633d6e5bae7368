// Pure rules behind the window's desktop behaviour: the look's choice, where
// the window opens, the newer settings keys and the command line options.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/settings/AppSettings.h"
#include "app/window/CommandLine.h"
#include "app/window/Theme.h"
#include "app/window/WindowPlace.h"

namespace {

TEST(ThemeChoiceRules, NamesParseBackAndSystemFollowsTheDesktop) {
  for (ThemeChoice c : {ThemeChoice::System, ThemeChoice::Light, ThemeChoice::Dark})
    EXPECT_EQ(ParseThemeChoice(ThemeChoiceName(c)), c);
  EXPECT_EQ(ParseThemeChoice("DARK"), ThemeChoice::Dark);
  EXPECT_FALSE(ParseThemeChoice("").has_value());
  EXPECT_FALSE(ParseThemeChoice("darker").has_value());

  EXPECT_TRUE(SystemPrefersDark(nullptr, true));
  EXPECT_FALSE(SystemPrefersDark(nullptr, false));
  EXPECT_TRUE(SystemPrefersDark("Adwaita:dark", false));
  EXPECT_TRUE(SystemPrefersDark("Arc-Dark", false));
  EXPECT_FALSE(SystemPrefersDark("Adwaita", false));
  EXPECT_FALSE(SystemPrefersDark("Adwaita:light", false));
  EXPECT_FALSE(SystemPrefersDark("", false));

  EXPECT_TRUE(GtkSettingsPreferDark("[Settings]\ngtk-application-prefer-dark-theme = 1\n"));
  EXPECT_TRUE(GtkSettingsPreferDark("[Settings]\r\ngtk-theme-name=PiXnoir\r\n"));
  EXPECT_TRUE(GtkSettingsPreferDark("gtk-theme-name=Adwaita-dark"));
  EXPECT_FALSE(
      GtkSettingsPreferDark("[Settings]\ngtk-theme-name=PiXflat\ngtk-application-prefer-dark-theme=0\n"));
  EXPECT_FALSE(GtkSettingsPreferDark("gtk-theme-name"));
  EXPECT_FALSE(GtkSettingsPreferDark(""));
  EXPECT_TRUE(GnomeColorSchemeDark("'prefer-dark'\n"));
  EXPECT_FALSE(GnomeColorSchemeDark("'default'\n"));
  EXPECT_FALSE(GnomeColorSchemeDark("'prefer-light'"));
}

TEST(WindowPlaceRules, AStoredPlaceOnAScreenThatIsGoneOpensOnThePrimaryScreen) {
  const QRect primary(0, 0, 1920, 1080);
  const QRect second(1920, 0, 1280, 1024);
  // On the second screen while it is there: kept.
  const QRect stored(2100, 100, 900, 700);
  EXPECT_EQ(ChooseWindowPlace(stored, {primary, second}, primary), stored);
  // The second screen unplugged: the first-run place on the primary screen.
  const QRect moved = ChooseWindowPlace(stored, {primary}, primary);
  EXPECT_TRUE(primary.contains(moved));
  EXPECT_EQ(moved.center().x(), primary.center().x());
  // A title strip just peeking in (less than a grab's width) does not count.
  EXPECT_FALSE(PlaceIsOnScreens(QRect(1880, 100, 900, 700), {primary}));
  EXPECT_TRUE(PlaceIsOnScreens(QRect(1700, 100, 900, 700), {primary}));
  // Above the top edge the title bar cannot be grabbed.
  EXPECT_FALSE(PlaceIsOnScreens(QRect(100, -600, 900, 500), {primary}));
  // A primary screen that is not at the origin.
  const QRect offset(-1280, 0, 1280, 1024);
  EXPECT_TRUE(offset.contains(ChooseWindowPlace(QRect(5000, 5000, 800, 600), {offset}, offset)));
}

TEST(WindowPlaceRules, SizesStayBetweenTheMinimumAndTheScreen) {
  const QRect screen(0, 0, 1280, 720);
  EXPECT_EQ(ChooseWindowPlace(QRect(10, 10, 50, 40), {screen}, screen).size(), kMinimumWindowSize);
  EXPECT_EQ(ChooseWindowPlace(QRect(10, 10, 5000, 4000), {screen}, screen).size(), QSize(1280, 720));
  // First run on a wide, low screen: 55% of the width would be taller than it.
  const QRect wide(0, 0, 2560, 1080);
  const QRect first = ChooseWindowPlace(QRect(), {wide}, wide);
  EXPECT_EQ(first.width(), 1920);
  EXPECT_EQ(first.height(), 1080);
}

TEST(SettingsRules, NewerPreferencesRoundTripAndOldFilesStayTheSame) {
  AppSettings plain;
  const std::string eight = FormatSettingsText(plain);
  EXPECT_EQ(std::count(eight.begin(), eight.end(), '\n'), 8);
  plain.theme = "system";  // the default is not written either
  EXPECT_EQ(FormatSettingsText(plain), eight);

  AppSettings set;
  set.theme = "dark";
  set.recordingfolder = "/home/me/logs=old";
  set.broker = "[::1]:1883";
  AppSettings back;
  ParseSettingsText(FormatSettingsText(set), back);
  EXPECT_EQ(back.theme, "dark");
  EXPECT_EQ(back.recordingfolder, "/home/me/logs=old");
  EXPECT_EQ(back.broker, "[::1]:1883");
}

TEST(SettingsRules, BrokerTextIsHostAndPort) {
  for (const char* good :
       {"", "127.0.0.1:1883", "broker.example-net.lan:8883", "[::1]:1883", "a:1", "h:65535"})
    EXPECT_TRUE(BrokerTextValid(good)) << good;
  for (const char* bad : {"localhost", ":1883", "host:", "host:0", "host:65536", "host:12a", "ho st:1883",
                          "[zz]:1", "[]:1", "host:1883;rm", "host:123456"})
    EXPECT_FALSE(BrokerTextValid(bad)) << bad;
}

TEST(CommandLineRules, ThemeVersionAndEdit) {
  CommandLineOptions options;
  std::string error;
  ASSERT_TRUE(ParseCommandLine({"--theme", "dark", "--version", "--edit"}, &options, &error));
  EXPECT_EQ(options.theme, "dark");
  EXPECT_TRUE(options.version);
  EXPECT_TRUE(options.edit);
  EXPECT_FALSE(ParseCommandLine({"--theme", "blue"}, &options, &error));
  EXPECT_NE(error.find("light, dark or system"), std::string::npos);
  EXPECT_FALSE(ParseCommandLine({"--theme"}, &options, &error));
  EXPECT_NE(CommandLineUsage().find("--theme"), std::string::npos);
}

}  // namespace
