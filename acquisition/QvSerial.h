// The program's serial port: a thin synchronous wrapper around a terminal
// device with settable read and write time-outs.
//
// Every Read blocks the calling thread until the requested count arrived or a
// time-out ended it:
// - total limit: readMultiplier * count + readConstant ms after the request
//   started (both 0: no total limit);
// - interval limit: once a byte has arrived, the read ends when the gap to the
//   next byte exceeds `interval` ms (0: no interval limit); before the first
//   byte only the total limit applies;
// - bytes that arrived before the call (since the last purge) come first.
// A Write ends after writeMultiplier * count + writeConstant ms at the latest.
//
// A port that vanishes while open (adapter unplugged, the other side of a
// pseudo-terminal closed) is remembered: that read or write returns what it
// transferred so far, and every later Read and Write returns 0 at once until
// the port is closed or opened again. HasVanished tells the engine.
//
// With a log attached, progress messages and hex dumps of all traffic go to it.
//
// Thread contract: one thread at a time (the acquisition thread opens the port,
// runs every command through it and closes it). No lock.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "acquisition/platform/SerialDevice.h"

class QvDebugOutput;

// The five time-outs in milliseconds, kept between calls.
struct SerialTimeouts {
  std::uint32_t interval = 40;
  std::uint32_t readMultiplier = 0;
  std::uint32_t readConstant = 300;
  std::uint32_t writeMultiplier = 0;
  std::uint32_t writeConstant = 300;
};

// The message for a port that cannot be opened, with the system's reason:
// "Unable to open port (/dev/ttyUSB0): Permission denied", plus the way out
// for a missing permission, and "in use by another program" for a busy port.
std::string PortOpenFailureText(const std::string& port, int error);

// Mask bits of SetTimeouts: which stored values the call replaces.
inline constexpr std::uint32_t kTimeoutReadConstant = 0x01;
inline constexpr std::uint32_t kTimeoutReadMultiplier = 0x02;
inline constexpr std::uint32_t kTimeoutInterval = 0x04;
inline constexpr std::uint32_t kTimeoutWriteConstant = 0x08;
inline constexpr std::uint32_t kTimeoutWriteMultiplier = 0x10;
inline constexpr std::uint32_t kTimeoutAll = 0x1F;

class QvSerial {
 public:
  static constexpr std::int32_t kDefaultBaud = 115200;
  static constexpr std::size_t kPortNameSize = 260;  // including the terminating NUL
  // Longest wait between two looks at the stop flag of a Read.
  static constexpr std::chrono::milliseconds kStopSlice{50};

  QvSerial();
  ~QvSerial();
  QvSerial(const QvSerial&) = delete;
  QvSerial& operator=(const QvSerial&) = delete;

  // Closes the port if open, logs "QvSerial: Port Closed", then drops the log
  // and returns to 115200 baud with an empty port name.
  void Reset();

  // Attaches a log (not owned); null detaches it.
  void SetLog(QvDebugOutput* log) { log_ = log; }
  QvDebugOutput* GetLog() const { return log_; }

  // Opens the device exclusively at the given rate, raw 8N1 with DTR and RTS
  // on, and sets the default time-outs (40, 0, 300, 0, 300). 1 on success, 0 on
  // failure; a failure leaves the port closed.
  int Open(const char* portName, std::int32_t baud);
  // The system's error number of the last failed Open (EBUSY: in use).
  int LastOpenError() const { return device_.LastError(); }
  // Closes the port if open; logs "QvSerial: Port Closed" in every case.
  void Close();
  bool IsOpen() const { return device_.IsOpen(); }
  bool HasVanished() const { return vanished_; }

  // The number of bytes placed in the buffer (0 to count); see the rules above.
  std::uint32_t Read(std::uint32_t count, std::uint8_t* buffer) { return Read(count, buffer, nullptr); }
  // The same, but the read also ends, with what it has, within kStopSlice of
  // `stop` becoming true (the flag is only read, never cleared). Waits on a
  // quiet line are cut into slices to look at the flag; the time-out rules
  // are unchanged.
  std::uint32_t Read(std::uint32_t count, std::uint8_t* buffer, const std::atomic<bool>* stop);
  // Ends a wait of Read or Write in progress (or the next one) at once, as if
  // its slice had passed: Read then looks at its stop flag. Any thread.
  void InterruptWait() { device_.InterruptWait(); }
  // The number of bytes written.
  std::uint32_t Write(std::uint32_t count, const std::uint8_t* buffer);

  // Replaces the stored values whose mask bit is set and applies the full set.
  // Non-zero on success; 0 on a closed port (the values are still stored).
  int SetTimeouts(std::uint32_t interval, std::uint32_t readMultiplier, std::uint32_t readConstant,
                  std::uint32_t writeMultiplier, std::uint32_t writeConstant, std::uint32_t mask);
  // Discards what the driver holds to send and/or has received. Bytes that
  // Write handed over are first given the write time-out (for their count) to
  // leave the port, and the transmit side is cleared only when some are still
  // queued after that: a purge right after a write must not throw the request
  // away (a pseudo-terminal would even drop bytes that already reached its
  // other side). A vanished port ends the wait at once.
  int Purge(bool clearTransmit, bool clearReceive);
  // The driver's queues are sized by the driver itself here: accepted on an
  // open port, refused on a closed one.
  int SetQueueSizes(std::uint32_t inBytes, std::uint32_t outBytes);

  const char* PortName() const { return portName_; }
  std::int32_t Baud() const { return baud_; }
  const SerialTimeouts& Timeouts() const { return timeouts_; }

 private:
  void CloseDevice();
  // Waits until the driver has sent what it holds, at most the write time-out
  // for that count; the bytes still queued, -1 when the device failed.
  long WaitUntilSent();

  SerialDevice device_;
  QvDebugOutput* log_ = nullptr;  // not owned
  char portName_[kPortNameSize] = {};
  std::int32_t baud_ = kDefaultBaud;
  SerialTimeouts timeouts_;
  bool vanished_ = false;
};
