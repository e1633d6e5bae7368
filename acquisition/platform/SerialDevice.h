// The operating-system side of a serial port: a terminal device opened for
// exclusive use, its line settings, non-blocking transfers and waits.
//
// QvSerial builds its time-out rules on top of these few calls; this is the
// only place that knows about file descriptors, termios and poll.
//
// Thread contract: one thread at a time (the thread that owns the QvSerial).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>

class SerialDevice {
 public:
  enum class WaitResult { kReady, kTimeout, kHangup };

  SerialDevice();
  ~SerialDevice();
  SerialDevice(const SerialDevice&) = delete;
  SerialDevice& operator=(const SerialDevice&) = delete;

  // Opens an existing device for reading and writing, non-blocking, without
  // making it the controlling terminal, and takes it for exclusive use (an
  // advisory lock plus the terminal's exclusive mode). False when the device
  // cannot be opened or is already in use; LastError() then tells why.
  bool Open(const char* path);
  // The system's error number of the last failed Open or ReadLineSettings:
  // EBUSY when another program holds the device.
  int LastError() const { return lastError_; }
  bool IsOpen() const { return fd_ >= 0; }
  void Close();

  // Reads the current line settings and keeps them as the base for
  // ApplyLineSettings. False when the device is not a terminal.
  bool ReadLineSettings();

  // Raw 8 data bits, no parity, stop bits as read, receiver on, no hardware or
  // software flow control, DTR and RTS raised, any baud rate (including
  // non-standard ones such as 8192). Devices without modem lines (a
  // pseudo-terminal) accept the settings and simply have no DTR/RTS.
  bool ApplyLineSettings(std::int32_t baud);

  // Waits until bytes can be read (or written). A negative timeout waits
  // without limit. kHangup when the device vanished (adapter unplugged, the
  // other side of a pseudo-terminal closed) or failed.
  WaitResult WaitReadable(std::chrono::nanoseconds timeout);
  WaitResult WaitWritable(std::chrono::nanoseconds timeout);

  // Takes what is waiting, at most count bytes, without blocking: the number of
  // bytes, 0 when nothing is waiting, -1 when the device failed.
  long ReadAvailable(std::uint8_t* buffer, std::size_t count);

  // Hands at most count bytes to the driver without blocking: the number
  // accepted, 0 when its queue is full, -1 when the device failed.
  long WriteAvailable(const std::uint8_t* buffer, std::size_t count);

  // Bytes the driver still holds for transmission, -1 when the device failed.
  // A pseudo-terminal hands written bytes to its other side at once and
  // always reports 0.
  long OutputQueued();

  // Discards what the driver holds for transmission and/or reception.
  bool Purge(bool transmit, bool receive);

  // Ends a WaitReadable or WaitWritable in progress (or the next one) early,
  // as a time-out. The only call for other threads: a stop request wakes the
  // waiting thread at once instead of it looking at its flag now and then.
  void InterruptWait();

 private:
  struct LineSettings;
  WaitResult Wait(short events, std::chrono::nanoseconds timeout);

  int fd_ = -1;
  int wakeFd_ = -1;  // eventfd of InterruptWait, for the life of the object
  int lastError_ = 0;
  std::unique_ptr<LineSettings> settings_;  // as read by ReadLineSettings
};
