// The program's log: printf-style lines and hex dumps appended to a text sink.
//
// The main window binds the log to its Output tab through a sink; the serial
// port can write its traffic to a log of its own. A log without a sink is
// inactive and silently drops every line.
//
// Thread contract: Log, HexDump, Clear and SetSink may be called from any
// thread at the same time (user interface, acquisition, playback). Each call
// formats into a buffer of its own and hands the finished line to the sink under
// the log's mutex, so lines from different threads never mix within a line, and
// the lines of one hex dump stay together.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string_view>

class ITextSink;

class QvDebugOutput {
 public:
  // Longest line that survives formatting; longer output is cut.
  static constexpr std::size_t kMaxLineLength = 4095;

  QvDebugOutput() = default;
  explicit QvDebugOutput(ITextSink* sink) : sink_(sink), active_(sink != nullptr) {}
  QvDebugOutput(const QvDebugOutput&) = delete;
  QvDebugOutput& operator=(const QvDebugOutput&) = delete;

  // Binds the sink (not owned); null makes the log inactive.
  void SetSink(ITextSink* sink);
  ITextSink* Sink() const;
  // Without taking the lock: asked for every packet, before a line is made.
  bool IsActive() const { return active_.load(std::memory_order_acquire); }

  // Appends one printf-style line, cut to kMaxLineLength characters. Numbers
  // are written as in the C locale, whatever the process locale is.
  void Log(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // Appends a line of text exactly as given (cut to kMaxLineLength).
  void LogText(std::string_view text);

  // Empties the sink.
  void Clear();

  // Writes an optional label line, then one line per run of 16 bytes:
  // "%04X: " with the offset, each byte as "%02X ", three spaces for each byte
  // missing up to 16, then the bytes as characters ('.' for unprintable ones).
  // Does nothing when log or data is null or count is 0. The label is logged as
  // text, never used as a format.
  static void HexDump(const char* label, QvDebugOutput* log, const std::uint8_t* data, std::size_t count);

  // The text of one dump line for the run of up to 16 bytes at offset.
  static void FormatHexLine(char* out, std::size_t outSize, std::size_t offset, const std::uint8_t* data,
                            std::size_t count);

 private:
  mutable std::mutex mutex_;
  ITextSink* sink_ = nullptr;        // guarded by mutex_
  std::atomic<bool> active_{false};  // sink_ != nullptr, for IsActive
};
