// Scenario files: what a good file turns into, the demo file, and the
// "FILE:LINE: message" errors of bad files.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numeric>
#include <random>

#include "tools/ecu-sim/ReplyBuilder.h"
#include "tools/ecu-sim/ScenarioParser.h"
#include "tools/ecu-sim/SimulatorCore.h"

namespace {

const char* kFull = R"(# every statement once
baud 8192
echo on
pace off   # trailing comment
chatter on
loop on
seed 42
strict-baud on

exchange hello
  request F4 56 08
  request AE
  reply F45608AE
  chatter off

exchange data
  request f4 57 01 00 b4
  reply F4 92 01
  fill 4 0x00
  checksum
  delay 15
  field 3 2 ramp 0 1000 2000 little phase 0.25
  flag 5 0x81 500 duty 0.2 phase 0.5

script
  send F0 56 F4 C6
  send-reply data
  repeat 300 50 AA 55
  silence 120
  packet160 12 34
  fault drop 2
  fault short 1 3
  fault checksum 1
  fault garbage DEADBEEF
  fault byte-delay 20
  fault close 100
  packet160-reply data
)";

TEST(ScenarioParser, ReadsEveryStatement) {
  EcuScenario s;
  std::string error;
  ASSERT_TRUE(parseScenario(kFull, "full.scenario", s, error)) << error;
  EXPECT_EQ(s.baud, 8192u);
  EXPECT_TRUE(s.echo);
  EXPECT_FALSE(s.pace);
  EXPECT_TRUE(s.chatter);
  EXPECT_TRUE(s.loop);
  EXPECT_EQ(s.seed, 42u);
  EXPECT_TRUE(s.strictBaud);
  ASSERT_EQ(s.exchanges.size(), 2u);

  const Exchange& hello = s.exchanges[0];
  EXPECT_EQ(hello.request, (EcuBytes{0xF4, 0x56, 0x08, 0xAE}));
  EXPECT_EQ(hello.reply, (EcuBytes{0xF4, 0x56, 0x08, 0xAE}));
  EXPECT_EQ(hello.chatter, ChatterControl::Stop);

  const Exchange& data = s.exchanges[1];
  EXPECT_EQ(data.request, (EcuBytes{0xF4, 0x57, 0x01, 0x00, 0xB4}));
  EXPECT_EQ(data.reply.size(), 7u);
  EXPECT_EQ(data.replyLength(), 8u);
  EXPECT_TRUE(data.appendChecksum);
  EXPECT_EQ(data.delayMs, 15u);
  ASSERT_EQ(data.fields.size(), 1u);
  EXPECT_EQ(data.fields[0].offset, 3u);
  EXPECT_EQ(data.fields[0].size, 2u);
  EXPECT_FALSE(data.fields[0].bigEndian);
  EXPECT_EQ(data.fields[0].shape, FieldShape::Ramp);
  EXPECT_DOUBLE_EQ(data.fields[0].maximum, 1000.0);
  EXPECT_DOUBLE_EQ(data.fields[0].periodMs, 2000.0);
  EXPECT_DOUBLE_EQ(data.fields[0].phase, 0.25);
  ASSERT_EQ(data.flags.size(), 1u);
  EXPECT_EQ(data.flags[0].mask, 0x81);
  EXPECT_DOUBLE_EQ(data.flags[0].duty, 0.2);

  ASSERT_EQ(s.script.size(), 12u);
  EXPECT_EQ(s.script[11].kind, ActionKind::Packet160Reply);
  EXPECT_EQ(s.script[11].exchange, 1u);
  EXPECT_EQ(s.script[1].kind, ActionKind::SendReply);
  EXPECT_EQ(s.script[1].exchange, 1u);
  EXPECT_EQ(s.script[2].kind, ActionKind::Repeat);
  EXPECT_EQ(s.script[2].durationMs, 300u);
  EXPECT_EQ(s.script[2].intervalMs, 50u);
  EXPECT_EQ(s.script[4].bytes, (EcuBytes{0x12, 0x34}));
  EXPECT_EQ(s.script[6].fault.kind, FaultKind::ShortReplies);
  EXPECT_EQ(s.script[6].fault.count, 1);
  EXPECT_EQ(s.script[6].fault.length, 3u);
  EXPECT_EQ(s.script[8].fault.bytes, (EcuBytes{0xDE, 0xAD, 0xBE, 0xEF}));
  EXPECT_EQ(s.script[10].fault.kind, FaultKind::CloseAfter);
  EXPECT_EQ(s.script[10].fault.length, 100u);
}

TEST(ScenarioParser, DemoEcuMatchesItsDocumentedLayout) {
  EcuScenario s;
  std::string error;
  ASSERT_TRUE(loadScenarioFile(VARNAK_SOURCE_DIR "/examples/demo-ecu.scenario", s, error)) << error;
  EXPECT_EQ(s.baud, 8192u);
  EXPECT_TRUE(s.echo);
  int data = s.findExchange("data");
  ASSERT_GE(data, 0);
  EXPECT_EQ(s.exchanges[static_cast<std::size_t>(data)].request, (EcuBytes{0xF4, 0x57, 0x01, 0x00, 0xB4}));
  ReplyBuilder builder(s);
  // Over ten simulated minutes every reply is 67 bytes with a good checksum,
  // and the values stay in their documented ranges.
  for (double t = 0.0; t < 600.0; t += 0.37) {
    EcuBytes r = builder.build(static_cast<std::size_t>(data), t);
    ASSERT_EQ(r.size(), 67u);
    ASSERT_EQ(std::accumulate(r.begin(), r.end(), 0u) & 0xFF, 0u);
    EXPECT_EQ(r[0], 0xF4);
    EXPECT_EQ(r[1], 0x92);
    EXPECT_EQ(r[2], 0x01);
    EXPECT_EQ(r[3] * 256 + r[4], 0x1234);
    EXPECT_TRUE(r[5] & 0x01);  // engine running
    EXPECT_GE(r[7], 120);
    EXPECT_LE(r[7], 176);
    EXPECT_GE(r[10] * 25, 800);
    EXPECT_LE(r[10] * 25, 4500);
    EXPECT_GE(r[15], 136);
    EXPECT_LE(r[15], 144);
    EXPECT_NEAR(r[21] * 256 + r[22], t, 1.0);
    EXPECT_EQ(r[25], 225);
    for (int i = 28; i <= 65; ++i) ASSERT_EQ(r[static_cast<std::size_t>(i)], 0) << i;
  }
  for (const char* name : {"connect", "disconnect"}) {
    int k = s.findExchange(name);
    ASSERT_GE(k, 0);
    EXPECT_EQ(s.exchanges[static_cast<std::size_t>(k)].request,
              s.exchanges[static_cast<std::size_t>(k)].reply);
  }
}

struct BadFile {
  const char* text;
  const char* where;    // expected "FILE:LINE:" prefix
  const char* message;  // expected part of the message
};

class ScenarioParserErrors : public ::testing::TestWithParam<BadFile> {};

TEST_P(ScenarioParserErrors, NameTheFileAndLine) {
  EcuScenario s;
  s.baud = 1234;
  std::string error;
  ASSERT_FALSE(parseScenario(GetParam().text, "bad.scenario", s, error));
  EXPECT_EQ(error.rfind(GetParam().where, 0), 0u) << error;
  EXPECT_NE(error.find(GetParam().message), std::string::npos) << error;
  EXPECT_EQ(s.baud, 1234u);  // left untouched
}

INSTANTIATE_TEST_SUITE_P(
    BadFiles, ScenarioParserErrors,
    ::testing::Values(
        BadFile{"baud fast\n", "bad.scenario:1:", "not a number"},
        BadFile{"baud 0\n", "bad.scenario:1:", "greater than 0"},
        BadFile{"\n\necho maybe\n", "bad.scenario:3:", "'on' or 'off'"},
        BadFile{"colour red\n", "bad.scenario:1:", "unknown setting"},
        BadFile{"exchange a\n  reply 01\n", "bad.scenario:1:", "no request"},
        BadFile{"exchange a\n  request 0G\n", "bad.scenario:2:", "not a hexadecimal"},
        BadFile{"exchange a\n  request 123\n", "bad.scenario:2:", "odd number"},
        BadFile{"exchange a\n  request 01\n  reply 01\n  checksum\n  reply 02\n",
                "bad.scenario:5:", "cannot follow"},
        BadFile{"exchange a\n request 01\n reply 01 02\n field 1 2 ramp 0 10 100\n",
                "bad.scenario:4:", "outside the reply"},
        BadFile{"exchange a\n request 01\n reply 01\n field 0 1 ramp 0 300 100\n",
                "bad.scenario:4:", "<= 255"},
        BadFile{"exchange a\n request 01\n reply 01\n field 0 1 wobble 0 3 100\n",
                "bad.scenario:4:", "unknown field shape"},
        BadFile{"exchange a\n request 01\n reply 01\n field 0 5 ramp 0 3 100\n",
                "bad.scenario:4:", "larger than 4"},
        BadFile{"exchange a\n request 01\n reply 01\n field 0 1 ramp 0 3 0\n", "bad.scenario:4:", "period"},
        BadFile{"exchange a\n request 01\n reply 01\n flag 3 0x01 100\n", "bad.scenario:4:", "outside"},
        BadFile{"exchange a\n request 01\n reply 01\n flag 0 0x01 100 duty 2\n",
                "bad.scenario:4:", "between 0 and 1"},
        BadFile{"exchange a\n request 01\n fill 70000 00\n", "bad.scenario:3:", "larger than"},
        BadFile{"exchange a\n request 01\nexchange a\n request 02\n", "bad.scenario:3:", "defined twice"},
        BadFile{"exchange a\n request 01\nexchange b\n request 01\n", "bad.scenario:4:", "same request"},
        BadFile{"exchange a\n request 01\n baud 9600\n", "bad.scenario:3:", "unknown exchange statement"},
        BadFile{"script\n send-reply nobody\n", "bad.scenario:2:", "no exchange named 'nobody'"},
        BadFile{"script\n repeat 100 0 AA\n", "bad.scenario:2:", "interval"},
        BadFile{"script\n silence 5\n packet160-reply ghost\n",
                "bad.scenario:3:", "no exchange named 'ghost'"},
        BadFile{"script\n fault explode 1\n", "bad.scenario:2:", "unknown fault"},
        BadFile{"script\n fault short 1\n", "bad.scenario:2:", "usage: fault short"},
        BadFile{"script\n silence -5\n", "bad.scenario:2:", "not a number"},
        BadFile{"script\n silence 99999999999\n", "bad.scenario:2:", "larger than"},
        BadFile{"script\n send 01\nscript\n", "bad.scenario:3:", "only one script"},
        BadFile{"loop on\nscript\n send 01\n", "bad.scenario:1:", "needs a silence or repeat"}));

TEST(ScenarioParser, RejectsNulBytes) {
  using namespace std::string_view_literals;
  EcuScenario s;
  std::string error;
  EXPECT_FALSE(parseScenario("exchange a\n request 01\n reply 01 \0 02\n"sv, "nul.scenario", s, error));
  EXPECT_EQ(error, "nul.scenario:3: the line holds a NUL byte");
}

// Damaged files never crash the parser, always name a line when refused,
// and whatever is accepted can be played.
TEST(ScenarioParser, SurvivesDamagedFiles) {
  std::mt19937 random(2024);
  const std::string alphabet = "0123456789abcdefxXF .-#\n\tqz";
  std::string demo;
  {
    std::ifstream in(VARNAK_SOURCE_DIR "/examples/demo-ecu.scenario");
    demo.assign(std::istreambuf_iterator<char>(in), {});
  }
  int accepted = 0;
  for (int round = 0; round < 1500; ++round) {
    std::string text = round % 2 ? std::string(kFull) : demo;
    int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits && !text.empty(); ++e) {
      std::size_t at = random() % text.size();
      switch (random() % 3) {
        case 0:
          text.erase(at, 1 + random() % 3);
          break;
        case 1:
          text.insert(at, 1, alphabet[random() % alphabet.size()]);
          break;
        default:
          text[at] = alphabet[random() % alphabet.size()];
          break;
      }
    }
    EcuScenario s;
    std::string error;
    if (!parseScenario(text, "m.scenario", s, error)) {
      ASSERT_EQ(error.rfind("m.scenario:", 0), 0u) << error;
      int line = std::atoi(error.c_str() + 11);
      EXPECT_GE(line, 1) << error;
      EXPECT_LE(line, static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1) << error;
      continue;
    }
    ++accepted;
    ASSERT_EQ(s.validate(), "") << text;
    SimulatorCore::TimePoint t0{};
    SimulatorCore core(s, t0);
    for (int ms = 0; ms < 400; ms += 7) {
      auto now = t0 + std::chrono::milliseconds(ms);
      std::uint8_t noise[3] = {0xF4, static_cast<std::uint8_t>(random()),
                               static_cast<std::uint8_t>(random())};
      core.receive(noise, 3, now);
      for (const Exchange& ex : s.exchanges) core.receive(ex.request.data(), ex.request.size(), now);
      EcuBytes out = core.takeDue(now);
      ASSERT_LE(out.size(), 1u << 20);
    }
  }
  EXPECT_GT(accepted, 100);
}

TEST(ScenarioParser, FileErrors) {
  EcuScenario s;
  std::string error;
  EXPECT_FALSE(loadScenarioFile("/nonexistent/demo.scenario", s, error));
  EXPECT_EQ(error, "/nonexistent/demo.scenario:0: cannot open the file");

  std::string big = std::string(VARNAK_BINARY_DIR) + "/ecu-sim-big.scenario";
  {
    std::ofstream out(big);
    std::string comment(1023, '#');
    for (int i = 0; i < 1100; ++i) out << comment << '\n';
  }
  EXPECT_FALSE(loadScenarioFile(big, s, error));
  EXPECT_NE(error.find("larger than 1 MiB"), std::string::npos) << error;
  std::remove(big.c_str());
}

}  // namespace
