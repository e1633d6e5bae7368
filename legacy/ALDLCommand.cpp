#include "legacy/ALDLCommand.h"

#include "legacy/AdsFieldText.h"

namespace {

bool IsBlankToken(std::string_view token) {
  for (char c : token) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
  }
  return true;
}

}  // namespace

ALDLCommand::ByteListResult ALDLCommand::ReadByteList(std::string_view text) {
  ByteListResult result;
  while (!text.empty()) {
    std::size_t comma = text.find(',');
    std::string_view token = text.substr(0, comma);
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    if (IsBlankToken(token)) continue;
    if (result.bytesRead == kMaxCommandBytes) {
      ++result.bytesIgnored;
      continue;
    }
    if (token.size() > kMaxByteTokenLength) {
      token = token.substr(0, kMaxByteTokenLength);
      ++result.tokensCut;
    }
    commandBytes[result.bytesRead++] = static_cast<uint8_t>(ParseHexText(token) & 0xFFu);
  }
  return result;
}

uint8_t ALDLCommand::ComputeChecksum() const {
  if (!TotalIsValid()) return 0;
  unsigned sum = 0;
  for (int32_t i = 0; i < totalBytes - 1; ++i) sum += commandBytes[static_cast<std::size_t>(i)];
  return static_cast<uint8_t>((0x100u - (sum & 0xFFu)) & 0xFFu);
}

bool ALDLCommand::ApplyChecksum() {
  if (checksum == 0) return true;
  if (!TotalIsValid()) return false;
  commandBytes[static_cast<std::size_t>(totalBytes - 1)] = ComputeChecksum();
  return true;
}

std::vector<uint8_t> ALDLCommand::BytesToSend() const {
  if (!TotalIsValid()) return {};
  std::vector<uint8_t> bytes(commandBytes.begin(), commandBytes.begin() + totalBytes);
  if (checksum != 0) bytes.back() = ComputeChecksum();
  return bytes;
}
