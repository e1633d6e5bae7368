#pragma once
// The command objects run by the command engine: send a byte string and read
// the reply, listen for silence, listen for chatter, receive a 160-baud
// packet, trigger display updates, and macros of other commands.
//
// Thread contract: configured on one thread while no acquisition runs; the
// acquisition thread then only reads them.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "definition/ADXObject.h"

// Send command flag: the reply is read and processed.
constexpr std::uint32_t kSendReadReply = 0x1;
// Send command flag: the reply (the bytes after any echo) carries a checksum;
// its bytes, the checksum included, must add up to 0 modulo 256. A reply that
// does not is a data error: not decoded, not recorded.
constexpr std::uint32_t kSendVerifyChecksum = 0x100;
// Largest reply of a send command and largest 160-baud packet, in bytes. A
// command whose size is beyond it fails instead of asking for that memory.
constexpr std::int32_t kMaxPacketBytes = 65535;

// True when the reply's bytes add up to 0 modulo 256.
bool ReplyChecksumIsValid(const std::uint8_t* reply, std::size_t count);
// Macro node flags: stop the macro when the node's command fails / succeeds.
constexpr std::uint32_t kNodeBreakOnFailure = 0x1;
constexpr std::uint32_t kNodeBreakOnSuccess = 0x2;
// Trigger kinds (triggertype mask).
constexpr std::uint32_t kTriggerAll = 0xFFFFFFFFu;
constexpr std::uint32_t kTriggerHistograms = 0x2;
constexpr std::uint32_t kTriggerListViews = 0x4;
constexpr std::uint32_t kTriggerMonitors = 0x8;
constexpr std::uint32_t kTriggerDashboards = 0x10;

// An owned byte string: the bytes a send command writes or a chatter command
// waits for.
class ADXByteString {
 public:
  // Replaces the bytes with count bytes of data; null or 0 leaves none.
  void SetByteString(const std::uint8_t* data, std::size_t count);
  // Copies min(size, count) bytes into buffer; returns the full count.
  int GetByteString(std::uint8_t* buffer, std::size_t size) const;
  int ByteStringSize() const { return static_cast<int>(bytes.size()); }

  std::vector<std::uint8_t> bytes;
};

class ADXCSendCommand : public ADXObject, public ADXByteString {
 public:
  ADXCSendCommand();
  // Writes the object as its ADX element; 0 for no writer or a failed write.
  int WriteXml(XmlWriter* writer) const override;
  void ReadXmlStart(const AdxXmlIn& in) override;
  void ReadXmlChild(AdxXmlIn& in) override;

  std::int32_t replysize = 0;
  std::int32_t replytimeout = 200;  // milliseconds
  std::int32_t packetoffset = 0;
  std::int32_t packetsize = 0;
  std::uint32_t flags = 0;
};

class ADXCListenSilence : public ADXObject {
 public:
  ADXCListenSilence();
  // Writes the object as its ADX element; 0 for no writer or a failed write.
  int WriteXml(XmlWriter* writer) const override;
  void ReadXmlChild(AdxXmlIn& in) override;

  std::int32_t silencelen = 0;      // milliseconds
  std::int32_t totaltimeout = 400;  // milliseconds
};

class ADXCListenChatter : public ADXObject, public ADXByteString {
 public:
  ADXCListenChatter();
  // Writes the object as its ADX element; 0 for no writer or a failed write.
  int WriteXml(XmlWriter* writer) const override;
  void ReadXmlStart(const AdxXmlIn& in) override;
  void ReadXmlChild(AdxXmlIn& in) override;

  std::int32_t listentimeout = 400;  // milliseconds
  std::uint32_t flags = 0;
};

class ADXC160BaudListen : public ADXObject {
 public:
  ADXC160BaudListen();
  // Writes the object as its ADX element; 0 for no writer or a failed write.
  int WriteXml(XmlWriter* writer) const override;
  void ReadXmlStart(const AdxXmlIn& in) override;
  void ReadXmlChild(AdxXmlIn& in) override;

  std::uint32_t flags = 0;
  std::int32_t packetsize = 0;
};

class ADXCTrigger : public ADXObject {
 public:
  ADXCTrigger();
  // Writes the object as its ADX element; 0 for no writer or a failed write.
  int WriteXml(XmlWriter* writer) const override;
  void ReadXmlStart(const AdxXmlIn& in) override;
  void ReadXmlChild(AdxXmlIn& in) override;

  std::uint32_t triggertype = kTriggerAll;
  std::uint32_t flags = 0;
};

struct MacroNode {
  MacroNode() = default;
  // Sets the command and copies the first 14 characters of its ID (none empties both).
  void SetCommand(ADXObject* cmd);
  // Copies at most 14 characters of text into commandID.
  void SetCommandId(const char* text);

  ADXObject* command = nullptr;  // not owned
  char commandID[kAdxIdSize] = {};
  std::uint32_t flags = 0;
  std::int32_t repeatcount = 1;
};

class ADXMacro : public ADXObject {
 public:
  ADXMacro();
  // Writes the object as its ADX element; 0 for no writer or a failed write.
  int WriteXml(XmlWriter* writer) const override;
  void ReadXmlStart(const AdxXmlIn& in) override;
  void ReadXmlChild(AdxXmlIn& in) override;

  void AppendNode(const MacroNode& node);
  // Copies node index out; returns 0 (and leaves node alone) when out of range.
  int GetNode(int index, MacroNode& node) const;
  int SetNode(int index, const MacroNode& node);
  int RemoveNode(int index);
  int NodeCount() const { return static_cast<int>(nodes.size()); }

  std::uint32_t flags = 0;
  std::int32_t repeatcount = 1;
  std::vector<MacroNode> nodes;
};
