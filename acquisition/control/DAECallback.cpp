#include "acquisition/control/DAECallback.h"

#include <algorithm>

#include "acquisition/QvDebugOutput.h"
#include "acquisition/control/AcquisitionControl.h"
#include "acquisition/control/AcquisitionDisplay.h"
#include "acquisition/control/LogStopper.h"
#include "datalog/DataLogFile.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDefinition.h"

namespace {

// Colours and duration of the status-line flash after a data error.
constexpr std::uint32_t kFlashText = 0;
constexpr std::uint32_t kFlashBack = 255;
constexpr std::uint32_t kFlashMs = 500;

}  // namespace

std::int32_t DAECallback::OnDataWritten(const DAEStatusRecord*, const std::uint8_t*, std::uint32_t) {
  return 0;
}

std::int32_t DAECallback::OnDataRead(const DAEStatusRecord*, const std::uint8_t* data, std::uint32_t count) {
  if (count != 0) QvDebugOutput::HexDump("Read", &control_.log_, data, count);
  return 0;
}

std::int32_t DAECallback::OnListenSilenceBegin(const DAEStatusRecord* record) {
  const auto* command =
      record != nullptr && record->command != nullptr && record->command->objectType == ADX_TYPE_LISTENSILENCE
          ? static_cast<const ADXCListenSilence*>(record->command)
          : nullptr;
  control_.log_.Log("Looking for %i ms of silence...", command != nullptr ? command->silencelen : 0);
  return 0;
}

std::int32_t DAECallback::OnListenSilenceEnd(const DAEStatusRecord* record) {
  control_.log_.LogText(record != nullptr && record->Status() != DAE_OK ? "NO SILENCE FOUND"
                                                                        : "Silence found");
  return 0;
}

std::int32_t DAECallback::OnListenChatterBegin(const DAEStatusRecord*) {
  control_.log_.LogText("Looking for chatter...");
  return 0;
}

std::int32_t DAECallback::OnListenChatterEnd(const DAEStatusRecord* record) {
  control_.log_.LogText(record != nullptr && record->Status() != DAE_OK ? "CHATTER NOT FOUND"
                                                                        : "Chatter found");
  return 0;
}

std::int32_t DAECallback::OnSendCommandBegin(const DAEStatusRecord*) {
  return 0;
}

std::int32_t DAECallback::OnMacroBegin(const DAEStatusRecord*) {
  control_.log_.LogText("BEGIN MACRO");
  return 0;
}

std::int32_t DAECallback::OnMacroEnd(const DAEStatusRecord*) {
  control_.log_.LogText("END MACRO");
  return 0;
}

std::int32_t DAECallback::OnListen160BaudBegin(const DAEStatusRecord*) {
  control_.log_.LogText("Listening for 160 baud packet");
  return 0;
}

ADXObject* DAECallback::ResolveCommand(const DAEStatusRecord* record, std::uint32_t type,
                                       double* time) const {
  if (record->source == 1) {
    // The playback thread's stand-in command carries no packet layout: the
    // definition's own command decides offset and size, as it did live.
    ADXObject* command = control_.definition_.FindByHash(record->commandIdHash);
    if (command == nullptr || command->objectType != type) {
      control_.log_.LogText("Log playback: Command not found in def. Wrong definition?");
      return nullptr;
    }
    *time = control_.datalog_.CurrentTime() / 1000.0;
    return command;
  }
  *time = control_.ConnectionTime();
  return record->command;
}

void DAECallback::UpdatePanes(double time, const std::uint8_t* packet, std::size_t length,
                              std::uint32_t commandIdHash) {
  control_.display_.UpdatePanes(kPaneAll, time, packet, length, commandIdHash);
}

void DAECallback::Record(std::uint32_t commandIdHash, const std::uint8_t* data, std::uint32_t count) {
  if (control_.datalog_.State() != XDL_STATE_RECORDING || control_.GetConnectionState() != Connected) return;
  if (control_.datalog_.RecordPacket(commandIdHash, data, count) != XDL_ERR_IO) return;
  // The datalog has ended the recording; the scan goes on. The control thread
  // tells the program, which reports the cause on its own thread.
  control_.display_.FlashStatus("Recording failed!", kFlashText, kFlashBack, kFlashMs);
  control_.StartControlThread(AcquisitionControl::kStopDatalog);
}

void DAECallback::MarkConnected() {
  if (control_.running_.load(std::memory_order_acquire) == 0) return;
  std::int32_t expected = Connecting;
  if (control_.connectionState_.compare_exchange_strong(expected, Connected, std::memory_order_acq_rel)) {
    control_.RefreshStatusAndToolbar();
  }
}

std::int32_t DAECallback::OnSendCommandEnd(const DAEStatusRecord* record, const std::uint8_t* reply,
                                           std::uint32_t count) {
  if (record == nullptr) return E_FAIL;
  // The 201st completion empties the log before its own line goes in.
  if (control_.logLineCount_.fetch_add(1, std::memory_order_relaxed) + 1 >
      AcquisitionControl::kLogLinesBeforeClear) {
    control_.display_.ClearOutputLog();
    control_.logLineCount_.store(0, std::memory_order_relaxed);
  }

  double time = 0.0;
  ADXObject* object = ResolveCommand(record, ADX_TYPE_SENDCOMMAND, &time);
  if (record->source == 1 && object == nullptr) return E_FAIL;
  const auto* command = object != nullptr && object->objectType == ADX_TYPE_SENDCOMMAND
                            ? static_cast<const ADXCSendCommand*>(object)
                            : nullptr;

  if (record->Status() == DAE_SIZE_LIMIT || record->Status() == DAE_BAD_CHECKSUM) {
    // Data errors whatever the connection state: a reply that cannot be had
    // or cannot be trusted is never decoded nor recorded.
    if (record->Status() == DAE_SIZE_LIMIT) {
      control_.log_.Log("%.3f: %s: reply size %d is beyond %d bytes; command not sent", time,
                        command != nullptr ? command->id : "?", command != nullptr ? command->replysize : 0,
                        kMaxPacketBytes);
    } else {
      control_.log_.Log("%.3f: !!!!!!REPLY CHECKSUM ERROR!!!!!!", time);
    }
    control_.display_.FlashStatus("ALDL Data Error!", kFlashText, kFlashBack, kFlashMs);
    control_.errorCount_.fetch_add(1, std::memory_order_relaxed);
  } else if (record->Status() != DAE_OK) {
    if (control_.log_.IsActive()) {
      control_.log_.Log("%.3f: !!!!!!SEND COMMAND FAILURE (0x%.8X)!!!!!!", time,
                        static_cast<unsigned>(record->status));
    }
    // A reply cut short by the user's own stop is no data error.
    const bool stopped = record->Status() == DAE_ABORTED && !control_.IsRunning();
    if (control_.GetConnectionState() == Connected && !stopped) {
      control_.display_.FlashStatus("ALDL Data Error!", kFlashText, kFlashBack, kFlashMs);
      control_.errorCount_.fetch_add(1, std::memory_order_relaxed);
    }
  } else if (command != nullptr && (command->flags & kSendReadReply) != 0) {
    // The packet is the part of the reply from packetoffset, packetsize bytes
    // long, cut to what the reply holds. Items are read from the whole rest of
    // the reply: an item may lie after packetsize.
    const std::size_t available = reply == nullptr ? 0 : count;
    const std::size_t offset =
        std::min<std::size_t>(available, static_cast<std::size_t>(std::max(0, command->packetoffset)));
    const std::size_t size =
        std::min<std::size_t>(available - offset, static_cast<std::size_t>(std::max(0, command->packetsize)));
    const std::uint8_t* packet = reply == nullptr ? nullptr : reply + offset;
    const std::size_t decoded = available - offset;
    control_.lastPacket_.Store(packet, size, record->commandIdHash);
    // Formatting is skipped while no one reads the log (an export).
    if (control_.log_.IsActive()) control_.log_.Log("%.3f: Command/Reply Success", time);
    Record(command->idhash, reply, count);
    control_.definition_.UpdateRawValues(packet, decoded, command->idhash);
    UpdatePanes(time, packet, size, command->idhash);
    MarkConnected();
  } else {
    if (control_.log_.IsActive()) control_.log_.Log("%.3f: Command sent. Reply not processed.", time);
  }

  control_.rateTimer_.AddSample();
  control_.display_.RefreshStatus();
  return 0;
}

std::int32_t DAECallback::OnListen160BaudEnd(const DAEStatusRecord* record, const std::uint8_t* packet,
                                             std::uint32_t count) {
  if (record == nullptr) return E_FAIL;
  double time = 0.0;
  ADXObject* command = ResolveCommand(record, ADX_TYPE_160BAUDLISTEN, &time);
  if (record->source == 1 && command == nullptr) return E_FAIL;
  const std::uint32_t hash = command != nullptr ? command->idhash : record->commandIdHash;
  const std::size_t length = packet == nullptr ? 0 : count;

  if (record->Status() == DAE_SIZE_LIMIT) {
    control_.errorCount_.fetch_add(1, std::memory_order_relaxed);
    const auto* listen = command != nullptr && command->objectType == ADX_TYPE_160BAUDLISTEN
                             ? static_cast<const ADXC160BaudListen*>(command)
                             : nullptr;
    control_.log_.Log("%s: packet size %d is beyond %d bytes; packet not read",
                      listen != nullptr ? listen->id : "?", listen != nullptr ? listen->packetsize : 0,
                      kMaxPacketBytes);
    control_.display_.FlashStatus("Packet Error!", kFlashText, kFlashBack, kFlashMs);
  } else if (record->Status() == DAE_BYTE_ERROR) {
    control_.errorCount_.fetch_add(1, std::memory_order_relaxed);
    control_.log_.LogText("Data errors detected!");
    if (control_.GetConnectionState() == Connected) {
      control_.display_.FlashStatus("Data Byte Error!", kFlashText, kFlashBack, kFlashMs);
    }
  } else if (record->Status() != DAE_OK) {
    control_.log_.LogText("160 BAUD PACKET ERROR");
    if (control_.GetConnectionState() == Connected) {
      control_.display_.FlashStatus("Packet Error!", kFlashText, kFlashBack, kFlashMs);
    }
  } else {
    control_.log_.LogText("160 baud packet acquired");
    MarkConnected();
    // Items bound to the listen command are decoded from its packet, just as
    // items of a send command are decoded from its reply.
    control_.definition_.UpdateRawValues(packet, length, hash);
    UpdatePanes(time, packet, length, hash);
    Record(hash, packet, static_cast<std::uint32_t>(length));
  }
  if (length != 0) control_.lastPacket_.Store(packet, length, record->commandIdHash);

  control_.rateTimer_.AddSample();
  control_.display_.RefreshStatus();
  return 0;
}

std::int32_t DAECallback::OnTrigger(const DAEStatusRecord* record) {
  if (record == nullptr || record->command == nullptr || record->command->objectType != ADX_TYPE_TRIGGER) {
    return 0;
  }
  const auto* trigger = static_cast<const ADXCTrigger*>(record->command);
  const std::uint32_t panes = trigger->triggertype & kPaneAll;
  if (panes != 0) {
    control_.display_.UpdatePanes(panes, control_.ConnectionTime(), nullptr, 0, trigger->idhash);
  }
  return 0;
}

std::int32_t DAECallback::OnPlaybackEnded() {
  ILogStopper* stopper = control_.stopper_.load(std::memory_order_acquire);
  if (stopper != nullptr) stopper->StopFromPlaybackEnd();
  return 0;
}

std::int32_t DAECallback::OnSeekBegin(std::int32_t, std::uint32_t) {
  return 0;
}

std::int32_t DAECallback::OnSeekEnd() {
  control_.display_.SetMonitorTimeCursor(control_.datalog_.CurrentTime() / 1000.0);
  return 0;
}

std::int32_t DAECallback::OnPlaybackProgress(std::uint32_t timeMs, std::int32_t sampleIndex) {
  control_.display_.SetMonitorTimeCursor(timeMs / 1000.0);
  control_.display_.SetSlider(sampleIndex);
  return 0;
}
