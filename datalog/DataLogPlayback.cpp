// The playback side of DataLogFile: starting and stopping the playback thread,
// pacing the records and handing them to the callback.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <new>
#include <system_error>

#include "common/platform/ThreadTiming.h"
#include "datalog/DataLogFile.h"
#include "definition/ADXCommands.h"

XdlResult DataLogFile::StartPlayback() {
  if (callback.load(std::memory_order_acquire) == nullptr) return XDL_ERR_NO_CALLBACK;
  if (state.load(std::memory_order_acquire) != XDL_STATE_READY) return XDL_ERR_STATE;
  if (IsPlaybackThreadRunning()) return XDL_ERR_IO;
  {
    // Join a thread that ended by itself before starting the next one.
    std::lock_guard<std::mutex> guard(threadLock);
    if (playbackThread.joinable()) playbackThread.join();
  }
  {
    std::lock_guard<std::mutex> guard(lock);
    std::uint64_t position = file.Position();
    if (position < header.dataOffset || position >= PlayableEndLocked()) {
      file.SeekTo(header.dataOffset);
      sampleIndex.store(0, std::memory_order_relaxed);
      currentTime.store(0, std::memory_order_relaxed);
      previousTime = 0;
    }
  }
  XdlState expected = XDL_STATE_READY;
  if (!state.compare_exchange_strong(expected, XDL_STATE_PLAYING)) return XDL_ERR_STATE;
  playbackRunning.store(true, std::memory_order_release);
  lastPlaybackResult.store(XDL_OK, std::memory_order_release);
  try {
    std::lock_guard<std::mutex> guard(threadLock);
    playbackThread = std::thread(&DataLogFile::PlaybackThreadMain, this);
  } catch (const std::system_error&) {
    playbackRunning.store(false, std::memory_order_release);
    state.store(XDL_STATE_READY, std::memory_order_release);
    return XDL_ERR_IO;
  }
  return XDL_OK;
}

void DataLogFile::RequestStop() {
  XdlState expected = XDL_STATE_PLAYING;
  state.compare_exchange_strong(expected, XDL_STATE_STOP_REQUESTED, std::memory_order_acq_rel);
  pacer.Wake();
}

void DataLogFile::SetSpeed(float factor) {
  speed.store(factor, std::memory_order_relaxed);
  pacer.Wake();
}

void DataLogFile::PlaybackThreadMain() {
  // Refused only on a platform without the setting: the default slack stays.
  static_cast<void>(SetThreadTimerSlack(kPacingTimerSlack));
  static_cast<void>(SetThreadNice(kPacingNice));
  playbackThreadId.store(std::this_thread::get_id(), std::memory_order_release);
  XdlResult code = RunPlayback();
  lastPlaybackResult.store(code, std::memory_order_release);
  if (code == XDL_END_OF_DATA) {
    IDataLogCallback* cb = callback.load(std::memory_order_acquire);
    if (cb != nullptr) cb->OnPlaybackEnded();
  }
  XdlState expected = XDL_STATE_PLAYING;
  if (!state.compare_exchange_strong(expected, XDL_STATE_READY, std::memory_order_acq_rel)) {
    expected = XDL_STATE_STOP_REQUESTED;
    state.compare_exchange_strong(expected, XDL_STATE_READY, std::memory_order_acq_rel);
  }
  playbackThreadId.store(std::thread::id(), std::memory_order_release);
  playbackRunning.store(false, std::memory_order_release);
}

XdlResult DataLogFile::RunPlayback() {
  {
    std::lock_guard<std::mutex> guard(lock);
    try {
      payloadBuffer.assign(std::max<std::uint32_t>(1, LargestStoredSize()), 0);
      packetBuffer.assign(std::max<std::uint32_t>(1, LargestFullSize()), 0);
    } catch (const std::bad_alloc&) {
      return XDL_ERR_IO;
    }
    previousTime = currentTime.load(std::memory_order_relaxed);
  }

  // Each record is due a fixed time after the one before it was due (not after
  // it was delivered), so the time spent reading and delivering does not add
  // up over the log. A speed change applies to the gap being waited; after a
  // seek or a stall longer than kCatchUpLimit the schedule starts afresh from
  // the present instead of delivering a burst to catch up.
  using Clock = DeadlineWaiter::Clock;
  constexpr auto kCatchUpLimit = std::chrono::milliseconds(100);
  Clock::time_point previousDue = Clock::now();
  std::uint32_t scheduleGeneration = seekGeneration.load(std::memory_order_acquire);
  PacingClass pacing;
  while (state.load(std::memory_order_acquire) == XDL_STATE_PLAYING) {
    XdlRecordHead head;
    const XdlEntry* entry = nullptr;
    std::uint64_t headOffset = 0;
    std::uint32_t generation = 0;
    std::uint32_t reference = 0;
    std::int32_t index = 0;
    {
      std::lock_guard<std::mutex> guard(lock);
      headOffset = file.Position();
      XdlResult code = ReadRecordLocked(&head, payloadBuffer.data(),
                                        static_cast<std::uint32_t>(payloadBuffer.size()), &entry);
      if (code != XDL_OK) return code;
      generation = seekGeneration.load(std::memory_order_acquire);
      reference = previousTime;
      index = sampleIndex.load(std::memory_order_relaxed);
    }
    XdlExpandPayload(*entry, payloadBuffer.data(), entry->storedSize, packetBuffer.data(),
                     packetBuffer.size());
    if (generation != scheduleGeneration) {
      scheduleGeneration = generation;
      previousDue = Clock::now();
    }

    // Pace the record: it is due the recorded gap, scaled by the speed, after
    // the previous one was due.
    bool stopped = false;
    if (head.timeMs != 0) {
      const double gap = std::fabs(static_cast<double>(head.timeMs) - static_cast<double>(reference));
      for (;;) {
        const std::uint64_t ticket = pacer.Ticket();
        const float factor = speed.load(std::memory_order_relaxed);
        const Clock::time_point now = Clock::now();
        if (!(factor > 0.01f)) {
          previousDue = now;  // as fast as it goes: no schedule to keep
          pacing.Unpaced();
          break;
        }
        const Clock::time_point due =
            previousDue + std::chrono::duration_cast<Clock::duration>(
                              std::chrono::duration<double, std::milli>(gap / factor));
        if (now >= due) {
          previousDue = now - due > kCatchUpLimit ? now : due;
          pacing.Late();
          break;
        }
        if (state.load(std::memory_order_acquire) != XDL_STATE_PLAYING) {
          stopped = true;
          break;
        }
        if (seekGeneration.load(std::memory_order_acquire) != generation) break;
        pacing.Waiting();
        if (pacer.WaitUntil(due, ticket) == DeadlineWait::Reached) {
          previousDue = due;
          break;
        }
      }
    } else {
      previousDue = Clock::now();
    }

    {
      std::lock_guard<std::mutex> guard(lock);
      if (seekGeneration.load(std::memory_order_acquire) != generation) continue;  // a seek moved on
      if (stopped) {
        // Put the record back so that playing on delivers it.
        file.SeekTo(headOffset);
        sampleIndex.fetch_sub(1, std::memory_order_relaxed);
        currentTime.store(reference, std::memory_order_relaxed);
        return XDL_OK;
      }
      previousTime = head.timeMs;
    }
    DeliverRecord(head, *entry, index);
  }
  return XDL_OK;
}

void DataLogFile::DeliverRecord(const XdlRecordHead& head, const XdlEntry& entry, std::int32_t index) {
  IDataLogCallback* cb = callback.load(std::memory_order_acquire);
  if (cb == nullptr) return;
  DAEStatusRecord record;
  record.source = 1;
  record.SetStatus(DAE_OK);
  record.commandIdHash = entry.commandIdHash;
  record.sampleIndex = index;
  // Stand-ins for the recorded command: the callback finds the definition's
  // own command by the hash; these describe the replayed packet itself.
  if (entry.commandType == ADX_TYPE_SENDCOMMAND) {
    ADXCSendCommand command;
    command.flags = kSendReadReply;
    command.replysize = static_cast<std::int32_t>(entry.fullSize);
    command.packetoffset = 0;
    command.packetsize = static_cast<std::int32_t>(entry.fullSize);
    std::memcpy(command.id, entry.idText, sizeof command.id);
    command.idhash = entry.commandIdHash;
    record.command = &command;
    cb->OnSendCommandEnd(&record, packetBuffer.data(), entry.fullSize);
  } else if (entry.commandType == ADX_TYPE_160BAUDLISTEN) {
    ADXC160BaudListen command;
    command.packetsize = static_cast<std::int32_t>(entry.fullSize);
    std::memcpy(command.id, entry.idText, sizeof command.id);
    command.idhash = entry.commandIdHash;
    record.command = &command;
    cb->OnListen160BaudEnd(&record, packetBuffer.data(), entry.fullSize);
  }
  cb->OnPlaybackProgress(head.timeMs, index);
}
