// A callback for engine tests: records every notification with the status
// record as it was at the call, returns chosen results, and can run a hook
// (for example an abort request) inside a notification.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/DataAcqCallback.h"
#include "tests/support/ResultPrinting.h"

struct CallbackEvent {
  std::string name;
  DaeStatus status = DaeStatus::Ok;
  ADXObject* command = nullptr;
  std::uint32_t commandIdHash = 0;
  bool hasData = false;  // a buffer pointer was passed
  std::uint32_t count = 0;
  std::vector<std::uint8_t> data;  // the first count bytes of the buffer
};

class RecordingCallback : public IDataAcqCallback {
 public:
  std::vector<CallbackEvent> events;
  // Result returned by the named notification (default 0); the key "name@n"
  // applies only to the n-th call (1-based) of that notification.
  std::map<std::string, std::int32_t> results;
  // Runs inside every notification, after it was recorded.
  std::function<void(const CallbackEvent&)> hook;

  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : events) names.push_back(e.name);
    return names;
  }
  const CallbackEvent& Last() const { return events.back(); }

  std::int32_t OnDataWritten(const DAEStatusRecord* r, const std::uint8_t* d, std::uint32_t n) override {
    return Note("DataWritten", r, d, n);
  }
  std::int32_t OnDataRead(const DAEStatusRecord* r, const std::uint8_t* d, std::uint32_t n) override {
    return Note("DataRead", r, d, n);
  }
  std::int32_t OnListenSilenceBegin(const DAEStatusRecord* r) override { return Note("SilenceBegin", r); }
  std::int32_t OnListenSilenceEnd(const DAEStatusRecord* r) override { return Note("SilenceEnd", r); }
  std::int32_t OnListenChatterBegin(const DAEStatusRecord* r) override { return Note("ChatterBegin", r); }
  std::int32_t OnListenChatterEnd(const DAEStatusRecord* r) override { return Note("ChatterEnd", r); }
  std::int32_t OnSendCommandBegin(const DAEStatusRecord* r) override { return Note("SendBegin", r); }
  std::int32_t OnSendCommandEnd(const DAEStatusRecord* r, const std::uint8_t* d, std::uint32_t n) override {
    return Note("SendEnd", r, d, n);
  }
  std::int32_t OnMacroBegin(const DAEStatusRecord* r) override { return Note("MacroBegin", r); }
  std::int32_t OnMacroEnd(const DAEStatusRecord* r) override { return Note("MacroEnd", r); }
  std::int32_t OnListen160BaudBegin(const DAEStatusRecord* r) override { return Note("160Begin", r); }
  std::int32_t OnListen160BaudEnd(const DAEStatusRecord* r, const std::uint8_t* d, std::uint32_t n) override {
    return Note("160End", r, d, n);
  }
  std::int32_t OnTrigger(const DAEStatusRecord* r) override { return Note("Trigger", r); }

 private:
  std::int32_t Note(const std::string& name, const DAEStatusRecord* r, const std::uint8_t* d = nullptr,
                    std::uint32_t n = 0) {
    CallbackEvent e;
    e.name = name;
    e.status = r->Status();
    e.command = r->command;
    e.commandIdHash = r->commandIdHash;
    e.hasData = d != nullptr;
    e.count = n;
    if (d != nullptr) e.data.assign(d, d + n);
    events.push_back(e);
    int call = ++calls_[name];
    if (hook) hook(e);
    auto it = results.find(name + "@" + std::to_string(call));
    if (it != results.end()) return it->second;
    it = results.find(name);
    return it != results.end() ? it->second : 0;
  }

  std::map<std::string, int> calls_;
};
