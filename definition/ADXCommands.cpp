#include "definition/ADXCommands.h"

#include <cstring>
#include <new>

void ADXByteString::SetByteString(const std::uint8_t* data, std::size_t count) {
  bytes.clear();
  if (data == nullptr || count == 0) return;
  try {
    bytes.assign(data, data + count);
  } catch (const std::bad_alloc&) {
    bytes.clear();
  }
}

int ADXByteString::GetByteString(std::uint8_t* buffer, std::size_t size) const {
  std::size_t n = bytes.size() < size ? bytes.size() : size;
  if (buffer != nullptr && n > 0) std::memcpy(buffer, bytes.data(), n);
  return static_cast<int>(bytes.size());
}

ADXCSendCommand::ADXCSendCommand() {
  objectType = ADX_TYPE_SENDCOMMAND;
}
ADXCListenSilence::ADXCListenSilence() {
  objectType = ADX_TYPE_LISTENSILENCE;
}
ADXCListenChatter::ADXCListenChatter() {
  objectType = ADX_TYPE_LISTENCHATTER;
}
ADXC160BaudListen::ADXC160BaudListen() {
  objectType = ADX_TYPE_160BAUDLISTEN;
}
ADXCTrigger::ADXCTrigger() {
  objectType = ADX_TYPE_TRIGGER;
}
ADXMacro::ADXMacro() {
  objectType = ADX_TYPE_MACRO;
}

void MacroNode::SetCommand(ADXObject* cmd) {
  command = cmd;
  std::memset(commandID, 0, sizeof(commandID));
  if (cmd != nullptr) cmd->GetId(commandID, sizeof(commandID));
}

void MacroNode::SetCommandId(const char* text) {
  std::memset(commandID, 0, sizeof(commandID));
  if (text != nullptr) std::memcpy(commandID, text, strnlen(text, kAdxIdRefLength));
}

void ADXMacro::AppendNode(const MacroNode& node) {
  nodes.push_back(node);
}

int ADXMacro::GetNode(int index, MacroNode& node) const {
  if (index < 0 || index >= NodeCount()) return 0;
  node = nodes[static_cast<std::size_t>(index)];
  return 1;
}

int ADXMacro::SetNode(int index, const MacroNode& node) {
  if (index < 0 || index >= NodeCount()) return 0;
  nodes[static_cast<std::size_t>(index)] = node;
  return 1;
}

int ADXMacro::RemoveNode(int index) {
  if (index < 0 || index >= NodeCount()) return 0;
  nodes.erase(nodes.begin() + index);
  return 1;
}

bool ReplyChecksumIsValid(const std::uint8_t* reply, std::size_t count) {
  std::uint8_t sum = 0;
  for (std::size_t i = 0; i < count; ++i) sum = static_cast<std::uint8_t>(sum + reply[i]);
  return sum == 0;
}
