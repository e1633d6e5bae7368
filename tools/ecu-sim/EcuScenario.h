#pragma once

// The description of one simulated ECU: how fast it talks, whether the
// single-wire link echoes, which requests it answers with which replies, and
// the background script (chatter, silent periods, 160-baud packets, faults)
// that it plays while nobody asks it anything.
//
// Plain data: built by ScenarioParser from a text file, or in code by tests.
// Thread contract: none; an EcuScenario is copied into the simulator before
// its thread starts and never shared afterwards.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Bytes on the line.
using EcuBytes = std::vector<std::uint8_t>;

// How a dynamic field moves between its limits over one period.
enum class FieldShape {
  Constant,    // always the lower limit
  Ramp,        // lower to upper limit, then back to the lower one at once
  Triangle,    // lower to upper and back down again
  Sine,        // sine wave around the middle of the limits
  Step,        // lower limit for the first half of the period, upper for the second
  RandomWalk,  // random steps; crossing the whole range takes about one period
};

// A number written into a reply each time the reply is sent. The raw value is
// unsigned, rounded to the nearest integer and kept within the limits.
struct DynamicField {
  std::size_t offset = 0;  // byte offset within the reply (the header counts)
  std::size_t size = 1;    // 1 to 4 bytes
  bool bigEndian = true;   // ALDL sends the high byte first
  FieldShape shape = FieldShape::Constant;
  double minimum = 0.0;  // raw limits, 0 <= minimum <= maximum <= largest value of `size` bytes
  double maximum = 0.0;
  double periodMs = 1000.0;  // > 0
  double phase = 0.0;        // fraction of a period added to the time, 0 to 1
};

// Bits of one reply byte that are set for part of every period and clear for
// the rest (engine running, closed loop, A/C request, ...).
struct FlagBits {
  std::size_t offset = 0;
  std::uint8_t mask = 0;
  double periodMs = 1000.0;  // > 0
  double duty = 0.5;         // fraction of the period during which the bits are set, 0 to 1
  double phase = 0.0;        // fraction of a period added to the time, 0 to 1
};

// What an exchange does to the background script after it has answered.
enum class ChatterControl { Keep, Stop, Start };

// One request the ECU recognises and the reply it sends back.
struct Exchange {
  std::string name;
  EcuBytes request;             // matched against the most recent bytes received
  EcuBytes reply;               // template; fields and flags are written over it
  bool appendChecksum = false;  // add one byte so that the reply sums to 0 modulo 256
  unsigned delayMs = 0;         // time between the end of the request and the first reply byte
  std::vector<DynamicField> fields;
  std::vector<FlagBits> flags;
  ChatterControl chatter = ChatterControl::Keep;

  // Length of the reply as sent (template plus checksum byte).
  std::size_t replyLength() const { return reply.size() + (appendChecksum ? 1 : 0); }
};

// A fault the simulator can be told to produce, from the script or from code.
enum class FaultKind {
  DropReplies,   // `count` next replies are not sent at all (the echo still is)
  ShortReplies,  // `count` next replies are cut to `length` bytes
  BadChecksums,  // `count` next replies carry a checksum byte that is off by one
  Garbage,       // `bytes` are sent at once
  ByteDelay,     // from now on `length` ms pass between two reply or script bytes (0 ends it)
  CloseAfter,    // its side of the line closes after `length` more bytes went out (0: at once)
};

struct FaultSpec {
  FaultKind kind = FaultKind::Garbage;
  int count = 0;
  std::size_t length = 0;
  EcuBytes bytes;
};

// One step of the background script.
enum class ActionKind {
  Send,            // send `bytes` once
  SendReply,       // send the current reply of exchange `exchange` once
  Repeat,          // send `bytes` every `intervalMs` for `durationMs`
  Silence,         // send nothing for `durationMs`
  Packet160,       // send `bytes` as one 160-baud packet
  Packet160Reply,  // send the current reply of exchange `exchange` as one 160-baud packet
  Fault,           // apply `fault`
};

struct ScriptAction {
  ActionKind kind = ActionKind::Send;
  EcuBytes bytes;
  std::size_t exchange = 0;  // index into EcuScenario::exchanges (SendReply, Packet160Reply)
  unsigned durationMs = 0;
  unsigned intervalMs = 0;
  FaultSpec fault;
};

struct EcuScenario {
  unsigned baud = 8192;
  // Single-wire link: every received byte is sent straight back, and bytes
  // that arrive while the ECU is sending collide and are not understood.
  bool echo = false;
  bool pace = false;     // send bytes no faster than the baud rate allows (10 bit times per byte)
  bool chatter = false;  // the script runs from the start (otherwise an exchange starts it)
  bool loop = false;     // the script starts again when it reaches its end
  // Bytes received while the client's port is set to another speed (more
  // than 3 % off) are not understood: still echoed, never taken as requests.
  bool strictBaud = false;
  std::uint32_t seed = 1;  // seed of the random walks
  std::vector<Exchange> exchanges;
  std::vector<ScriptAction> script;

  // Convenience for tests: adds an exchange with a fixed reply and returns it.
  Exchange& addExchange(std::string name, EcuBytes request, EcuBytes reply, bool checksum = false);
  // Index of the exchange with this name, or -1.
  int findExchange(const std::string& name) const;
  // Empty when the scenario can be played; otherwise what is wrong with it
  // (a field outside its reply, an empty request, a script that loops
  // without ever taking time, ...).
  std::string validate() const;
};
