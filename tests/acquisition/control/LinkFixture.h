// A simulated ECU on a pseudo-terminal and a definition written for it, with
// the acquisition control, logger control and fakes wired as the program
// wires them.
#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "acquisition/CollectingTextSink.h"
#include "acquisition/DataAcqEngine.h"
#include "acquisition/control/AcquisitionControl.h"
#include "acquisition/control/LoggerControl.h"
#include "datalog/DataLogFile.h"
#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXFile.h"
#include "definition/ADXValue.h"
#include "tests/acquisition/control/SessionFakes.h"
#include "tests/support/FileSizeCap.h"
#include "tools/ecu-sim/EcuSimulator.h"

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

inline const Bytes kConnectRequest = {0xF4, 0x56, 0x08, 0xAE};
inline const Bytes kDisconnectRequest = {0xF4, 0x56, 0x09, 0xAD};
inline const Bytes kDataRequest = {0xF4, 0x57, 0x01, 0x00, 0xB4};
// Header F4 92 01, six data bytes, checksum: ten bytes.
inline constexpr int kDataReplySize = 10;

// The ECU: echo on the single wire, a data reply whose bytes move.
inline EcuScenario MakeScenario() {
  EcuScenario s;
  s.echo = true;
  s.seed = 7;
  s.pace = true;  // bytes at the link's own speed, as a real ECU sends them
  s.addExchange("connect", kConnectRequest, kConnectRequest);
  s.addExchange("disconnect", kDisconnectRequest, kDisconnectRequest);
  Exchange& data = s.addExchange("data", kDataRequest, {0xF4, 0x92, 0x01, 0, 0, 0, 0, 0, 0}, true);
  DynamicField rpm;
  rpm.offset = 3;
  rpm.shape = FieldShape::Ramp;
  rpm.minimum = 10;
  rpm.maximum = 250;
  rpm.periodMs = 700;
  DynamicField tps;
  tps.offset = 4;
  tps.shape = FieldShape::RandomWalk;
  tps.minimum = 0;
  tps.maximum = 255;
  tps.periodMs = 300;
  DynamicField wide;
  wide.offset = 6;
  wide.size = 2;
  wide.shape = FieldShape::Triangle;
  wide.minimum = 100;
  wide.maximum = 60000;
  wide.periodMs = 900;
  data.fields = {rpm, tps, wide};
  FlagBits fan;
  fan.offset = 5;
  fan.mask = 0x10;
  fan.periodMs = 200;
  data.flags = {fan};
  return s;
}

inline ADXCSendCommand* AddSend(ADXDefinition& def, const char* id, const Bytes& bytes, int replySize,
                                std::uint32_t flags, int timeout = 300) {
  auto c = std::make_unique<ADXCSendCommand>();
  c->SetId(id);
  c->SetByteString(bytes.data(), bytes.size());
  c->replysize = replySize;
  c->replytimeout = timeout;
  c->flags = flags;
  c->packetoffset = 0;
  c->packetsize = flags != 0 ? replySize : 0;
  ADXCSendCommand* raw = c.get();
  def.Append(std::move(c));
  return raw;
}

// The definition for the scenario: connect, data (the monitor command) and
// disconnect, with values and a bitmask in the data reply.
inline void MakeDefinition(ADXDefinition& def) {
  def.flags = kHeaderEcho;
  def.baud = 8192;
  // Connect and disconnect read their replies: a command that only writes
  // could have its bytes purged by the next command before the ECU read them.
  def.connectcmd = AddSend(def, "CONNECT", kConnectRequest, 4, kSendReadReply);
  ADXCSendCommand* data = AddSend(def, "DATA", kDataRequest, kDataReplySize, kSendReadReply);
  def.monitorcmd = data;
  def.disconnectcmd = AddSend(def, "DISCONNECT", kDisconnectRequest, 4, kSendReadReply);
  struct V {
    const char* id;
    const char* eq;
    std::uint32_t offset;
    int bits;
    OutputType output;
    const char* units;
  };
  for (const V& v :
       {V{"RPM", "X*25", 3, 8, kOutputInteger, "rpm"}, V{"TPS", "X/2.55", 4, 8, kOutputFloat, "%"},
        V{"INJ", "X*0.001", 6, 16, kOutputFloat, "ms"}}) {
    auto value = std::make_unique<ADXValue>();
    value->SetId(v.id);
    value->SetEquation(v.eq, std::strlen(v.eq));
    value->packetoffset = v.offset;
    value->sizeinbits = v.bits;
    value->outputtype = v.output;
    value->digcount = 3;
    value->parentcmdidhash = data->idhash;
    value->SetUnits(v.units, std::strlen(v.units));
    def.Append(std::move(value));
  }
  auto fan = std::make_unique<ADXBitmask>();
  fan->SetId("FAN");
  fan->packetoffset = 5;
  fan->operand = 0x10;
  fan->result = 0x10;
  fan->parentcmdidhash = data->idhash;
  fan->SetTrueString("ON", 2);
  fan->SetFalseString("OFF", 3);
  def.Append(std::move(fan));
}

// A fresh folder under the system's temporary folder, removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "varnak-session-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) != nullptr) path_ = buffer.data();
  }
  ~TempFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

class LinkTest : public ::testing::Test {
 protected:
  LinkTest() : log(&sink), display(&log) { MakeDefinition(def); }
  ~LinkTest() override {
    logger.reset();
    control.reset();
  }

  void StartSimulator(EcuScenario scenario = MakeScenario()) {
    ASSERT_EQ(scenario.validate(), "");
    sim = std::make_unique<EcuSimulator>(std::move(scenario));
    std::string error;
    ASSERT_TRUE(sim->start(&error)) << error;
  }
  void MakeControl(const std::string& port) {
    control = std::make_unique<AcquisitionControl>(def, engine, datalog, log, display, messages);
    logger = std::make_unique<LoggerControl>(*control, view, temp.Path());
    control->SetPortName(port);
  }
  // Stops the connection the way Scan does and waits for the control thread.
  void StopAndWait() {
    const std::size_t before = messages.Count("AcquisitionEnded");
    control->ToggleConnection();
    ASSERT_TRUE(messages.WaitFor("AcquisitionEnded", before + 1, 5s));
    control->JoinWorkers();
  }
  bool WaitForDone(std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (control->IsRunning() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(5ms);
    return !control->IsRunning();
  }
  bool LogHas(const std::string& text) {
    for (const auto& line : sink.Lines())
      if (line.find(text) != std::string::npos) return true;
    return false;
  }

  ADXDefinition def;
  DataAcqEngine engine;
  DataLogFile datalog;
  CollectingTextSink sink;
  QvDebugOutput log;
  FakeDisplay display;
  FakeMessages messages;
  FakeLoggerView view;
  TempFolder temp;
  std::unique_ptr<EcuSimulator> sim;
  std::unique_ptr<AcquisitionControl> control;
  std::unique_ptr<LoggerControl> logger;
};
