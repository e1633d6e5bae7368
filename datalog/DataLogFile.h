// The datalog engine: records reply packets into an XDL file and plays such a
// file back.
//
// Recording: Open(path, false), AddEntry for every recordable command,
// StartRecording, then RecordPacket for every good packet, StopRecording and
// Close. The entry table becomes final with the first record.
// Playback: SetCallback, Open(path, true), StartPlayback. A thread of its own
// reads the records in order, paces them by their recorded times scaled by the
// speed factor, expands each payload into its packet and hands it to the
// callback as a replayed packet (status record source 1).
//
// Thread contract:
// - Open, Close, AddEntry, StartRecording, StopRecording, StartPlayback,
//   RequestStop, Seek, SetCallback and SetSpeed are called from one controlling
//   thread at a time (the user-interface thread, or the control thread that
//   stops the log). RecordPacket runs on the acquisition thread.
// - `lock` guards the file, the header, the entry table, the record buffer and
//   the position fields (sampleIndex, currentTime, previousTime); it is held
//   while a record is read or written, while seeking and while the header is
//   written, never while a callback runs.
// - `state`, `speed`, `callback`, the playback-running marker, the seek
//   generation and the position readers are atomics, polled across threads.
// - Between two records the playback thread sleeps on `pacer` until the next
//   one is due; RequestStop, Seek, SetSpeed and Close wake it at once.
// - The playback thread is a std::thread that is always joined: by Close, Open,
//   WaitForPlaybackThread, the next StartPlayback or the destructor. Its
//   std::thread object is guarded by `threadLock`. Calls made from inside a
//   callback on the playback thread never wait for that thread.
// - The entry table does not change while the playback thread runs (AddEntry
//   is refused in the playing states and Open joins the thread first).
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "common/DeadlineWaiter.h"
#include "common/HiResTimer.h"
#include "datalog/DataLogCallback.h"
#include "datalog/XdlEntry.h"
#include "datalog/XdlFormat.h"
#include "datalog/platform/LogFileHandle.h"

class DataLogFile {
 public:
  DataLogFile();
  // Stops and joins a running playback thread and releases the file without
  // writing the header: the application closes the log first.
  ~DataLogFile();
  DataLogFile(const DataLogFile&) = delete;
  DataLogFile& operator=(const DataLogFile&) = delete;

  // Closes and resets the current log, then opens path: for playback an
  // existing file, read and write (read only when the file may not be written;
  // nothing is ever written to a log that was only played); for recording a
  // new or truncated file. Returns Ok (state Ready or OpenRecord), CannotOpen,
  // Version or Io (state Closed).
  XdlResult Open(const char* path, bool forPlayback);
  // Stops playback (waiting for the thread) or recording, writes the header
  // when it changed and closes the file. Non-zero when the log is closed; 0
  // when the header could not be written: a recording is then closed all the
  // same (RecordingFailure() tells why), any other log stays open.
  int Close();

  // Appends a copy of entry. Ok; State once the entry table is final or while
  // a log is played; InvalidArg for sizes beyond kXdlMaxPacketSize or a mask
  // beyond kXdlMaxMaskBits; Io when memory runs out.
  XdlResult AddEntry(const XdlEntry& entry);
  // Index of the last entry with that command hash, or -1.
  int FindEntry(std::uint32_t commandIdHash) const;

  XdlResult StartRecording();
  // Records one packet of the command: Ok, State (not recording), NoEntry, Io
  // (write failed, or the log would pass the 4 GiB offsets of the format).
  // A failed write ends the recording: the records written so far are kept
  // (a torn record is cut off, the header is finished where the disk allows),
  // the log goes to state Ready and RecordingFailure() tells why.
  XdlResult RecordPacket(std::uint32_t commandIdHash, const std::uint8_t* data, std::uint32_t length);
  // Ok, State (not recording), or Io when the header could not be written: the
  // recording has ended all the same (its records read like a log cut short)
  // and RecordingFailure() tells why.
  XdlResult StopRecording();
  // The system's error number (errno) of the write that ended the current
  // log's recording, 0 when none did; kept past Close until the next Open.
  // TakeRecordingFailure returns it and clears it, so a failure is reported
  // once. Thread-safe.
  int RecordingFailure() const { return recordingFailure.load(std::memory_order_acquire); }
  int TakeRecordingFailure() { return recordingFailure.exchange(0, std::memory_order_acq_rel); }
  // The system's error number of the last failed Open (0 after a good one).
  int OpenError() const { return openError.load(std::memory_order_acquire); }

  XdlResult StartPlayback();
  // Asks a running playback to stop before its next record (Playing -> StopRequested).
  void RequestStop();
  // Moves the read position: by sample index, or with XDL_SEEK_BY_TIME by
  // time in ms; XDL_SEEK_FROM_START counts from the first record.
  XdlResult Seek(std::int32_t target, std::uint32_t flags);
  // Reads the next record: its head, storedSize payload bytes into buffer and
  // the entry it belongs to (valid while the log stays open).
  XdlResult ReadRecord(XdlRecordHead* head, std::uint8_t* buffer, std::uint32_t bufferSize,
                       const XdlEntry** entry);

  void SetCallback(IDataLogCallback* cb) { callback.store(cb, std::memory_order_release); }
  void SetSpeed(float factor);
  float Speed() const { return speed.load(std::memory_order_relaxed); }
  XdlState State() const { return state.load(std::memory_order_acquire); }
  // Records in the log: the header's count, or for a log cut short (never
  // stopped) the number of complete records found when it was opened.
  std::uint32_t RecordCount() const;
  std::int32_t SampleIndex() const { return sampleIndex.load(std::memory_order_relaxed); }
  std::uint32_t CurrentTime() const { return currentTime.load(std::memory_order_relaxed); }

  // True from StartPlayback until the playback thread has finished.
  bool IsPlaybackThreadRunning() const { return playbackRunning.load(std::memory_order_acquire); }
  // Waits for the playback thread to end and joins it (returns at once when
  // called on the playback thread itself).
  void WaitForPlaybackThread();
  // The code that ended the last playback: EndOfData at the end of the log, Ok
  // after a stop request, else the read error.
  XdlResult LastPlaybackResult() const { return lastPlaybackResult.load(std::memory_order_acquire); }

  XdlHeader Header() const;
  int EntryCount() const;
  // Copies entry index into out; false when out of range.
  bool GetEntry(int index, XdlEntry* out) const;

 private:
  bool OnPlaybackThread() const;
  void JoinPlaybackThread();
  void CloseForReopen();
  void ResetLocked();
  XdlResult ReadHeaderAndTableLocked();
  std::uint32_t CountCompleteRecordsLocked();
  XdlResult WriteHeaderLocked();
  XdlResult StopRecordingLocked();
  XdlResult FinishRecordingLocked();
  // Ends a recording after a failed write; see RecordPacket.
  XdlResult FailRecordingLocked(int error, std::uint64_t tornAt, bool finish);
  int FindEntryLocked(std::uint32_t commandIdHash) const;
  XdlResult ReadRecordLocked(XdlRecordHead* head, std::uint8_t* buffer, std::uint32_t bufferSize,
                             const XdlEntry** entry);
  std::uint64_t PlayableEndLocked() const;
  std::uint32_t LargestStoredSize() const;
  std::uint32_t LargestFullSize() const;
  XdlResult SeekLocked(std::int32_t target, std::uint32_t flags);

  void PlaybackThreadMain();
  XdlResult RunPlayback();
  void DeliverRecord(const XdlRecordHead& head, const XdlEntry& entry, std::int32_t index);

  XdlHeader header;
  std::vector<XdlEntry> entries;
  LogFileHandle file;
  std::atomic<XdlState> state{XDL_STATE_CLOSED};
  std::atomic<IDataLogCallback*> callback{nullptr};
  bool existingFile = false;  // entry table on disk is final (played log or stopped recording)
  bool tableWritten = false;  // the entry table has been written to this file
  bool headerDirty = false;   // the header changed since it was last written
  HiResTimer timer;           // recording: time since the first record
  DeadlineWaiter pacer;       // playback sleeps; woken by stop, seek and speed changes
  mutable std::mutex lock;
  std::vector<std::uint8_t> recordBuffer;  // recording: head and payload; seeking: one payload

  // Touched only by the playback thread while it runs.
  std::vector<std::uint8_t> payloadBuffer;
  std::vector<std::uint8_t> packetBuffer;

  std::atomic<std::int32_t> sampleIndex{0};
  std::atomic<std::uint32_t> currentTime{0};
  std::uint32_t previousTime = 0;  // guarded by lock
  std::uint32_t countedRecords = 0;
  bool recordsCounted = false;

  std::mutex threadLock;  // guards playbackThread
  std::thread playbackThread;
  std::atomic<bool> playbackRunning{false};
  std::atomic<std::thread::id> playbackThreadId{};
  std::atomic<std::uint32_t> seekGeneration{0};
  std::atomic<XdlResult> lastPlaybackResult{XDL_OK};
  std::atomic<float> speed{1.0f};
  std::atomic<int> recordingFailure{0};
  std::atomic<int> openError{0};
};
