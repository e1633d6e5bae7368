#include "analysis/LogData.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "datalog/DataLogFile.h"
#include "datalog/XdlFormat.h"

const char* LogReadResultText(LogReadResult result) {
  switch (result) {
    case LogReadResult::kOk:
      return "ok";
    case LogReadResult::kCannotOpen:
      return "cannot open the log (missing, not readable, or in use)";
    case LogReadResult::kWrongVersion:
      return "not a version 3 datalog";
    case LogReadResult::kReadError:
      return "the log could not be read";
    case LogReadResult::kNoMemory:
      return "the log does not fit in memory";
    case LogReadResult::kCancelled:
      return "cancelled";
  }
  return "unknown error";
}

std::size_t LogData::LowerBound(double seconds) const {
  auto it = std::partition_point(records_.begin(), records_.end(),
                                 [&](const LogRecord& r) { return r.timeMs / 1000.0 < seconds; });
  return static_cast<std::size_t>(it - records_.begin());
}

std::size_t LogData::UpperBound(double seconds) const {
  auto it = std::partition_point(records_.begin(), records_.end(),
                                 [&](const LogRecord& r) { return r.timeMs / 1000.0 <= seconds; });
  return static_cast<std::size_t>(it - records_.begin());
}

std::size_t LogData::MemoryBytes() const {
  return records_.capacity() * sizeof(LogRecord) + bytes_.capacity() + entries_.size() * sizeof(XdlEntry);
}

namespace {

LogReadResult ReadInto(DataLogFile& file, std::vector<XdlEntry>& entries, std::vector<LogRecord>& records,
                       std::vector<std::uint8_t>& bytes, std::size_t& skipped,
                       const std::atomic<bool>* cancel,
                       const std::function<void(std::size_t, std::size_t)>& progress) {
  const int entryCount = file.EntryCount();
  std::uint32_t largestStored = 1;
  for (int i = 0; i < entryCount; ++i) {
    XdlEntry e;
    if (!file.GetEntry(i, &e)) return LogReadResult::kReadError;
    largestStored = std::max(largestStored, e.storedSize);
    entries.push_back(std::move(e));
  }
  // Size the stores from the header's count (the typical packet size times the
  // records), so that a large log is not copied again and again while it grows.
  const std::size_t announced = file.RecordCount();
  std::size_t typical = 0;
  for (const XdlEntry& e : entries) typical = std::max<std::size_t>(typical, e.fullSize);
  try {
    records.reserve(announced);
    bytes.reserve(announced * typical);
  } catch (const std::exception&) {
    // A damaged header may announce more than the file holds: grow as read.
    records.shrink_to_fit();
  }

  std::vector<std::uint8_t> payload(largestStored);
  // The recorder stores whole packets: then expanding is a copy.
  std::vector<bool> wholePacket;
  for (const XdlEntry& e : entries) {
    bool whole = e.storedSize == e.fullSize;
    for (std::uint32_t i = 0; whole && i < e.fullSize; ++i) whole = e.mask.IsStored(i);
    wholePacket.push_back(whole);
  }
  constexpr std::size_t kProgressStep = 16384;
  for (;;) {
    XdlRecordHead head;
    const XdlEntry* entry = nullptr;
    const XdlResult code =
        file.ReadRecord(&head, payload.data(), static_cast<std::uint32_t>(payload.size()), &entry);
    if (code == XDL_END_OF_DATA) break;
    if (code == XDL_ERR_NO_ENTRY) {
      ++skipped;
      continue;
    }
    if (code != XDL_OK) return LogReadResult::kReadError;
    LogRecord record;
    record.timeMs = head.timeMs;
    record.entry = head.entryIndex;
    record.offset = bytes.size();
    bytes.resize(bytes.size() + entry->fullSize);
    if (wholePacket[head.entryIndex]) {
      std::memcpy(bytes.data() + record.offset, payload.data(), entry->fullSize);
    } else {
      XdlExpandPayload(*entry, payload.data(), entry->storedSize, bytes.data() + record.offset,
                       entry->fullSize);
    }
    records.push_back(record);
    if (records.size() % kProgressStep == 0) {
      if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) return LogReadResult::kCancelled;
      if (progress) progress(records.size(), std::max(announced, records.size()));
    }
  }
  if (progress) progress(records.size(), records.size());
  return LogReadResult::kOk;
}

}  // namespace

LogReadResult ReadLogData(const std::string& path, LogData* out, const std::atomic<bool>* cancel,
                          const std::function<void(std::size_t, std::size_t)>& progress) {
  *out = LogData();
  DataLogFile file;
  const XdlResult code = file.Open(path.c_str(), true);
  if (code == XDL_ERR_VERSION) return LogReadResult::kWrongVersion;
  if (code == XDL_ERR_CANNOT_OPEN) return LogReadResult::kCannotOpen;
  if (code != XDL_OK) return LogReadResult::kReadError;
  LogReadResult result = LogReadResult::kOk;
  try {
    result = ReadInto(file, out->entries_, out->records_, out->bytes_, out->skipped_, cancel, progress);
  } catch (const std::bad_alloc&) {
    result = LogReadResult::kNoMemory;
  } catch (const std::length_error&) {
    result = LogReadResult::kNoMemory;
  }
  file.Close();
  if (result != LogReadResult::kOk) {
    *out = LogData();
    return result;
  }
  out->records_.shrink_to_fit();
  return LogReadResult::kOk;
}
