#include "acquisition/QvDebugOutput.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "acquisition/TextSink.h"
#include "definition/NumberText.h"

void QvDebugOutput::SetSink(ITextSink* sink) {
  std::lock_guard lock(mutex_);
  sink_ = sink;
  active_.store(sink != nullptr, std::memory_order_release);
}

ITextSink* QvDebugOutput::Sink() const {
  std::lock_guard lock(mutex_);
  return sink_;
}

void QvDebugOutput::Log(const char* format, ...) {
  if (format == nullptr) return;
  char buffer[kMaxLineLength + 1];
  va_list args;
  va_start(args, format);
  // Log lines read the same in every locale: "1.250: Command/Reply Success".
  int written = FormatCLocaleV(buffer, sizeof buffer, format, args);
  va_end(args);
  if (written < 0) return;  // an encoding error leaves nothing worth showing
  std::size_t length = std::min<std::size_t>(static_cast<std::size_t>(written), kMaxLineLength);
  std::lock_guard lock(mutex_);
  if (sink_ != nullptr) sink_->AppendLine(std::string_view(buffer, length));
}

void QvDebugOutput::LogText(std::string_view text) {
  std::lock_guard lock(mutex_);
  if (sink_ != nullptr) sink_->AppendLine(text.substr(0, kMaxLineLength));
}

void QvDebugOutput::Clear() {
  std::lock_guard lock(mutex_);
  if (sink_ != nullptr) sink_->Clear();
}

void QvDebugOutput::FormatHexLine(char* out, std::size_t outSize, std::size_t offset,
                                  const std::uint8_t* data, std::size_t count) {
  static const char kDigits[] = "0123456789ABCDEF";
  count = std::min<std::size_t>(count, 16);
  // "%04X: " + 16 * "XX " + 16 characters + NUL needs at most 8 + 48 + 16 + 1.
  char text[96];
  std::size_t pos = static_cast<std::size_t>(
      std::snprintf(text, sizeof text, "%04X: ", static_cast<unsigned>(offset & 0xFFFFFFFFu)));
  pos = std::min(pos, sizeof text - 1);
  for (std::size_t i = 0; i < 16 && pos + 3 < sizeof text; ++i) {
    if (i < count) {
      text[pos++] = kDigits[data[i] >> 4];
      text[pos++] = kDigits[data[i] & 0x0F];
    } else {
      text[pos++] = ' ';
      text[pos++] = ' ';
    }
    text[pos++] = ' ';
  }
  for (std::size_t i = 0; i < count && pos + 1 < sizeof text; ++i) {
    std::uint8_t c = data[i];
    text[pos++] = (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '.';
  }
  text[pos] = '\0';
  if (outSize == 0) return;
  std::size_t n = std::min(pos, outSize - 1);
  std::copy(text, text + n, out);
  out[n] = '\0';
}

void QvDebugOutput::HexDump(const char* label, QvDebugOutput* log, const std::uint8_t* data,
                            std::size_t count) {
  if (log == nullptr || data == nullptr || count == 0) return;
  // One lock for the whole dump keeps its lines together.
  std::lock_guard lock(log->mutex_);
  if (log->sink_ == nullptr) return;
  if (label != nullptr) log->sink_->AppendLine(std::string_view(label).substr(0, kMaxLineLength));
  char line[96];
  for (std::size_t offset = 0; offset < count; offset += 16) {
    FormatHexLine(line, sizeof line, offset, data + offset, count - offset);
    log->sink_->AppendLine(line);
  }
}
