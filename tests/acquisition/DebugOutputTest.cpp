#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "acquisition/CollectingTextSink.h"
#include "acquisition/QvDebugOutput.h"

namespace {

TEST(DebugOutputTest, InactiveLogDropsEverything) {
  QvDebugOutput log;
  log.Log("hello %d", 1);
  const std::uint8_t bytes[] = {1, 2, 3};
  QvDebugOutput::HexDump("label", &log, bytes, sizeof bytes);
  log.Clear();
  EXPECT_FALSE(log.IsActive());

  // Binding a sink later starts the log with an empty text.
  CollectingTextSink sink;
  log.SetSink(&sink);
  log.Log("first");
  log.Log("second %s", "line");
  EXPECT_EQ(sink.Text(), "first\r\nsecond line");
  log.SetSink(nullptr);
  log.Log("dropped");
  EXPECT_EQ(sink.LineCount(), 2u);
}

TEST(DebugOutputTest, LongLinesAreCutTo4095Characters) {
  CollectingTextSink sink;
  QvDebugOutput log(&sink);
  std::string big(5000, 'x');
  big[4094] = 'y';
  log.Log("%s", big.c_str());
  log.LogText(big);
  auto lines = sink.Lines();
  ASSERT_EQ(lines.size(), 2u);
  for (const auto& line : lines) {
    EXPECT_EQ(line.size(), 4095u);
    EXPECT_EQ(line.back(), 'y');
  }
}

TEST(DebugOutputTest, HexDumpLayout) {
  CollectingTextSink sink;
  QvDebugOutput log(&sink);
  const std::uint8_t abc[] = {0x41, 0x42, 0x0D};
  QvDebugOutput::HexDump(nullptr, &log, abc, sizeof abc);
  ASSERT_EQ(sink.LineCount(), 1u);
  EXPECT_EQ(sink.Lines()[0], "0000: 41 42 0D " + std::string(39, ' ') + "AB.");

  sink.Clear();
  std::vector<std::uint8_t> bytes(17);
  for (int i = 0; i < 17; ++i) bytes[i] = static_cast<std::uint8_t>(0x30 + i);
  bytes[16] = 0x7F;  // DEL is not printable
  QvDebugOutput::HexDump("Dump", &log, bytes.data(), bytes.size());
  auto lines = sink.Lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Dump");
  EXPECT_EQ(lines[1], "0000: 30 31 32 33 34 35 36 37 38 39 3A 3B 3C 3D 3E 3F 0123456789:;<=>?");
  EXPECT_EQ(lines[2], "0010: 7F " + std::string(45, ' ') + ".");

  // Null data or a zero count write nothing, not even the label.
  sink.Clear();
  QvDebugOutput::HexDump("x", &log, nullptr, 4);
  QvDebugOutput::HexDump("x", &log, bytes.data(), 0);
  QvDebugOutput::HexDump("x", nullptr, bytes.data(), 4);
  EXPECT_EQ(sink.LineCount(), 0u);
}

TEST(DebugOutputTest, LabelIsNeverAFormat) {
  CollectingTextSink sink;
  QvDebugOutput log(&sink);
  const std::uint8_t one = 0xFF;
  QvDebugOutput::HexDump("100%s %n done", &log, &one, 1);
  EXPECT_EQ(sink.Lines()[0], "100%s %n done");
}

TEST(DebugOutputTest, LinesFromSeveralThreadsNeverMix) {
  CollectingTextSink sink;
  QvDebugOutput log(&sink);
  constexpr int kThreads = 4;
  constexpr int kLines = 500;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&log, t] {
      std::string body(200, static_cast<char>('a' + t));
      std::uint8_t bytes[20];
      for (auto& b : bytes) b = static_cast<std::uint8_t>(t);
      for (int i = 0; i < kLines; ++i) {
        log.Log("%d:%s", t, body.c_str());
        if (i % 50 == 0) QvDebugOutput::HexDump("dump", &log, bytes, sizeof bytes);
      }
    });
  }
  for (auto& th : threads) th.join();
  auto lines = sink.Lines();
  int plain = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line == "dump") {
      // A dump's two lines follow its label directly and come from one thread.
      ASSERT_LT(i + 2, lines.size());
      EXPECT_EQ(lines[i + 1].substr(0, 6), "0000: ");
      EXPECT_EQ(lines[i + 2].substr(0, 6), "0010: ");
      EXPECT_EQ(lines[i + 1].substr(6, 2), lines[i + 2].substr(6, 2));
      i += 2;
      continue;
    }
    ASSERT_EQ(line.size(), 202u);
    char mark = line[2];
    EXPECT_EQ(line.find_first_not_of(mark, 2), std::string::npos);
    EXPECT_EQ(line[0] - '0', mark - 'a');
    ++plain;
  }
  EXPECT_EQ(plain, kThreads * kLines);
}

}  // namespace
