#include "datalog/DataLogFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "datalog/platform/LocalTime.h"

namespace {
// Largest offset a record may end at: endOffset (file size + 1) must stay
// below the open-end marker.
constexpr std::uint64_t kLargestLogSize = 0xFFFFFFFEull - 1;
}  // namespace

DataLogFile::DataLogFile() = default;

DataLogFile::~DataLogFile() {
  RequestStop();
  JoinPlaybackThread();
}

bool DataLogFile::OnPlaybackThread() const {
  return playbackThreadId.load(std::memory_order_acquire) == std::this_thread::get_id();
}

void DataLogFile::JoinPlaybackThread() {
  if (OnPlaybackThread()) return;
  std::lock_guard<std::mutex> guard(threadLock);
  if (playbackThread.joinable()) playbackThread.join();
}

void DataLogFile::WaitForPlaybackThread() {
  JoinPlaybackThread();
}

// ---------------------------------------------------------------------------
// Opening and closing

void DataLogFile::ResetLocked() {
  file.Close();
  entries.clear();
  existingFile = false;
  tableWritten = false;
  headerDirty = false;
  recordBuffer.clear();
  recordBuffer.shrink_to_fit();
  payloadBuffer.clear();
  payloadBuffer.shrink_to_fit();
  packetBuffer.clear();
  packetBuffer.shrink_to_fit();
  header = XdlHeader{};
  sampleIndex.store(0, std::memory_order_relaxed);
  currentTime.store(0, std::memory_order_relaxed);
  previousTime = 0;
  countedRecords = 0;
  recordsCounted = false;
  speed.store(1.0f, std::memory_order_relaxed);
  recordingFailure.store(0, std::memory_order_release);
  seekGeneration.fetch_add(1, std::memory_order_acq_rel);
}

void DataLogFile::CloseForReopen() {
  RequestStop();
  JoinPlaybackThread();
  std::lock_guard<std::mutex> guard(lock);
  // Best effort: a caller that needs to know whether the previous log was
  // finished closes it first and checks Close.
  if (state.load() == XDL_STATE_RECORDING) (void)StopRecordingLocked();
  if (file.IsOpen() && headerDirty) (void)WriteHeaderLocked();
  file.Close();
  state.store(XDL_STATE_CLOSED, std::memory_order_release);
}

XdlResult DataLogFile::Open(const char* path, bool forPlayback) {
  // Reopening from inside a playback callback would free the buffers the
  // playback thread is using.
  if (OnPlaybackThread() && IsPlaybackThreadRunning()) return XDL_ERR_STATE;
  CloseForReopen();
  std::lock_guard<std::mutex> guard(lock);
  ResetLocked();
  openError.store(0, std::memory_order_release);
  if (path == nullptr || path[0] == '\0') {
    openError.store(ENOENT, std::memory_order_release);
    return XDL_ERR_CANNOT_OPEN;
  }
  if (!file.Open(path, forPlayback ? LogFileHandle::Mode::kExistingReadWrite
                                   : LogFileHandle::Mode::kCreateReadWrite)) {
    openError.store(file.LastError(), std::memory_order_release);
    return XDL_ERR_CANNOT_OPEN;
  }
  existingFile = forPlayback;
  if (forPlayback) {
    XdlResult code = ReadHeaderAndTableLocked();
    if (code != XDL_OK) {
      ResetLocked();
      return code;
    }
  } else {
    headerDirty = true;  // a new log gets at least its header and table
  }
  state.store(forPlayback ? XDL_STATE_READY : XDL_STATE_OPEN_RECORD, std::memory_order_release);
  return XDL_OK;
}

XdlResult DataLogFile::ReadHeaderAndTableLocked() {
  std::uint64_t fileSize = 0;
  if (!file.Size(&fileSize)) return XDL_ERR_IO;
  std::uint8_t block[kXdlHeaderSize];
  file.SeekTo(0);
  if (file.Read(block, kXdlHeaderSize) != static_cast<long long>(kXdlHeaderSize)) return XDL_ERR_IO;
  header = DecodeXdlHeader(block);
  if (header.version != kXdlVersion) return XDL_ERR_VERSION;

  std::uint8_t countBytes[4];
  if (file.Read(countBytes, 4) != 4) return XDL_ERR_IO;
  std::uint32_t count = XdlGetU32(countBytes);
  // Never trust the count: every entry needs at least its fixed bytes.
  if (count > kXdlMaxEntries || kXdlHeaderSize + 4 + std::uint64_t{count} * kXdlEntryFixedSize > fileSize)
    return XDL_ERR_IO;
  try {
    entries.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
      std::uint8_t fixed[kXdlEntryFixedSize];
      if (file.Read(fixed, kXdlEntryFixedSize) != static_cast<long long>(kXdlEntryFixedSize))
        return XDL_ERR_IO;
      XdlEntry entry = DecodeXdlEntryFixed(fixed);
      // Sizes are bounded by the format's packet limit, not by the file: an
      // entry of a large-reply command that was never sent is still valid. A
      // record whose payload runs past the end of the file ends the data.
      if (entry.storedSize > kXdlMaxPacketSize || entry.fullSize > kXdlMaxPacketSize) return XDL_ERR_IO;
      std::uint8_t maskBytes[255];
      if (entry.maskLength > 0) {
        if (file.Read(maskBytes, entry.maskLength) != static_cast<long long>(entry.maskLength))
          return XDL_ERR_IO;
        entry.mask = XdlMask::FromBytes(maskBytes, entry.maskLength);
      }
      entries.push_back(std::move(entry));
    }
  } catch (const std::bad_alloc&) {
    return XDL_ERR_IO;
  }
  tableWritten = true;
  // A log that was never stopped (cut short by a crash) has no usable count:
  // count its complete records instead.
  if (header.endOffset == kXdlOpenEnd || header.recordCount == 0) {
    std::uint64_t tableEnd = file.Position();
    countedRecords = CountCompleteRecordsLocked();
    recordsCounted = true;
    file.SeekTo(tableEnd);
  }
  return XDL_OK;
}

std::uint32_t DataLogFile::CountCompleteRecordsLocked() {
  std::uint64_t fileSize = 0;
  if (!file.Size(&fileSize)) return 0;
  std::uint64_t position = file.Position();
  std::uint32_t count = 0;
  while (position + kXdlRecordHeadSize <= fileSize && count < 0xFFFFFFFFu) {
    std::uint8_t block[kXdlRecordHeadSize];
    file.SeekTo(position);
    if (file.Read(block, kXdlRecordHeadSize) != static_cast<long long>(kXdlRecordHeadSize)) break;
    XdlRecordHead head = DecodeXdlRecordHead(block);
    if (head.entryIndex >= entries.size()) break;  // playback stops here too
    std::uint64_t end = position + kXdlRecordHeadSize + entries[head.entryIndex].storedSize;
    if (end > fileSize) break;
    ++count;
    position = end;
  }
  return count;
}

int DataLogFile::Close() {
  if (state.load(std::memory_order_acquire) == XDL_STATE_CLOSED) {
    JoinPlaybackThread();  // a thread that ended by itself
    return 1;
  }
  RequestStop();
  JoinPlaybackThread();
  std::lock_guard<std::mutex> guard(lock);
  // A recording whose header cannot be written has ended all the same (see
  // StopRecording): the file is released and the failure reported.
  const bool stopFailed = state.load() == XDL_STATE_RECORDING && StopRecordingLocked() != XDL_OK;
  if (!stopFailed && headerDirty && WriteHeaderLocked() != XDL_OK) return 0;
  file.Close();
  state.store(XDL_STATE_CLOSED, std::memory_order_release);
  return stopFailed ? 0 : 1;
}

// ---------------------------------------------------------------------------
// Entry table

XdlResult DataLogFile::AddEntry(const XdlEntry& entry) {
  if (entry.storedSize > kXdlMaxPacketSize || entry.fullSize > kXdlMaxPacketSize ||
      entry.mask.BitCount() > kXdlMaxMaskBits)
    return XDL_ERR_INVALID_ARG;
  std::lock_guard<std::mutex> guard(lock);
  XdlState st = state.load();
  bool open = st == XDL_STATE_CLOSED || st == XDL_STATE_OPEN_RECORD || st == XDL_STATE_RECORDING;
  if (!open || existingFile || tableWritten) return XDL_ERR_STATE;
  try {
    entries.push_back(entry);
  } catch (const std::bad_alloc&) {
    return XDL_ERR_IO;
  }
  XdlEntry& added = entries.back();
  added.idText[kXdlIdTextSize - 1] = 0;
  added.maskLength = static_cast<std::uint16_t>(added.mask.WireLength());
  return XDL_OK;
}

int DataLogFile::FindEntryLocked(std::uint32_t commandIdHash) const {
  for (std::size_t i = entries.size(); i-- > 0;)
    if (entries[i].commandIdHash == commandIdHash) return static_cast<int>(i);
  return -1;
}

int DataLogFile::FindEntry(std::uint32_t commandIdHash) const {
  std::lock_guard<std::mutex> guard(lock);
  return FindEntryLocked(commandIdHash);
}

std::uint32_t DataLogFile::LargestStoredSize() const {
  std::uint32_t largest = 0;
  for (const XdlEntry& e : entries) largest = std::max(largest, e.storedSize);
  return largest;
}

std::uint32_t DataLogFile::LargestFullSize() const {
  std::uint32_t largest = 0;
  for (const XdlEntry& e : entries) largest = std::max(largest, e.fullSize);
  return largest;
}

XdlHeader DataLogFile::Header() const {
  std::lock_guard<std::mutex> guard(lock);
  return header;
}

int DataLogFile::EntryCount() const {
  std::lock_guard<std::mutex> guard(lock);
  return static_cast<int>(entries.size());
}

bool DataLogFile::GetEntry(int index, XdlEntry* out) const {
  std::lock_guard<std::mutex> guard(lock);
  if (out == nullptr || index < 0 || static_cast<std::size_t>(index) >= entries.size()) return false;
  *out = entries[static_cast<std::size_t>(index)];
  return true;
}

std::uint32_t DataLogFile::RecordCount() const {
  std::lock_guard<std::mutex> guard(lock);
  return recordsCounted ? countedRecords : header.recordCount;
}

// ---------------------------------------------------------------------------
// Recording

XdlResult DataLogFile::WriteHeaderLocked() {
  if (!existingFile) {
    std::vector<std::uint8_t> table;
    try {
      std::size_t size = 4;
      for (const XdlEntry& e : entries) size += kXdlEntryFixedSize + e.mask.WireLength();
      table.resize(size);
    } catch (const std::bad_alloc&) {
      return XDL_ERR_IO;
    }
    XdlPutU32(table.data(), static_cast<std::uint32_t>(entries.size()));
    std::size_t at = 4;
    for (const XdlEntry& e : entries) {
      EncodeXdlEntryFixed(e, table.data() + at);
      at += kXdlEntryFixedSize;
      std::uint32_t maskBytes = e.mask.WireLength();
      if (maskBytes > 0) std::memcpy(table.data() + at, e.mask.Bytes().data(), maskBytes);
      at += maskBytes;
    }
    if (!file.ExtendTo(kXdlHeaderSize)) return XDL_ERR_IO;
    file.SeekTo(kXdlHeaderSize);
    if (!file.Write(table.data(), table.size())) return XDL_ERR_IO;
    header.dataOffset = static_cast<std::uint32_t>(kXdlHeaderSize + table.size());
    tableWritten = true;
  }
  header.version = kXdlVersion;
  std::uint8_t block[kXdlHeaderSize];
  EncodeXdlHeader(header, block);
  file.SeekTo(0);
  if (!file.Write(block, kXdlHeaderSize)) return XDL_ERR_IO;
  file.SeekTo(header.dataOffset);
  headerDirty = false;
  return XDL_OK;
}

XdlResult DataLogFile::StartRecording() {
  std::lock_guard<std::mutex> guard(lock);
  if (state.load() != XDL_STATE_OPEN_RECORD) return XDL_ERR_STATE;
  header.startTime = LocalTimeNow();
  header.endOffset = kXdlOpenEnd;
  header.recordCount = 0;
  headerDirty = true;
  state.store(XDL_STATE_RECORDING, std::memory_order_release);
  return XDL_OK;
}

XdlResult DataLogFile::RecordPacket(std::uint32_t commandIdHash, const std::uint8_t* data,
                                    std::uint32_t length) {
  std::lock_guard<std::mutex> guard(lock);
  if (state.load() != XDL_STATE_RECORDING) return XDL_ERR_STATE;
  if (recordBuffer.empty()) {
    try {
      recordBuffer.resize(kXdlRecordHeadSize + LargestStoredSize());
    } catch (const std::bad_alloc&) {
      return XDL_ERR_IO;
    }
  }
  int index = FindEntryLocked(commandIdHash);
  if (index < 0) return XDL_ERR_NO_ENTRY;
  const XdlEntry& entry = entries[static_cast<std::size_t>(index)];

  XdlRecordHead head;
  head.entryIndex = static_cast<std::uint32_t>(index);
  if (header.recordCount == 0) {
    // The first record fixes the entry table and the start of the data.
    if (WriteHeaderLocked() != XDL_OK) return FailRecordingLocked(file.LastError(), kXdlHeaderSize, true);
    head.timeMs = 0;
    timer.Restart();
  } else {
    head.timeMs = XdlMillisecondsFromSeconds(timer.Elapsed());
  }
  std::uint64_t position = file.Position();
  std::uint64_t next = position + kXdlRecordHeadSize + entry.storedSize;
  // The offsets of the format are 32-bit: the log is full.
  if (next > kLargestLogSize) return FailRecordingLocked(EFBIG, position, true);
  head.nextOffset = static_cast<std::uint32_t>(next);
  EncodeXdlRecordHead(head, recordBuffer.data());
  XdlPackPacket(entry, data, data != nullptr ? length : 0, recordBuffer.data() + kXdlRecordHeadSize);
  if (!file.Write(recordBuffer.data(), kXdlRecordHeadSize + entry.storedSize))
    return FailRecordingLocked(file.LastError(), position, true);
  ++header.recordCount;
  headerDirty = true;
  return XDL_OK;
}

XdlResult DataLogFile::StopRecordingLocked() {
  const XdlResult code = FinishRecordingLocked();
  if (code == XDL_ERR_IO) return FailRecordingLocked(file.LastError(), 0, false);
  return code;
}

XdlResult DataLogFile::FinishRecordingLocked() {
  if (state.load() != XDL_STATE_RECORDING) return XDL_ERR_STATE;
  timer.Stop();
  // Without any record the table is not on disk yet; it belongs inside the
  // end offset.
  if (!tableWritten && WriteHeaderLocked() != XDL_OK) return XDL_ERR_IO;
  std::uint64_t size = 0;
  if (!file.Size(&size)) return XDL_ERR_IO;
  header.endOffset = static_cast<std::uint32_t>(std::min<std::uint64_t>(size + 1, kXdlOpenEnd - 1));
  if (WriteHeaderLocked() != XDL_OK) return XDL_ERR_IO;
  existingFile = true;
  recordBuffer.clear();
  state.store(XDL_STATE_READY, std::memory_order_release);
  return XDL_OK;
}

XdlResult DataLogFile::FailRecordingLocked(int error, std::uint64_t tornAt, bool finish) {
  // Only the first failure is kept: it is the cause, later ones follow from it.
  int none = 0;
  recordingFailure.compare_exchange_strong(none, error != 0 ? error : EIO, std::memory_order_acq_rel);
  if (state.load() != XDL_STATE_RECORDING) return XDL_ERR_IO;
  // A record that was written only in part would read as garbage: cut it off
  // (tornAt 0: nothing torn). The records before it stay.
  if (tornAt != 0) {
    file.TruncateTo(tornAt);
    file.SeekTo(tornAt);
  }
  // Finish the header where the disk still allows it (it overwrites bytes that
  // are already there); if even that fails, the records read like a log cut
  // short, which playback handles.
  if (finish && tableWritten && FinishRecordingLocked() == XDL_OK) return XDL_ERR_IO;
  timer.Stop();
  existingFile = true;
  headerDirty = false;
  recordBuffer.clear();
  state.store(XDL_STATE_READY, std::memory_order_release);
  return XDL_ERR_IO;
}

XdlResult DataLogFile::StopRecording() {
  std::lock_guard<std::mutex> guard(lock);
  return StopRecordingLocked();
}

// ---------------------------------------------------------------------------
// Reading and seeking

XdlResult DataLogFile::ReadRecordLocked(XdlRecordHead* head, std::uint8_t* buffer, std::uint32_t bufferSize,
                                        const XdlEntry** entry) {
  if (!file.IsOpen()) return XDL_ERR_IO;
  std::uint64_t headOffset = file.Position();
  std::uint8_t block[kXdlRecordHeadSize];
  long long n = file.Read(block, kXdlRecordHeadSize);
  if (n < 0) return XDL_ERR_IO;
  if (n < static_cast<long long>(kXdlRecordHeadSize)) {
    // Nothing more, or a head cut short: the data ends here.
    file.SeekTo(headOffset);
    return XDL_END_OF_DATA;
  }
  *head = DecodeXdlRecordHead(block);
  if (head->entryIndex >= entries.size()) {
    // Skip to the next record so the caller can go on. A next offset that does
    // not move forward would loop for ever: the data ends here.
    if (head->nextOffset < headOffset + kXdlRecordHeadSize) {
      file.SeekTo(headOffset);
      return XDL_END_OF_DATA;
    }
    file.SeekTo(head->nextOffset);
    return XDL_ERR_NO_ENTRY;
  }
  const XdlEntry& e = entries[head->entryIndex];
  if (bufferSize < e.storedSize || (buffer == nullptr && e.storedSize > 0)) {
    file.SeekTo(headOffset);  // a larger buffer can read the same record
    return XDL_ERR_BUFFER_SMALL;
  }
  n = file.Read(buffer, e.storedSize);
  if (n < 0) return XDL_ERR_IO;
  if (n < static_cast<long long>(e.storedSize)) {
    // The last record was cut short (the log was not closed properly).
    file.SeekTo(headOffset);
    return XDL_END_OF_DATA;
  }
  if (entry != nullptr) *entry = &e;
  sampleIndex.fetch_add(1, std::memory_order_relaxed);
  currentTime.store(head->timeMs, std::memory_order_relaxed);
  return XDL_OK;
}

XdlResult DataLogFile::ReadRecord(XdlRecordHead* head, std::uint8_t* buffer, std::uint32_t bufferSize,
                                  const XdlEntry** entry) {
  if (head == nullptr) return XDL_ERR_INVALID_ARG;
  XdlState st = state.load(std::memory_order_acquire);
  if (st != XDL_STATE_READY && st != XDL_STATE_PLAYING && st != XDL_STATE_STOP_REQUESTED)
    return XDL_ERR_STATE;
  std::lock_guard<std::mutex> guard(lock);
  return ReadRecordLocked(head, buffer, bufferSize, entry);
}

std::uint64_t DataLogFile::PlayableEndLocked() const {
  std::uint64_t size = 0;
  file.Size(&size);
  // A log cut short keeps the open-end marker (or a nonsense value): its data
  // runs to the end of the file.
  if (header.endOffset == kXdlOpenEnd || header.endOffset <= header.dataOffset) return size + 1;
  return header.endOffset;
}

XdlResult DataLogFile::SeekLocked(std::int32_t target, std::uint32_t flags) {
  // The playback thread drops a record it read before this seek.
  seekGeneration.fetch_add(1, std::memory_order_acq_rel);
  pacer.Wake();
  if (flags & XDL_SEEK_FROM_START) {
    file.SeekTo(header.dataOffset);
    sampleIndex.store(0, std::memory_order_relaxed);
    currentTime.store(0, std::memory_order_relaxed);
  }
  if (target != 0) {
    const bool byTime = (flags & XDL_SEEK_BY_TIME) != 0;
    for (;;) {
      std::uint64_t headOffset = file.Position();
      XdlRecordHead head;
      XdlResult code = ReadRecordLocked(&head, recordBuffer.data(),
                                        static_cast<std::uint32_t>(recordBuffer.size()), nullptr);
      if (code == XDL_ERR_NO_ENTRY) continue;
      if (code != XDL_OK) return code;
      if (byTime) {
        if (head.timeMs > static_cast<std::uint32_t>(target)) {
          file.SeekTo(headOffset);  // this record is played next
          sampleIndex.fetch_sub(1, std::memory_order_relaxed);
          break;
        }
      } else if (sampleIndex.load(std::memory_order_relaxed) >= target) {
        break;
      }
    }
  }
  previousTime = currentTime.load(std::memory_order_relaxed);
  return XDL_OK;
}

XdlResult DataLogFile::Seek(std::int32_t target, std::uint32_t flags) {
  IDataLogCallback* cb = callback.load(std::memory_order_acquire);
  XdlResult code = XDL_OK;
  XdlState st = state.load(std::memory_order_acquire);
  if (st != XDL_STATE_READY && st != XDL_STATE_PLAYING) {
    code = XDL_ERR_STATE;
  } else if (flags & XDL_SEEK_UNSUPPORTED) {
    code = XDL_ERR_SEEK_FLAG;
  } else if (target < 0) {
    code = XDL_ERR_INVALID_ARG;
  } else {
    {
      std::lock_guard<std::mutex> guard(lock);
      if (recordBuffer.empty()) {
        try {
          recordBuffer.resize(std::max<std::uint32_t>(1, LargestStoredSize()));
        } catch (const std::bad_alloc&) {
          code = XDL_ERR_IO;
        }
      }
    }
    if (code == XDL_OK && cb != nullptr && cb->OnSeekBegin(target, flags) < 0) code = XDL_ERR_SEEK_REFUSED;
    if (code == XDL_OK) {
      std::lock_guard<std::mutex> guard(lock);
      code = SeekLocked(target, flags);
    }
  }
  if (cb != nullptr) cb->OnSeekEnd();
  return code;
}
