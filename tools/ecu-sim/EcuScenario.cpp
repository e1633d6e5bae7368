#include "tools/ecu-sim/EcuScenario.h"

#include <cmath>
#include <set>

Exchange& EcuScenario::addExchange(std::string name, EcuBytes request, EcuBytes reply, bool checksum) {
  Exchange exchange;
  exchange.name = std::move(name);
  exchange.request = std::move(request);
  exchange.reply = std::move(reply);
  exchange.appendChecksum = checksum;
  exchanges.push_back(std::move(exchange));
  return exchanges.back();
}

int EcuScenario::findExchange(const std::string& name) const {
  for (std::size_t i = 0; i < exchanges.size(); ++i)
    if (exchanges[i].name == name) return static_cast<int>(i);
  return -1;
}

namespace {

bool isFraction(double x) {
  return std::isfinite(x) && x >= 0.0 && x <= 1.0;
}
bool isPeriod(double ms) {
  return std::isfinite(ms) && ms > 0.0;
}

std::string checkField(const DynamicField& field, std::size_t replySize) {
  if (field.size < 1 || field.size > 4) return "a field is 1 to 4 bytes long";
  if (field.offset >= replySize || field.size > replySize - field.offset)
    return "field at offset " + std::to_string(field.offset) + " lies outside the reply";
  const double largest = std::ldexp(1.0, static_cast<int>(8 * field.size)) - 1.0;
  if (!std::isfinite(field.minimum) || !std::isfinite(field.maximum) || field.minimum < 0.0 ||
      field.maximum > largest || field.minimum > field.maximum)
    return "field limits must satisfy 0 <= min <= max <= " + std::to_string(static_cast<long long>(largest));
  if (!isPeriod(field.periodMs)) return "a field's period must be greater than 0";
  if (!isFraction(field.phase)) return "a phase lies between 0 and 1";
  return {};
}

std::string checkFlag(const FlagBits& flag, std::size_t replySize) {
  if (flag.offset >= replySize)
    return "flag at offset " + std::to_string(flag.offset) + " lies outside the reply";
  if (flag.mask == 0) return "a flag needs a non-zero mask";
  if (!isPeriod(flag.periodMs)) return "a flag's period must be greater than 0";
  if (!isFraction(flag.duty) || !isFraction(flag.phase)) return "duty and phase lie between 0 and 1";
  return {};
}

}  // namespace

std::string EcuScenario::validate() const {
  if (baud == 0) return "the baud rate must be greater than 0";
  std::set<std::string> names;
  std::set<EcuBytes> requests;
  for (const Exchange& exchange : exchanges) {
    const std::string who = "exchange '" + exchange.name + "': ";
    if (!exchange.name.empty() && !names.insert(exchange.name).second) return who + "the name is used twice";
    if (exchange.request.empty()) return who + "the request is empty";
    if (!requests.insert(exchange.request).second) return who + "another exchange has the same request";
    for (const DynamicField& field : exchange.fields)
      if (std::string e = checkField(field, exchange.reply.size()); !e.empty()) return who + e;
    for (const FlagBits& flag : exchange.flags)
      if (std::string e = checkFlag(flag, exchange.reply.size()); !e.empty()) return who + e;
  }
  bool takesTime = false;
  for (const ScriptAction& action : script) {
    switch (action.kind) {
      case ActionKind::SendReply:
      case ActionKind::Packet160Reply:
        if (action.exchange >= exchanges.size()) return "script: no such exchange";
        break;
      case ActionKind::Repeat:
        if (action.intervalMs == 0) return "script: a repeat needs an interval greater than 0";
        takesTime = takesTime || action.durationMs > 0;
        break;
      case ActionKind::Silence:
        takesTime = takesTime || action.durationMs > 0;
        break;
      case ActionKind::Packet160:
        if (action.bytes.empty()) return "script: a 160-baud packet needs at least one byte";
        break;
      case ActionKind::Fault:
        if (action.fault.count < 0) return "script: a fault count cannot be negative";
        break;
      case ActionKind::Send:
        break;
    }
  }
  // A looping script that never waits would flood the line as fast as the
  // machine can write.
  if (loop && !script.empty() && !takesTime)
    return "a looping script needs a silence or repeat that takes time";
  return {};
}
