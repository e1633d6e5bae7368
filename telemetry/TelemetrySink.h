// Turns every good packet into one JSON object and hands it to an
// MqttPublisher: {"time":SECONDS,"ID":VALUE,...} with one member per value
// and bitmask of the definition, in definition order. Values are the
// converted numbers (null for NaN and infinities), bitmasks 1 or 0; numbers
// are written without the locale, in their shortest exact form.
//
// Thread contract: OnPacket runs on the thread that delivers packets (see
// session/PacketSink.h) and only formats and queues; the publisher does the
// network work on its own thread. The definition must not change while the
// sink is attached.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "session/PacketSink.h"

class ADXDefinition;
class ADXObject;
class MqttPublisher;

class TelemetrySink : public IPacketSink {
 public:
  // Both borrowed; they must outlive the sink.
  TelemetrySink(const ADXDefinition& definition, MqttPublisher& publisher);

  // Packets pass only while `live` says so (LiveTelemetry: while the session
  // scans, so that a log played in the window is not sent as live values).
  // Set before the sink is attached; called on the delivering thread.
  void SetLiveCheck(std::function<bool()> live) { live_ = std::move(live); }

  void OnPacket(const PacketEvent& event) override;

  // The message for one packet (what OnPacket publishes).
  std::string Message(double timeSeconds, const std::uint8_t* packet, std::size_t length,
                      std::uint32_t commandIdHash) const;

 private:
  const ADXDefinition& definition_;
  MqttPublisher& publisher_;
  std::vector<ADXObject*> items_;
  std::vector<std::string> keys_;  // "\"ID\":" for each item, escaped once
  std::function<bool()> live_;
};

// Appends a number as JSON: the shortest text that reads back to the same
// double, or null when it is not finite.
void AppendJsonNumber(std::string& out, double value);
// Appends text as a JSON string (quoted and escaped).
void AppendJsonString(std::string& out, const char* text, std::size_t length);
