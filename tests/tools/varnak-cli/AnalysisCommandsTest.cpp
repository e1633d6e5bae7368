// varnak-cli histogram, stats and diff as a user runs them: CSV output, time
// ranges, exit codes, and numbers that do not follow the user's locale.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/analysis/AnalysisTestSupport.h"

namespace {

using namespace analysistest;
using xdltest::BuildLog;
using xdltest::RawRecord;

struct CliRun {
  int code = -1;
  std::string out;
  std::string err;
};

std::string Quoted(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(line);
  }
  return out;
}

class AnalysisCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    ADXDefinition def;
    engine = BuildEngineDefinition(def);
    adx = dir.File("engine.adx");
    ASSERT_EQ(SaveAdx(&def, adx.c_str(), nullptr), 1);
    ADXDefinition revised;
    BuildEngineDefinition(revised, 1);
    revisedAdx = dir.File("revised.adx");
    ASSERT_EQ(SaveAdx(&revised, revisedAdx.c_str(), nullptr), 1);
  }
  std::string WriteLog(const std::vector<RawRecord>& records) {
    const std::string path = dir.File("drive.xdl");
    xdltest::WriteAll(path, BuildLog(EngineEntries(engine), records));
    return path;
  }
  CliRun Cli(const std::vector<std::string>& args, const std::string& locale = "") {
    std::string command = locale.empty() ? std::string() : "LC_ALL=" + locale + " ";
    command += Quoted(VARNAK_CLI);
    for (const std::string& a : args) command += " " + Quoted(a);
    command += " >" + Quoted(dir.File("out")) + " 2>" + Quoted(dir.File("err"));
    CliRun r;
    const int status = std::system(command.c_str());
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const xdltest::Bytes out = xdltest::ReadAll(dir.File("out"));
    const xdltest::Bytes err = xdltest::ReadAll(dir.File("err"));
    r.out.assign(out.begin(), out.end());
    r.err.assign(err.begin(), err.end());
    return r;
  }

  xdltest::ScratchDir dir;
  EngineDefinition engine;
  std::string adx;
  std::string revisedAdx;
};

// Records at 0, 100, ... ms: RPM 250 * (i + 1), MAP i, SPARK 0.5 * i.
std::vector<RawRecord> RampRecords(int n) {
  std::vector<RawRecord> records;
  for (int i = 0; i < n; ++i) {
    const int raw = 1000 * (i + 1);
    records.push_back({static_cast<std::uint32_t>(i * 100),
                       0,
                       {0, 0, static_cast<std::uint8_t>(raw >> 8), static_cast<std::uint8_t>(raw),
                        static_cast<std::uint8_t>(2 * i), static_cast<std::uint8_t>(i), 0, 1}});
  }
  return records;
}

TEST_F(AnalysisCommands, HistogramGridOverARange) {
  const std::string log = WriteLog(RampRecords(8));  // RPM 250 .. 2000
  CliRun r = Cli({"histogram", log, adx, "--id", "SPKMAP", "--kind", "7", "--from", "0.1", "--to", "0.4"});
  ASSERT_EQ(r.code, 0) << r.err;
  // Records 1 .. 4: RPM 500, 750, 1000, 1250 -> columns 1, 2 (750 ties up), 2, 3; MAP 1 .. 4 -> row 0.
  EXPECT_EQ(Lines(r.out), (std::vector<std::string>{",0,500,1000,1500,2000", "0,,1,2,1,", "40,,,,,",
                                                    "80,,,,,", "120,,,,,"}));
  EXPECT_NE(r.out.find("\r\n"), std::string::npos);

  // The default kind is the statistics average, with three decimals when needed.
  r = Cli({"histogram", log, adx, "--id", "SPKMAP", "--from", "0.1", "--to", "0.4"}, "de_DE.UTF-8");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(Lines(r.out)[1], "0,,0.500,1.250,2,");
}

TEST_F(AnalysisCommands, HistogramRefusesBadArgumentsAndFiles) {
  const std::string log = WriteLog(RampRecords(3));
  EXPECT_EQ(Cli({"histogram", log, adx}).code, 2);                                   // no --id
  EXPECT_EQ(Cli({"histogram", log, adx, "--id", "SPKMAP", "--kind", "5"}).code, 2);  // no such kind
  EXPECT_EQ(Cli({"histogram", log, adx, "--id", "SPKMAP", "--from", "x"}).code, 2);
  EXPECT_EQ(Cli({"histogram", log, adx, "--id", "SPKMAP", "--from", "2", "--to", "1"}).code, 2);
  EXPECT_EQ(Cli({"histogram", log, adx, "--id", "SPKMAP", "--bogus", "1"}).code, 2);
  CliRun r = Cli({"histogram", log, adx, "--id", "RPM"});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("no histogram with the ID 'RPM'"), std::string::npos);
  r = Cli({"histogram", dir.File("none.xdl"), adx, "--id", "SPKMAP"});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("cannot open"), std::string::npos);
  EXPECT_EQ(Cli({"histogram", log, dir.File("none.adx"), "--id", "SPKMAP"}).code, 1);
}

TEST_F(AnalysisCommands, StatsPerValueInDefinitionOrder) {
  const std::string log = WriteLog(RampRecords(5));
  const CliRun r = Cli({"stats", log, adx, "--to", "0.3"}, "de_DE.UTF-8");
  ASSERT_EQ(r.code, 0) << r.err;
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], "id,title,count,min,max,mean");
  EXPECT_EQ(lines[1], "RPM,Engine Speed,4,250,1000,625");
  EXPECT_EQ(lines[2], "MAP,\"Manifold, Pressure\",4,0,3,1.5");
  EXPECT_EQ(lines[3], "SPARK,\"Spark \"\"Advance\"\"\",4,0,1.5,0.75");
  EXPECT_EQ(lines[4], "TEMP,Coolant,0,,,");        // no SLOW record
  EXPECT_EQ(lines[5], "LOAD,Load,4,-40,-34,-37");  // TEMP still reads its start value, -40
  EXPECT_EQ(lines[6], "GEAR,Gear,4,1,1,1");
}

TEST_F(AnalysisCommands, DiffListsDifferencesWithTheExitStatusOfDiff) {
  const std::string log = WriteLog(RampRecords(4));
  CliRun r = Cli({"diff", log, adx, revisedAdx});
  EXPECT_EQ(r.code, 1) << r.err;
  EXPECT_EQ(Lines(r.out),
            (std::vector<std::string>{"id,title,records_differing,max_abs_difference,first_time_s,note",
                                      "MAP,\"Manifold, Pressure\",4,1,0,", "LOAD,Load,,,,only in A",
                                      "BOOST,Boost,,,,only in B"}));
  r = Cli({"diff", log, adx, adx});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(Lines(r.out).size(), 1u);
  EXPECT_EQ(Cli({"diff", log, adx}).code, 2);
  EXPECT_EQ(Cli({"diff", log, adx, dir.File("none.adx")}).code, 2);
  EXPECT_EQ(Cli({"diff", dir.File("none.xdl"), adx, adx}).code, 2);
}

}  // namespace
