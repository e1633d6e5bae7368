// Pure pieces of the command-line tool: the CSV item rows, the live table and
// the argument parsing of scan, play and export.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "analysis/AnalysisText.h"
#include "definition/ADXBitmask.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXValue.h"
#include "tools/varnak-cli/CliSupport.h"
#include "tools/varnak-cli/CommandLineSession.h"
#include "tools/varnak-cli/ItemRows.h"
#include "tools/varnak-cli/LiveTable.h"

namespace {

TEST(ItemRowsTest, HeaderAndRowsFollowTheAssociationRule) {
  ADXDefinition def;
  auto rpm = std::make_unique<ADXValue>();
  rpm->SetId("RPM");
  rpm->SetEquation("X*25", 4);
  rpm->packetoffset = 1;
  rpm->outputtype = kOutputInteger;
  rpm->digcount = 0;
  rpm->parentcmdidhash = 0x1111;
  auto fan = std::make_unique<ADXBitmask>();
  fan->SetId("FAN");
  fan->packetoffset = 0;
  fan->operand = 0x10;
  fan->result = 0x10;
  fan->SetTrueString("on, fast", 8);
  fan->SetFalseString("off", 3);
  def.Append(std::move(rpm));
  def.Append(std::move(fan));

  ItemRowFormatter rows(def);
  EXPECT_EQ(rows.HeaderRow(), "time_s,RPM,FAN\n");
  const std::uint8_t packet[] = {0x10, 32};
  std::string out;
  rows.AppendRow(out, 1.23456, packet, sizeof packet, 0x1111);
  EXPECT_EQ(out, "1.235,800,\"on, fast\"\n");
  // Another command's packet leaves RPM at its last reading.
  const std::uint8_t other[] = {0x00, 99};
  out.clear();
  rows.AppendRow(out, 2.0, other, sizeof other, 0x2222);
  EXPECT_EQ(out, "2.000,800,off\n");

  // The time column has exactly the digits of "%.3f".
  for (double t : {0.0005, 2.0005, 0.1235, 1e9 + 0.0625, 4294967.2955, -0.0004}) {
    out.clear();
    rows.AppendRow(out, t, nullptr, 0, 0);
    char expected[64];
    std::snprintf(expected, sizeof expected, "%.3f,", t);
    EXPECT_EQ(out.substr(0, out.find(',') + 1), expected);
  }

  std::string field;
  AppendCsvField(field, "say \"hi\"", 8);
  EXPECT_EQ(field, "\"say \"\"hi\"\"\"");
}

TEST(LiveTableTest, RedrawsInPlaceWithoutControlCharacters) {
  const std::string text = LiveTableText("ALDL: Connected",
                                         {{"RPM", "800", "rpm"},
                                          {"BAD\x1b", "1\n",
                                           "\xB0"
                                           "C"}},
                                         80, 24);
  EXPECT_EQ(text.rfind("\x1b[H", 0), 0u);
  EXPECT_NE(text.find("ALDL: Connected\x1b[K\n"), std::string::npos);
  EXPECT_NE(text.find("RPM"), std::string::npos);
  EXPECT_EQ(text.find("BAD\x1b"), std::string::npos);
  EXPECT_NE(text.find("\xC2\xB0"
                      "C"),
            std::string::npos);  // Latin-1 degree sign as UTF-8
  EXPECT_EQ(text.substr(text.size() - 3), "\x1b[J");
}

TEST(LiveTableTest, FillsColumnsAndNeverScrolls) {
  std::vector<LiveTableRow> rows;
  for (int i = 0; i < 70; ++i) rows.push_back({"ITEM" + std::to_string(i), std::to_string(i), ""});
  const auto lineCount = [](const std::string& text) { return std::count(text.begin(), text.end(), '\n'); };
  // 120 columns hold three cells a line: 70 items need 24 lines below the heading.
  std::string text = LiveTableText("s", rows, 120, 40);
  EXPECT_EQ(lineCount(text), 2 + 24);
  EXPECT_NE(text.find("ITEM69"), std::string::npos);
  // A small terminal shows what fits and counts the rest.
  text = LiveTableText("s", rows, 80, 10);
  EXPECT_LE(lineCount(text), 9);
  EXPECT_NE(text.find("... 57 more"), std::string::npos);
  EXPECT_EQ(text.find("ITEM13 "), std::string::npos);
}

TEST(ArgumentsTest, ScanPlayAndExport) {
  ScanOptions scan;
  std::string error;
  EXPECT_EQ(ParseScanArguments({"d.adx", "--port", "/dev/pts/3", "--seconds", "2.5", "--record", "o.xdl",
                                "--csv", "-", "--verbose"},
                               &scan, &error),
            0);
  EXPECT_EQ(scan.definitionPath, "d.adx");
  EXPECT_EQ(scan.portPath, "/dev/pts/3");
  EXPECT_EQ(scan.seconds, 2.5);
  EXPECT_EQ(scan.recordPath, "o.xdl");
  EXPECT_EQ(scan.csvPath, "-");
  EXPECT_TRUE(scan.verbose);
  EXPECT_EQ(ParseScanArguments({"d.adx"}, &scan, &error), 2);
  EXPECT_EQ(ParseScanArguments({"d.adx", "--port"}, &scan, &error), 2);
  EXPECT_EQ(ParseScanArguments({"d.adx", "--port", "p", "--seconds", "-1"}, &scan, &error), 2);
  EXPECT_EQ(ParseScanArguments({"d.adx", "--port", "p", "--seconds", "nan"}, &scan, &error), 2);
  EXPECT_EQ(ParseScanArguments({"d.adx", "--port", "p", "--live", "--csv", "-"}, &scan, &error), 2);
  EXPECT_EQ(ParseScanArguments({"d.adx", "e.adx", "--port", "p"}, &scan, &error), 2);
  // Without --csv the rows go to standard output, unless the live table has it.
  EXPECT_EQ(ParseScanArguments({"d.adx", "--port", "p"}, &scan, &error), 0);
  EXPECT_EQ(scan.csvPath, "-");
  EXPECT_EQ(ParseScanArguments({"d.adx", "--port", "p", "--live"}, &scan, &error), 0);
  EXPECT_EQ(scan.csvPath, "");
  EXPECT_EQ(ParseScanArguments({"d.adx", "--port", "p", "--record", "x", "--csv", "x"}, &scan, &error), 2);

  PlayOptions play;
  EXPECT_EQ(ParsePlayArguments({"l.xdl", "d.adx", "--speed", "0.5", "--csv", "o.csv"}, &play, &error), 0);
  EXPECT_EQ(play.logPath, "l.xdl");
  EXPECT_EQ(play.definitionPath, "d.adx");
  EXPECT_EQ(play.speed, 0.5f);
  EXPECT_EQ(ParsePlayArguments({"l.xdl", "d.adx"}, &play, &error), 0);
  EXPECT_EQ(play.csvPath, "-");  // rows to standard output, as scan writes them
  EXPECT_EQ(ParsePlayArguments({"l.xdl"}, &play, &error), 2);
  EXPECT_EQ(ParsePlayArguments({"l.xdl", "d.adx", "--speed", "fast"}, &play, &error), 2);

  std::string log, def, out;
  EXPECT_EQ(ParseExportArguments({"l.xdl", "d.adx", "-o", "x.csv"}, &log, &def, &out, &error), 0);
  EXPECT_EQ(out, "x.csv");
  EXPECT_EQ(ParseExportArguments({"l.xdl", "d.adx"}, &log, &def, &out, &error), 0);
  EXPECT_EQ(out, "");
  EXPECT_EQ(ParseExportArguments({"l.xdl", "d.adx", "-x"}, &log, &def, &out, &error), 2);
}

}  // namespace

namespace {

// Definition texts are bytes: UTF-8 when valid, else Latin-1; the tool's
// output is UTF-8 either way and never encodes UTF-8 twice.
TEST(CliTextTest, Utf8TextsStayAndLatin1TextsAreConverted) {
  EXPECT_EQ(Latin1ToUtf8("K\xC3\xBChlmittel \xC2\xB0"
                         "C"),
            "K\xC3\xBChlmittel \xC2\xB0"
            "C");
  EXPECT_EQ(Latin1ToUtf8("K\xFChlmittel \xB0"
                         "C"),
            "K\xC3\xBChlmittel \xC2\xB0"
            "C");
  // Overlong forms, surrogates and a cut sequence are not UTF-8.
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));
  EXPECT_FALSE(IsValidUtf8("\xE2\x82"));
  EXPECT_TRUE(IsValidUtf8("\xE2\x82\xAC \xF0\x9F\x9A\x97"));
  const std::string table = LiveTableText("s",
                                          {{"CLT", "90",
                                            "\xC2\xB0"
                                            "C"}},
                                          80, 24);
  EXPECT_NE(table.find("\xC2\xB0"
                       "C"),
            std::string::npos);
  EXPECT_EQ(table.find("\xC3\x82"), std::string::npos);
}

}  // namespace
