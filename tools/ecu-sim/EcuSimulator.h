#pragma once

// A simulated ECU on a pseudo-terminal. start() creates the terminal pair and
// a thread that plays an EcuScenario on the master side; the program under
// test opens slavePath() like any serial port.
//
// What the simulator does on its side of the line:
//  - with echo on, sends every byte it receives straight back; bytes that
//    arrive while it is sending collide on the single wire and are ignored;
//  - when the most recent bytes received equal the request of an exchange,
//    sends that exchange's reply (dynamic fields filled in, checksum added);
//  - plays the background script: chatter, silent periods, 160-baud packets;
//  - produces faults on demand: dropped, short or corrupted replies, garbage,
//    delays between bytes, closing its side in the middle of a stream.
//
// Thread contract: construct, start, stop and destroy on one owning thread.
// Every fault and observation member may be called from any thread, also
// before start() (the faults then apply from the first byte): requests go to
// the simulator thread through a queue guarded by a mutex, counters are
// atomics. The destructor stops the thread and closes the terminal.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/ecu-sim/EcuScenario.h"

class PseudoTerminal;
class SimulatorCore;
class WakePipe;

class EcuSimulator {
 public:
  explicit EcuSimulator(EcuScenario scenario);
  ~EcuSimulator();
  EcuSimulator(const EcuSimulator&) = delete;
  EcuSimulator& operator=(const EcuSimulator&) = delete;

  // Creates the pseudo-terminal (raw mode) and starts the simulator thread.
  // Returns false with a message in *error when the terminal cannot be made
  // or when the simulator was started before.
  bool start(std::string* error = nullptr);
  // Stops the thread and closes both sides of the terminal; idempotent.
  void stop();

  // Path of the slave device, e.g. "/dev/pts/7"; empty before start().
  const std::string& slavePath() const { return slavePath_; }
  // True while the thread runs and its side of the line is open.
  bool isRunning() const { return running_.load(); }
  // True once its side of the line was closed (by a fault or by stop()).
  bool isClosed() const { return closed_.load(); }

  // Faults, from any thread; they take effect on the simulator thread at once.
  void dropReplies(int count);
  void shortenReplies(int count, std::size_t keepBytes);
  void corruptChecksums(int count);
  void sendGarbage(EcuBytes bytes);
  void setByteDelay(std::chrono::milliseconds delay);
  void closeAfter(std::size_t bytes);
  void applyFault(FaultSpec fault);
  // Starts or stops the background script, as a "stop chatter" request would.
  void setChatter(bool on);

  // Observation, from any thread.
  std::size_t requestsSeen() const { return requestsSeen_.load(); }
  std::size_t repliesSent() const { return repliesSent_.load(); }
  std::size_t bytesSent() const { return bytesSent_.load(); }
  // The baud rate the client last set on its port (0 before it set one it
  // could read back), as seen when its latest bytes arrived.
  unsigned clientBaud() const { return clientBaud_.load(); }
  // Every byte received since start(), in order.
  EcuBytes receivedBytes() const;
  // Waits until at least `count` requests were recognised; false on time-out.
  bool waitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;
  // Waits until the simulator has sent everything it has queued and its
  // script is idle or silent; false on time-out.
  bool waitForIdle(std::chrono::milliseconds timeout) const;

 private:
  // A request from another thread, run on the simulator thread.
  using Control = std::function<void(SimulatorCore&, std::chrono::steady_clock::time_point)>;

  void run();
  void post(Control control);
  void publish(const SimulatorCore& core, bool outputPending);
  void noteReceived(const std::uint8_t* data, std::size_t count);

  EcuScenario scenario_;
  std::string slavePath_;
  std::unique_ptr<PseudoTerminal> terminal_;  // the line; closed by the simulator thread on a close fault
  std::unique_ptr<WakePipe>
      wakePipe_;  // interrupts the simulator thread's wait; made once, by the constructor
  std::thread thread_;
  bool started_ = false;
  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> running_{false};
  std::atomic<bool> closed_{false};
  std::atomic<bool> idle_{false};
  std::atomic<std::size_t> requestsSeen_{0};
  std::atomic<std::size_t> repliesSent_{0};
  std::atomic<std::size_t> bytesSent_{0};
  std::atomic<unsigned> clientBaud_{0};
  std::atomic<std::size_t> controlsPosted_{0};   // counted by post()
  std::atomic<std::size_t> controlsApplied_{0};  // counted by the simulator thread

  mutable std::mutex controlMutex_;  // guards controls_
  std::vector<Control> controls_;
  std::unique_ptr<SimulatorCore> core_;  // used by the simulator thread only

  mutable std::mutex observeMutex_;  // guards received_; observeCv_ signals requests and idleness
  mutable std::condition_variable observeCv_;
  EcuBytes received_;
};
