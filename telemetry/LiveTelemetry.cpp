#include "telemetry/LiveTelemetry.h"

#include <unistd.h>

#include "session/Session.h"

std::string DefaultTelemetryName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0' || !IsTelemetryName(name)) return "varnak";
  return name;
}

bool IsTelemetryName(const std::string& name) {
  if (name.empty() || name.size() > 128) return false;
  for (const char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '/' || c == '+' || c == '#' || u < 0x20 || u == 0x7F) return false;
  }
  return true;
}

LiveTelemetry::LiveTelemetry(Session& session, const MqttAddress& broker, const std::string& name,
                             std::function<void(const std::string&)> note)
    : session_(session), note_(std::move(note)) {
  MqttPublisherOptions options;
  options.broker = broker;
  options.topicRoot = "varnak/" + name;
  options.note = note_;
  publisher_ = std::make_unique<MqttPublisher>(std::move(options));
  sink_ = std::make_unique<TelemetrySink>(session_.Definition(), *publisher_);
  sink_->SetLiveCheck([&session] { return session.IsScanning(); });
  publisher_->Start();
  session_.AttachSink(sink_.get());
}

LiveTelemetry::~LiveTelemetry() {
  session_.DetachSink(sink_.get());
  publisher_->Stop();
  if (note_) {
    note_("telemetry: " + std::to_string(publisher_->Published()) + " messages published, " +
          std::to_string(publisher_->Dropped()) + " dropped");
  }
}

std::string LiveTelemetry::StatusText() const {
  return std::string("telemetry ") + (publisher_->Connected() ? "connected" : "offline") + ", " +
         std::to_string(publisher_->Dropped()) + " dropped";
}
