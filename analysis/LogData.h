// A whole datalog held in memory for analysis: the entry table, one compact
// record per logged packet (time, entry, where its bytes are) and the packets
// themselves, expanded to their full size, back to back.
//
// ReadLogData reads a log in one pass with the datalog engine's own reader, so
// it sees exactly the records that playback would see: a record whose entry
// does not exist is skipped (and counted), a record cut short ends the data.
//
// Thread contract: ReadLogData runs on any one thread (the analysis window
// runs it on a worker); `cancel` and the progress callback are the only things
// it shares with other threads. A filled LogData is read-only and may then be
// read from any thread.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "datalog/XdlEntry.h"

enum class [[nodiscard]] LogReadResult{
    kOk,
    kCannotOpen,    // missing file, no permission, or another log holds it
    kWrongVersion,  // not a version 3 log
    kReadError,     // the file could not be read
    kNoMemory,      // the log does not fit in memory
    kCancelled,     // the caller asked to stop
};

// A short English description of a result, for messages.
const char* LogReadResultText(LogReadResult result);

struct LogRecord {
  std::uint32_t timeMs = 0;
  std::uint32_t entry = 0;   // index into LogData::Entries()
  std::uint64_t offset = 0;  // first packet byte in LogData's byte store
};

class LogData {
 public:
  const std::vector<XdlEntry>& Entries() const { return entries_; }
  std::size_t RecordCount() const { return records_.size(); }
  const LogRecord& Record(std::size_t index) const { return records_[index]; }
  double TimeSeconds(std::size_t index) const { return records_[index].timeMs / 1000.0; }
  // The expanded packet of a record (the entry's fullSize bytes).
  const std::uint8_t* Packet(std::size_t index) const { return bytes_.data() + records_[index].offset; }
  std::size_t PacketSize(std::size_t index) const { return entries_[records_[index].entry].fullSize; }
  // Records left out because their entry index was beyond the table.
  std::size_t SkippedRecords() const { return skipped_; }
  // Time of the last record in seconds (0 for an empty log).
  double DurationSeconds() const { return records_.empty() ? 0.0 : TimeSeconds(records_.size() - 1); }
  // First record whose time is at or after t seconds (RecordCount() if none).
  std::size_t LowerBound(double seconds) const;
  // First record whose time is after t seconds (RecordCount() if none).
  std::size_t UpperBound(double seconds) const;
  // Memory held, in bytes.
  std::size_t MemoryBytes() const;

 private:
  friend LogReadResult ReadLogData(const std::string&, LogData*, const std::atomic<bool>*,
                                   const std::function<void(std::size_t, std::size_t)>&);
  std::vector<XdlEntry> entries_;
  std::vector<LogRecord> records_;
  std::vector<std::uint8_t> bytes_;
  std::size_t skipped_ = 0;
};

// Reads the whole log at path into *out (replacing what it held). `cancel`
// may be null; `progress` (may be empty) is called now and then with the
// records read and the records the header announces.
LogReadResult ReadLogData(const std::string& path, LogData* out, const std::atomic<bool>* cancel = nullptr,
                          const std::function<void(std::size_t, std::size_t)>& progress = {});
