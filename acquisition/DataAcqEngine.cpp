#include "acquisition/DataAcqEngine.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <new>
#include <optional>
#include <thread>
#include <vector>

#include "common/HiResTimer.h"
#include "definition/ADXCommands.h"

namespace {

// Every time limit of a command is an unsigned 32-bit count of milliseconds.
std::uint32_t Millis(std::int32_t value) {
  return static_cast<std::uint32_t>(value);
}

// Allocates a zero-filled buffer; false when the memory cannot be had or the
// size is negative.
bool Allocate(std::vector<std::uint8_t>& buffer, std::int64_t size) {
  if (size < 0) return false;
  try {
    buffer.assign(static_cast<std::size_t>(size), 0);
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  return true;
}

// Nine bytes of the slow line carry one data byte: a non-zero start marker,
// then eight bits, most significant first, where a zero byte is a 1 bit.
bool DecodeSlowWord(const std::uint8_t* word, std::uint32_t got, std::uint8_t* out) {
  if (got < 9 || word[0] == 0) return false;
  std::uint8_t value = 0;
  for (int i = 1; i < 9; ++i) value = static_cast<std::uint8_t>((value << 1) | (word[i] == 0 ? 1 : 0));
  *out = value;
  return true;
}

}  // namespace

DataAcqEngine::DataAcqEngine() = default;

int DataAcqEngine::Open(const char* portName, std::int32_t baud) {
  if (!port_->Open(portName, baud)) return 0;
  if (!port_->SetTimeouts(300, 0, 2000, 0, 110, kTimeoutAll)) return 0;
  if (!port_->SetQueueSizes(1024, 512)) return 0;
  return 1;
}

std::int32_t DataAcqEngine::Execute(ADXObject* command) {
  if (command == nullptr || callback_ == nullptr || !port_->IsOpen() || port_->HasVanished()) return E_FAIL;
  abortRequested_.store(false, std::memory_order_relaxed);
  switch (command->objectType) {
    case ADX_TYPE_MACRO:
      return ExecuteMacro(static_cast<ADXMacro*>(command));
    case ADX_TYPE_SENDCOMMAND:
      return ExecuteSend(static_cast<ADXCSendCommand*>(command));
    case ADX_TYPE_LISTENSILENCE:
      return ExecuteSilence(static_cast<ADXCListenSilence*>(command));
    case ADX_TYPE_LISTENCHATTER:
      return ExecuteChatter(static_cast<ADXCListenChatter*>(command));
    case ADX_TYPE_160BAUDLISTEN:
      return Execute160Baud(static_cast<ADXC160BaudListen*>(command));
    case ADX_TYPE_TRIGGER:
      return ExecuteTrigger(static_cast<ADXCTrigger*>(command));
    default:
      return E_FAIL;
  }
}

std::int32_t DataAcqEngine::ExecuteSend(ADXCSendCommand* command) {
  record_.SetStatus(DAE_OK);
  record_.command = command;
  record_.commandIdHash = command->idhash;

  const std::uint32_t size = static_cast<std::uint32_t>(command->bytes.size());
  if (command->replysize > kMaxPacketBytes) {
    // A size from the definition never turns into unbounded memory: the
    // command fails without touching the port.
    std::int32_t result = callback_->OnSendCommandBegin(&record_);
    if (result < 0) return result;
    record_.SetStatus(DAE_SIZE_LIMIT);
    return callback_->OnSendCommandEnd(&record_, nullptr, 0);
  }
  // The reply buffer is never shorter than the count handed to the callback,
  // which is the written count when no reply was read.
  std::vector<std::uint8_t> reply;
  std::vector<std::uint8_t> echo;
  if (command->replysize < 0 || !Allocate(reply, std::max<std::int64_t>(command->replysize, size)) ||
      !Allocate(echo, size)) {
    return E_OUTOFMEMORY;
  }
  const std::uint32_t replySize = static_cast<std::uint32_t>(command->replysize);

  std::int32_t result = callback_->OnSendCommandBegin(&record_);
  if (result < 0) return result;

  port_->SetTimeouts(75, 0, Millis(command->replytimeout), 0, 300, kTimeoutAll);
  port_->Purge(true, true);

  const std::uint32_t written = size > 0 ? port_->Write(size, command->bytes.data()) : 0;
  std::uint32_t count = written;
  if (written != size) {
    record_.SetStatus(DAE_WRITE_SHORT);
  } else if (TakeAbort()) {
    // A stop is honoured only here, between the write and the reads: a send
    // that is already reading its echo or reply finishes the read, so the
    // answer to a request that went out is not thrown away.
    record_.SetStatus(DAE_ABORTED);
  } else if (command->flags & kSendReadReply) {
    bool echoComplete = true;
    if ((flags_ & kFlagEcho) && size > 0) {
      // The echoed bytes are only counted, not compared with what was sent.
      count = port_->Read(size, echo.data());
      if (count < size) {
        record_.SetStatus(DAE_READ_SHORT);
        echoComplete = false;
      }
    }
    if (echoComplete) {
      count = port_->Read(replySize, reply.data());
      if (count < replySize) {
        record_.SetStatus(DAE_READ_SHORT);
      } else if ((command->flags & kSendVerifyChecksum) != 0 && !ReplyChecksumIsValid(reply.data(), count)) {
        record_.SetStatus(DAE_BAD_CHECKSUM);  // noise on the line, or a reply shifted by a byte
      }
    }
  }
  return callback_->OnSendCommandEnd(&record_, reply.data(), count);
}

void DataAcqEngine::Pause(std::uint32_t milliseconds) {
  // Sleep in short steps while far from the end, then watch the clock for the
  // last stretch: precise to the microsecond without keeping a processor busy.
  HiResTimer timer;
  const double target = static_cast<double>(milliseconds);
  for (;;) {
    if (AbortRequested()) return;  // left set: an enclosing macro stops too
    double left = target - timer.Elapsed() * 1000.0;
    if (left <= 0.0) return;
    if (left > 2.0) {
      std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(std::min(left - 1.5, 10.0)));
    }
  }
}

std::int32_t DataAcqEngine::ExecuteSilence(ADXCListenSilence* command) {
  record_.SetStatus(DAE_OK);
  record_.command = command;

  if (command->silencelen == 0) {
    // A plain pause: no notification, the port is not touched.
    Pause(Millis(command->totaltimeout));
    return 0;
  }

  const std::uint32_t silence = Millis(command->silencelen);
  port_->SetTimeouts(silence, 0, silence, 0, 300, kTimeoutAll);
  std::int32_t result = callback_->OnListenSilenceBegin(&record_);
  if (result < 0) return result;

  HiResTimer timer;
  port_->Purge(true, true);
  const double total = static_cast<double>(Millis(command->totaltimeout));
  for (;;) {
    std::uint8_t byte = 0;
    if (port_->Read(1, &byte, &abortRequested_) == 0) {
      // A read cut short by a stop request found no silence.
      if (TakeAbort()) {
        record_.SetStatus(DAE_ABORTED);
        break;
      }
      // Nothing for the whole silence length, unless the port itself is gone:
      // a dead line is no silence.
      record_.SetStatus(port_->HasVanished() ? DAE_TIMEOUT : DAE_OK);
      break;
    }
    if (TakeAbort()) {
      record_.SetStatus(DAE_ABORTED);
      break;
    }
    if (total <= timer.Elapsed() * 1000.0) {
      record_.SetStatus(DAE_TIMEOUT);
      break;
    }
  }
  return callback_->OnListenSilenceEnd(&record_);
}

std::int32_t DataAcqEngine::ExecuteChatter(ADXCListenChatter* command) {
  const std::uint32_t size = static_cast<std::uint32_t>(command->bytes.size());
  if (size == 0) return E_FAIL;
  record_.SetStatus(DAE_OK);
  record_.command = command;
  std::vector<std::uint8_t> window;
  if (!Allocate(window, size)) return E_OUTOFMEMORY;

  // No purge: bytes already waiting in the driver are searched too.
  port_->SetTimeouts(50, 0, Millis(command->listentimeout), 0, 300, kTimeoutAll);
  std::int32_t result = callback_->OnListenChatterBegin(&record_);
  if (result < 0) return result;

  HiResTimer timer;
  const double limit = static_cast<double>(Millis(command->listentimeout));
  const auto matches = [&] { return std::memcmp(window.data(), command->bytes.data(), size) == 0; };
  // The reads look at the stop flag between short slices, so a stop ends a
  // wait on a quiet line at once instead of after the whole time-out.
  if (port_->Read(size, window.data(), &abortRequested_) < size) {
    record_.SetStatus(AbortRequested() ? DAE_ABORTED : DAE_TIMEOUT);  // the flag is left set
  } else {
    bool found = matches();
    bool aborted = false;
    while (!found) {
      if (limit < timer.Elapsed() * 1000.0) break;
      // Slide the window and read one byte into its last place. A read that
      // timed out leaves the stale last byte; it is not compared, and the
      // time limit ends the search right after such a read.
      std::memmove(window.data(), window.data() + 1, size - 1);
      if (port_->Read(1, &window[size - 1], &abortRequested_) == 1) found = matches();
      if (!found && port_->HasVanished()) break;  // no byte will come: do not spin until the limit
      if (AbortRequested()) {
        aborted = true;  // left set, so that an enclosing macro stops as well
        break;
      }
    }
    record_.SetStatus(aborted ? DAE_ABORTED : (found ? DAE_OK : DAE_TIMEOUT));
  }
  return callback_->OnListenChatterEnd(&record_);
}

std::int32_t DataAcqEngine::Execute160Baud(ADXC160BaudListen* command) {
  // The record always describes this command, also when no packet is read.
  record_.SetStatus(DAE_OK);
  record_.command = command;
  record_.commandIdHash = command->idhash;

  std::vector<std::uint8_t> packet;
  std::uint32_t count = 0;
  const std::uint8_t* buffer = nullptr;
  if (command->packetsize > kMaxPacketBytes) {
    record_.SetStatus(DAE_SIZE_LIMIT);  // no memory is asked for, the port is not read
  } else if (command->packetsize > 0) {
    const std::uint32_t n = static_cast<std::uint32_t>(command->packetsize);
    count = n;
    if (callback_->OnListen160BaudBegin(&record_) < 0) {
      record_.SetStatus(DAE_BEGIN_REFUSED);
    } else {
      if (!Allocate(packet, n)) return E_OUTOFMEMORY;
      buffer = packet.data();
      // Sync: nine zero bytes in a row (a stop bit pattern no data word has).
      // The reads run under the time-outs the previous command left.
      std::uint8_t zeros = 0;
      bool synced = false;
      const std::uint64_t maxBytes = 18ull * n;
      for (std::uint64_t i = 0; i < maxBytes && !AbortRequested(); ++i) {
        std::uint8_t byte = 0;
        if (port_->Read(1, &byte, &abortRequested_) == 0) break;
        zeros = byte == 0 ? static_cast<std::uint8_t>(zeros + 1) : 0;
        if (zeros == 9) {
          synced = true;
          break;
        }
      }
      if (!synced) {
        record_.SetStatus(DAE_NO_SYNC);
      } else {
        for (std::uint32_t i = 0; i < n && !AbortRequested(); ++i) {
          std::uint8_t word[9] = {};
          std::uint32_t got = port_->Read(9, word, &abortRequested_);
          // An invalid word leaves its byte 0 and the packet goes on.
          if (!DecodeSlowWord(word, got, &packet[i])) record_.SetStatus(DAE_BYTE_ERROR);
        }
      }
    }
  }
  if (AbortRequested() && record_.Status() != DAE_SIZE_LIMIT) record_.SetStatus(DAE_ABORTED);
  return callback_->OnListen160BaudEnd(&record_, buffer, count);
}

std::int32_t DataAcqEngine::ExecuteTrigger(ADXCTrigger* command) {
  record_.SetStatus(DAE_OK);
  record_.command = command;
  return callback_->OnTrigger(&record_);
}

std::int32_t DataAcqEngine::ExecuteMacro(ADXMacro* command) {
  record_.SetStatus(DAE_OK);
  record_.command = command;
  if (command->nodes.empty()) return callback_->OnMacroEnd(&record_);
  if (macroDepth_ >= kMaxMacroDepth) return E_FAIL;

  std::int32_t result = callback_->OnMacroBegin(&record_);
  if (result < 0) return result;

  ++macroDepth_;
  std::optional<DaeStatus> finalStatus;  // set when the macro itself decides the status
  for (std::int32_t pass = 0; pass < command->repeatcount && !finalStatus; ++pass) {
    // Index-based: the node list is read-only while commands run.
    for (std::size_t i = 0; i < command->nodes.size() && !finalStatus; ++i) {
      const MacroNode& node = command->nodes[i];
      if (node.command == nullptr) continue;
      for (std::int32_t run = 0; run < node.repeatcount; ++run) {
        if (AbortRequested()) {
          finalStatus = DAE_ABORTED;
          break;
        }
        std::int32_t stepResult = Execute(node.command);
        if ((node.flags & kNodeBreakOnFailure) && stepResult < 0) {
          finalStatus = DAE_MACRO_BREAK_FAILURE;
          break;
        }
        if ((node.flags & kNodeBreakOnSuccess) && stepResult >= 0) {
          finalStatus = DAE_MACRO_BREAK_SUCCESS;
          break;
        }
      }
    }
  }
  --macroDepth_;
  // The end notification describes the macro; its status is the last nested
  // step's unless the macro decided it.
  record_.command = command;
  if (finalStatus) record_.SetStatus(*finalStatus);
  return callback_->OnMacroEnd(&record_);
}
