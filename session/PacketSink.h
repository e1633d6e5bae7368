// What a consumer of decoded packets sees: the panes' feed, the CSV writer,
// the live terminal table, the analysis view and the telemetry publisher all
// attach to a Session through this one interface, so a new consumer is one
// class and needs no change to the engine or the callbacks.
//
// Thread contract: OnPacket is called on the acquisition thread (live
// packets), the playback thread (a log that plays) or the thread running a
// full-speed pass, one call at a time per session, after the definition's raw
// values have taken the packet. The event's bytes are valid only during the
// call; a sink copies what it keeps. A sink must not attach or detach sinks
// from OnPacket, nor call Session operations that wait for the workers.
#pragma once

#include <cstddef>
#include <cstdint>

struct PacketEvent {
  // Which panes the update is for (kPane* bits of acquisition/control/
  // AcquisitionDisplay.h); a good packet names all of them, a trigger only
  // its own.
  std::uint32_t panes = 0;
  // Seconds since the connection or the log started.
  double timeSeconds = 0.0;
  // The packet (the command's packetsize bytes from its packetoffset); null
  // for a trigger that carries none.
  const std::uint8_t* packet = nullptr;
  std::size_t length = 0;
  // The idhash of the command that produced the packet.
  std::uint32_t commandIdHash = 0;

  // A good packet for every pane (what a CSV row or a telemetry message is
  // made of), as opposed to a trigger's partial update.
  bool IsFullPacket() const;
};

class IPacketSink {
 public:
  virtual ~IPacketSink() = default;
  virtual void OnPacket(const PacketEvent& event) = 0;
};
