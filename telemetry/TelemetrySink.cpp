#include "telemetry/TelemetrySink.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "definition/ADXBitmask.h"
#include "definition/ADXDecodeFlags.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXValue.h"
#include "telemetry/MqttPublisher.h"

namespace {

// An item belongs to every command (no parent) or to its parent command: it is
// read from that command's packets and keeps its latest reading otherwise.
bool Belongs(std::uint32_t parent, std::uint32_t command) {
  return parent == 0 || parent == command;
}

}  // namespace

void AppendJsonNumber(std::string& out, double value) {
  if (!std::isfinite(value)) {
    out += "null";
    return;
  }
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  out.append(text, result.ptr);
}

void AppendJsonString(std::string& out, const char* text, std::size_t length) {
  static constexpr char kHex[] = "0123456789abcdef";
  out.push_back('"');
  for (std::size_t i = 0; i < length; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(static_cast<char>(c));
    } else if (c < 0x20) {
      out += "\\u00";
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  out.push_back('"');
}

TelemetrySink::TelemetrySink(const ADXDefinition& definition, MqttPublisher& publisher)
    : definition_(definition), publisher_(publisher) {
  for (std::size_t i = 0; i < definition.ObjectCount(); ++i) {
    ADXObject* object = definition.ObjectAt(i);
    if (object == nullptr || (object->objectType != ADX_TYPE_VALUE && object->objectType != ADX_TYPE_BITMASK))
      continue;
    items_.push_back(object);
    std::string key;
    AppendJsonString(key, object->id, std::strlen(object->id));
    key.push_back(':');
    keys_.push_back(std::move(key));
  }
}

std::string TelemetrySink::Message(double timeSeconds, const std::uint8_t* packet, std::size_t length,
                                   std::uint32_t commandIdHash) const {
  std::string out;
  out.reserve(16 + items_.size() * 24);
  out += "{\"time\":";
  AppendJsonNumber(out, timeSeconds);
  for (std::size_t i = 0; i < items_.size(); ++i) {
    out.push_back(',');
    out += keys_[i];
    ADXObject* item = items_[i];
    if (item->objectType == ADX_TYPE_VALUE) {
      auto* value = static_cast<ADXValue*>(item);
      const bool own = Belongs(value->parentcmdidhash, commandIdHash);
      AppendJsonNumber(
          out, value->Convert(&definition_, own ? packet : nullptr, own ? length : 0, 0, kDecodeNoLookup));
    } else {
      auto* bitmask = static_cast<ADXBitmask*>(item);
      const bool own = Belongs(bitmask->parentcmdidhash, commandIdHash);
      out.push_back(bitmask->TestBits(own ? packet : nullptr, own ? length : 0, 0, 0) != 0 ? '1' : '0');
    }
  }
  out.push_back('}');
  return out;
}

void TelemetrySink::OnPacket(const PacketEvent& event) {
  if (!event.IsFullPacket() || (live_ && !live_())) return;
  // Without a broker the message is not even made: the scan pays nothing.
  if (!publisher_.Connected()) {
    publisher_.CountDropped();
    return;
  }
  publisher_.Publish(Message(event.timeSeconds, event.packet, event.length, event.commandIdHash));
}
