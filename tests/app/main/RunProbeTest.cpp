// The --verbose probe: the figures it reads from the process, its number text
// under a comma-decimal locale, and its first-frame and closing lines.
#include <QApplication>
#include <QWidget>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/main/RunProbe.h"
#include "app/window/CommandLine.h"
#include "tests/support/QtTestApp.h"

namespace {

const ::testing::Environment* const kApp = ::testing::AddGlobalTestEnvironment(new QtTestApp);

TEST(RunProbe, ProcessFiguresFollowDescriptorsAndMemory) {
  const ProcessFigures before = ReadProcessFigures();
  ASSERT_GT(before.residentKb, 0);
  ASSERT_GT(before.openFiles, 2);  // at least stdin, stdout, stderr
  const int fd = ::open("/dev/null", O_RDONLY);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(ReadProcessFigures().openFiles, before.openFiles + 1);
  ::close(fd);
  EXPECT_EQ(ReadProcessFigures().openFiles, before.openFiles);

  // 32 MB touched page by page shows in the resident figure.
  std::vector<char> block(32u << 20);
  for (std::size_t i = 0; i < block.size(); i += 4096) block[i] = 1;
  EXPECT_GT(ReadProcessFigures().residentKb, before.residentKb + 24 * 1024);

  const double sinceStart = MillisecondsSinceProcessStart();
  EXPECT_GE(sinceStart, 0.0);
  EXPECT_LT(sinceStart, 24.0 * 3600 * 1000);
}

TEST(RunProbe, MillisecondsReadTheSameInEveryLocale) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  std::setlocale(LC_ALL, "de_DE.UTF-8");
  EXPECT_EQ(MillisecondText(12.54), "12.5");
  EXPECT_EQ(MillisecondText(0.0), "0.0");
  EXPECT_EQ(MillisecondText(299.96), "300.0");
  EXPECT_EQ(MillisecondText(-0.4), "-0.4");
  EXPECT_EQ(MillisecondText(-12.5), "-12.5");
  std::setlocale(LC_ALL, saved.c_str());
}

TEST(RunProbe, ReportsTheFirstFrameOnceAndAClosingLine) {
  CommandLineOptions options;
  std::string error;
  ASSERT_TRUE(ParseCommandLine({"--verbose"}, &options, &error));
  EXPECT_TRUE(options.verbose);

  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  {
    QWidget window;
    window.resize(200, 100);
    RunProbe probe(&window, std::chrono::steady_clock::now(), 1, out);
    window.show();
    for (int i = 0; i < 50; ++i) {
      QApplication::processEvents();
      window.update();
    }
  }
  std::rewind(out);
  std::string text;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, out) != nullptr) text += buffer;
  std::fclose(out);
  const std::size_t first = text.find("varnak: first frame painted ");
  ASSERT_NE(first, std::string::npos) << text;
  EXPECT_EQ(text.find("first frame painted", first + 20), std::string::npos) << text;  // once
  EXPECT_NE(text.find(" ms after main)\n"), std::string::npos) << text;
  EXPECT_NE(text.find("varnak: end t=0 s rss="), std::string::npos) << text;
  EXPECT_NE(text.find(" fds="), std::string::npos) << text;
  EXPECT_NE(text.find(" longest-stall="), std::string::npos) << text;
}

}  // namespace
