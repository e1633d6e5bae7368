// Runs one definition command at a time against the vehicle link.
//
// The engine owns the serial port and talks to it only through reads, writes,
// purges and time-out settings. It reports the start and the end of every
// command to one IDataAcqCallback and never decodes a packet itself. The six
// command kinds: send a byte string and read the reply, listen for silence,
// listen for chatter, receive a 160-baud packet, trigger display updates, and
// run a macro of other commands.
//
// Thread contract: Open, Execute and every callback run on the acquisition
// thread, which also closes the port through Port(). RequestAbort is the only
// operation for other threads: it sets an atomic flag that the engine looks
// at between macro steps, after a send's write, and during the reads of the
// silence, chatter and 160-baud waits, which it wakes up at once
// (QvSerial::InterruptWait; they also look at the flag every
// QvSerial::kStopSlice). A send's echo and reply reads are not cut short. SetCallback and
// SetFlags are called while no command runs.
#pragma once

#include <atomic>
#include <cstdint>

#include "acquisition/QvSerial.h"
#include "common/DataAcqCallback.h"

class ADXObject;
class ADXMacro;
class ADXCSendCommand;
class ADXCListenSilence;
class ADXCListenChatter;
class ADXC160BaudListen;
class ADXCTrigger;

class DataAcqEngine {
 public:
  // flags bit 0: the link echoes every transmitted byte.
  static constexpr std::uint32_t kFlagEcho = 0x1;
  // Macros nested deeper than this fail instead of recursing without end (a
  // macro that contains itself).
  static constexpr int kMaxMacroDepth = 32;

  DataAcqEngine();
  DataAcqEngine(const DataAcqEngine&) = delete;
  DataAcqEngine& operator=(const DataAcqEngine&) = delete;

  // Opens the port, then sets the time-outs 300, 0, 2000, 0, 110 and queue
  // sizes of 1024 bytes in and 512 out. Non-zero on success; 0 as soon as a
  // step fails (the port then stays open until the next Open or Close).
  int Open(const char* portName, std::int32_t baud);

  // Runs a command and returns the result of its end notification, the begin
  // notification's negative result when that cancelled it, E_FAIL for a null
  // command, a closed or vanished port, a missing callback, an unknown type or
  // a chatter command without byte string, and E_OUTOFMEMORY when a buffer
  // cannot be had.
  std::int32_t Execute(ADXObject* command);

  // Asks the running command to stop; safe from any thread.
  void RequestAbort() {
    abortRequested_.store(true, std::memory_order_relaxed);
    port_->InterruptWait();
  }
  bool AbortRequested() const { return abortRequested_.load(std::memory_order_relaxed); }

  void SetCallback(IDataAcqCallback* callback) { callback_ = callback; }
  IDataAcqCallback* Callback() const { return callback_; }
  void SetFlags(std::uint32_t flags) { flags_ = flags; }
  std::uint32_t Flags() const { return flags_; }
  void SetEcho(bool on) { flags_ = on ? (flags_ | kFlagEcho) : (flags_ & ~kFlagEcho); }

  // The port every operation goes through (the embedded one).
  QvSerial* Port() { return port_; }
  const DAEStatusRecord& StatusRecord() const { return record_; }

 private:
  std::int32_t ExecuteSend(ADXCSendCommand* command);
  std::int32_t ExecuteSilence(ADXCListenSilence* command);
  std::int32_t ExecuteChatter(ADXCListenChatter* command);
  std::int32_t Execute160Baud(ADXC160BaudListen* command);
  std::int32_t ExecuteTrigger(ADXCTrigger* command);
  std::int32_t ExecuteMacro(ADXMacro* command);
  // Clears the abort flag when it is set; true when it was.
  bool TakeAbort() { return abortRequested_.exchange(false, std::memory_order_relaxed); }
  // Waits, without touching the port, until the time has passed or an abort
  // is requested.
  void Pause(std::uint32_t milliseconds);

  std::uint32_t flags_ = 0;
  QvSerial serial_;
  QvSerial* port_ = &serial_;
  IDataAcqCallback* callback_ = nullptr;  // not owned
  DAEStatusRecord record_;
  std::atomic<bool> abortRequested_{false};
  int macroDepth_ = 0;
};
