#include "acquisition/QvSerial.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "acquisition/QvDebugOutput.h"

namespace {

using Clock = std::chrono::steady_clock;

// A time limit of multiplier * count + constant ms; 64 bits so that no
// combination of 32-bit values overflows.
std::chrono::milliseconds Limit(std::uint32_t multiplier, std::uint32_t count, std::uint32_t constant) {
  return std::chrono::milliseconds(static_cast<std::uint64_t>(multiplier) * count + constant);
}

}  // namespace

QvSerial::QvSerial() = default;

QvSerial::~QvSerial() {
  Close();
}

void QvSerial::Reset() {
  Close();
  log_ = nullptr;
  baud_ = kDefaultBaud;
  portName_[0] = '\0';
}

void QvSerial::CloseDevice() {
  device_.Close();
  vanished_ = false;
}

void QvSerial::Close() {
  CloseDevice();
  if (log_ != nullptr) log_->Log("QvSerial: Port Closed");
}

int QvSerial::Open(const char* portName, std::int32_t baud) {
  if (IsOpen()) Close();
  const char* name = portName != nullptr ? portName : "";
  std::size_t length = std::min(std::strlen(name), kPortNameSize - 1);
  std::memcpy(portName_, name, length);
  portName_[length] = '\0';
  baud_ = baud;

  bool ok = false;
  if (!device_.Open(portName_)) {
    if (log_ != nullptr) log_->Log("QvSerial: Open Port %s Failed", portName_);
  } else {
    if (log_ != nullptr) log_->Log("QvSerial: Successfully opened %s", portName_);
    if (!device_.ReadLineSettings()) {
      if (log_ != nullptr) log_->Log("QvSerial: GetCommState Failed");
    } else if (!device_.ApplyLineSettings(baud)) {
      if (log_ != nullptr) log_->Log("QvSerial: SetCommState Failed");
    } else {
      ok = true;
    }
  }
  if (!ok) {
    Close();
    return 0;
  }
  vanished_ = false;
  SetTimeouts(40, 0, 300, 0, 300, kTimeoutAll);
  if (log_ != nullptr) log_->Log("QvSerial: %s opened at %i baud", name, baud);
  return 1;
}

std::uint32_t QvSerial::Read(std::uint32_t count, std::uint8_t* buffer, const std::atomic<bool>* stop) {
  if (!IsOpen() || vanished_ || buffer == nullptr || count == 0) return 0;
  const Clock::time_point start = Clock::now();
  const bool hasTotal = timeouts_.readMultiplier != 0 || timeouts_.readConstant != 0;
  const Clock::time_point totalEnd = start + Limit(timeouts_.readMultiplier, count, timeouts_.readConstant);
  const std::chrono::milliseconds interval(timeouts_.interval);

  std::uint32_t got = 0;
  Clock::time_point lastByte{};
  bool signalled = false;  // poll reported data for the coming read
  for (;;) {
    long n = device_.ReadAvailable(buffer + got, count - got);
    if (n < 0 || (n == 0 && signalled)) {
      // Readable with nothing to read, or an error: the device is gone.
      vanished_ = true;
      break;
    }
    if (n > 0) {
      got += static_cast<std::uint32_t>(n);
      lastByte = Clock::now();
      if (got >= count) break;
    }
    if (stop != nullptr && stop->load(std::memory_order_relaxed)) break;
    const Clock::time_point now = Clock::now();
    Clock::time_point deadline = Clock::time_point::max();
    if (hasTotal) deadline = totalEnd;
    if (timeouts_.interval != 0 && got > 0) deadline = std::min(deadline, lastByte + interval);
    std::chrono::nanoseconds wait(-1);
    if (deadline != Clock::time_point::max()) {
      if (now >= deadline) break;
      // The deadline is absolute: a wait cut short by a byte or a signal goes
      // on to the same point. The acquisition thread runs with a small timer
      // slack, so the wake-up comes close to it without spinning.
      wait = deadline - now;
    }
    // With a stop flag, wake up at least once a slice to look at it; a caller
    // that also calls InterruptWait (the engine) ends the wait at once.
    if (stop != nullptr && (wait.count() < 0 || wait > kStopSlice)) wait = kStopSlice;
    SerialDevice::WaitResult r = device_.WaitReadable(wait);
    if (r == SerialDevice::WaitResult::kHangup) {
      vanished_ = true;
      break;
    }
    signalled = r == SerialDevice::WaitResult::kReady;
  }
  if (log_ != nullptr && got > 0) QvDebugOutput::HexDump("QvSerial: Read", log_, buffer, got);
  return got;
}

std::uint32_t QvSerial::Write(std::uint32_t count, const std::uint8_t* buffer) {
  if (!IsOpen() || vanished_ || buffer == nullptr || count == 0) return 0;
  const Clock::time_point start = Clock::now();
  const bool hasLimit = timeouts_.writeMultiplier != 0 || timeouts_.writeConstant != 0;
  const Clock::time_point end = start + Limit(timeouts_.writeMultiplier, count, timeouts_.writeConstant);

  std::uint32_t sent = 0;
  for (;;) {
    long n = device_.WriteAvailable(buffer + sent, count - sent);
    if (n < 0) {
      vanished_ = true;
      break;
    }
    sent += static_cast<std::uint32_t>(n);
    if (sent >= count) break;
    const Clock::time_point now = Clock::now();
    std::chrono::nanoseconds wait(-1);
    if (hasLimit) {
      if (now >= end) break;
      wait = end - now;
    }
    if (device_.WaitWritable(wait) == SerialDevice::WaitResult::kHangup) {
      vanished_ = true;
      break;
    }
  }
  if (log_ != nullptr && sent > 0) QvDebugOutput::HexDump("QvSerial: Write", log_, buffer, sent);
  return sent;
}

int QvSerial::SetTimeouts(std::uint32_t interval, std::uint32_t readMultiplier, std::uint32_t readConstant,
                          std::uint32_t writeMultiplier, std::uint32_t writeConstant, std::uint32_t mask) {
  if (mask & kTimeoutReadConstant) timeouts_.readConstant = readConstant;
  if (mask & kTimeoutReadMultiplier) timeouts_.readMultiplier = readMultiplier;
  if (mask & kTimeoutInterval) timeouts_.interval = interval;
  if (mask & kTimeoutWriteConstant) timeouts_.writeConstant = writeConstant;
  if (mask & kTimeoutWriteMultiplier) timeouts_.writeMultiplier = writeMultiplier;
  // Read and Write apply the stored set on every call; there is nothing to hand
  // to the driver.
  return IsOpen() ? 1 : 0;
}

long QvSerial::WaitUntilSent() {
  long queued = device_.OutputQueued();
  if (queued <= 0 || vanished_) return queued;
  // The write time-out for the queued count bounds the wait. Without one, the
  // time the bytes take at the port's rate (ten bits each), twice over, plus a
  // margin: the wait never runs without end.
  const bool hasLimit = timeouts_.writeMultiplier != 0 || timeouts_.writeConstant != 0;
  const auto count = static_cast<std::uint32_t>(queued);
  const std::chrono::milliseconds limit =
      hasLimit ? Limit(timeouts_.writeMultiplier, count, timeouts_.writeConstant)
               : std::chrono::milliseconds(100 +
                                           20000ull * count / static_cast<std::uint64_t>(std::max(baud_, 1)));
  const Clock::time_point end = Clock::now() + limit;
  for (;;) {
    // Sleep for the time the queued bytes take to leave (at least 1 ms),
    // never past the end, then look again.
    const Clock::time_point now = Clock::now();
    if (queued <= 0 || now >= end) break;
    const auto leaving = std::chrono::microseconds(std::max<std::uint64_t>(
        1000,
        10000000ull * static_cast<std::uint64_t>(queued) / static_cast<std::uint64_t>(std::max(baud_, 1))));
    std::this_thread::sleep_until(std::min<Clock::time_point>(end, now + leaving));
    queued = device_.OutputQueued();
  }
  return queued;
}

int QvSerial::Purge(bool clearTransmit, bool clearReceive) {
  if (!IsOpen()) return 0;
  // Only what could not leave is discarded from the transmit side.
  const bool transmit = clearTransmit && WaitUntilSent() != 0;
  if (!transmit && !clearReceive) return 1;
  return device_.Purge(transmit, clearReceive) ? 1 : 0;
}

int QvSerial::SetQueueSizes(std::uint32_t, std::uint32_t) {
  return IsOpen() ? 1 : 0;
}

std::string PortOpenFailureText(const std::string& port, int error) {
  std::string text = "Unable to open port (" + port + "): ";
  if (error == EBUSY) return text + "in use by another program";
  // The reason in the program's own language, whatever the locale.
  const char* reason = ::strerrordesc_np(error != 0 ? error : EIO);
  text += reason != nullptr ? reason : "error " + std::to_string(error);
  if (error == EACCES || error == EPERM) {
    text += "; add your user to the 'dialout' group (sudo adduser $USER dialout) and log in again";
  }
  return text;
}
