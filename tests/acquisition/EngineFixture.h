// Shared set-up for engine tests: an engine opened on a pseudo-terminal whose
// far end the test plays, and helpers that build commands.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "acquisition/DataAcqEngine.h"
#include "definition/ADXCommands.h"
#include "tests/acquisition/PtyPeer.h"
#include "tests/acquisition/RecordingCallback.h"

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

inline double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    engine.SetCallback(&callback);
    ASSERT_NE(engine.Open(peer.Path().c_str(), 8192), 0);
  }

  ADXCSendCommand* Send(const std::string& id, Bytes bytes, int replySize,
                        std::uint32_t flags = kSendReadReply, int replyTimeout = 500) {
    auto cmd = std::make_unique<ADXCSendCommand>();
    cmd->SetId(id.c_str());
    cmd->SetByteString(bytes.data(), bytes.size());
    cmd->replysize = replySize;
    cmd->replytimeout = replyTimeout;
    cmd->flags = flags;
    return Keep(std::move(cmd));
  }
  ADXCListenSilence* Silence(int length, int total) {
    auto cmd = std::make_unique<ADXCListenSilence>();
    cmd->SetId("quiet");
    cmd->silencelen = length;
    cmd->totaltimeout = total;
    return Keep(std::move(cmd));
  }
  ADXCListenChatter* Chatter(Bytes bytes, int timeout) {
    auto cmd = std::make_unique<ADXCListenChatter>();
    cmd->SetId("chatter");
    cmd->SetByteString(bytes.data(), bytes.size());
    cmd->listentimeout = timeout;
    return Keep(std::move(cmd));
  }
  ADXC160BaudListen* Slow(int size) {
    auto cmd = std::make_unique<ADXC160BaudListen>();
    cmd->SetId("slow");
    cmd->packetsize = size;
    return Keep(std::move(cmd));
  }
  ADXCTrigger* Trigger(const std::string& id) {
    auto cmd = std::make_unique<ADXCTrigger>();
    cmd->SetId(id.c_str());
    return Keep(std::move(cmd));
  }
  ADXMacro* Macro(const std::string& id, int repeat = 1) {
    auto cmd = std::make_unique<ADXMacro>();
    cmd->SetId(id.c_str());
    cmd->repeatcount = repeat;
    return Keep(std::move(cmd));
  }
  static void AddStep(ADXMacro* macro, ADXObject* command, int repeat = 1, std::uint32_t flags = 0) {
    MacroNode node;
    node.SetCommand(command);
    node.repeatcount = repeat;
    node.flags = flags;
    macro->AppendNode(node);
  }

  template <typename T>
  T* Keep(std::unique_ptr<T> object) {
    T* raw = object.get();
    objects.push_back(std::move(object));
    return raw;
  }

  PtyPeer peer;
  RecordingCallback callback;
  DataAcqEngine engine;
  std::vector<std::unique_ptr<ADXObject>> objects;
};
