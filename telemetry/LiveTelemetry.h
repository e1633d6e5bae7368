// The telemetry of one session, as the tools and the window switch it on:
// an MqttPublisher for "varnak/NAME" and a TelemetrySink attached to the
// session for as long as this object lives; only the packets of a scan are
// sent, not those of a log that plays. At the end it detaches the sink,
// ends the publisher cleanly ("offline") and tells how many messages were
// dropped.
//
// Thread contract: construct and destroy on the session owner's thread; the
// note callback is called on the publisher thread and, at the end, on the
// owner's thread.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "telemetry/MqttPublisher.h"
#include "telemetry/TelemetrySink.h"

class Session;

// The machine's host name, or "varnak" when it has none.
std::string DefaultTelemetryName();
// True for a name that can stand in a topic (no '/', '+', '#', no controls).
[[nodiscard]] bool IsTelemetryName(const std::string& name);

class LiveTelemetry {
 public:
  // session: borrowed, with its definition loaded; must outlive this object.
  LiveTelemetry(Session& session, const MqttAddress& broker, const std::string& name,
                std::function<void(const std::string&)> note);
  ~LiveTelemetry();
  LiveTelemetry(const LiveTelemetry&) = delete;
  LiveTelemetry& operator=(const LiveTelemetry&) = delete;

  MqttPublisher& Publisher() { return *publisher_; }
  // "telemetry: connected, N dropped" for a status line.
  std::string StatusText() const;

 private:
  Session& session_;
  std::function<void(const std::string&)> note_;
  std::unique_ptr<MqttPublisher> publisher_;
  std::unique_ptr<TelemetrySink> sink_;
};
