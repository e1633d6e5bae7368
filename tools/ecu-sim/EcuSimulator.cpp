#include "tools/ecu-sim/EcuSimulator.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "tools/ecu-sim/PseudoTerminal.h"
#include "tools/ecu-sim/SimulatorCore.h"

namespace {

using Clock = std::chrono::steady_clock;

// Output that the client does not read piles up in the terminal; beyond this
// the oldest bytes are lost, as on a line that nobody listens to.
constexpr std::size_t kMaxPendingOutput = 64 * 1024;
// The log of received bytes keeps at most this many of the latest ones.
constexpr std::size_t kMaxReceivedLog = 1024 * 1024;
// The simulator thread looks at its stop flag at least this often.
constexpr std::chrono::milliseconds kMaxWait{100};
// Before closing its side the simulator waits this long at most for the
// client to read the last bytes, looking every kClosePoll.
constexpr std::chrono::milliseconds kCloseGrace{500};
constexpr std::chrono::milliseconds kCloseSettle{20};
constexpr std::chrono::milliseconds kClosePoll{2};

// A UART copes with a few percent of speed difference; beyond that every
// byte arrives garbled.
bool speedsMatch(unsigned client, unsigned ecu) {
  return client > 0 && std::abs(static_cast<double>(client) - ecu) <= 0.03 * ecu;
}

}  // namespace

EcuSimulator::EcuSimulator(EcuScenario scenario)
    : scenario_(std::move(scenario)), wakePipe_(std::make_unique<WakePipe>()) {}

EcuSimulator::~EcuSimulator() {
  stop();
}

bool EcuSimulator::start(std::string* error) {
  auto fail = [error](std::string message) {
    if (error) *error = std::move(message);
    return false;
  };
  if (started_) return fail("the simulator was already started");
  if (std::string problem = scenario_.validate(); !problem.empty()) return fail(problem);
  if (!wakePipe_->isOpen()) return fail("cannot create the wake-up pipe");
  auto terminal = std::make_unique<PseudoTerminal>();
  std::string message;
  if (!terminal->open(&message)) return fail(message);
  started_ = true;
  slavePath_ = terminal->slavePath();
  terminal_ = std::move(terminal);
  core_ = std::make_unique<SimulatorCore>(scenario_, Clock::now());
  running_ = true;
  thread_ = std::thread(&EcuSimulator::run, this);
  return true;
}

void EcuSimulator::stop() {
  stopRequested_ = true;
  wakePipe_->notify();
  if (thread_.joinable()) thread_.join();
  if (terminal_) terminal_->close();
  if (started_) closed_ = true;
  running_ = false;
  observeCv_.notify_all();
}

void EcuSimulator::post(Control control) {
  {
    std::lock_guard lock(controlMutex_);
    controls_.push_back(std::move(control));
    ++controlsPosted_;
  }
  wakePipe_->notify();
}

void EcuSimulator::applyFault(FaultSpec fault) {
  post([fault = std::move(fault)](SimulatorCore& core, Clock::time_point now) {
    core.applyFault(fault, now);
  });
}

void EcuSimulator::dropReplies(int count) {
  applyFault({FaultKind::DropReplies, count, 0, {}});
}

void EcuSimulator::shortenReplies(int count, std::size_t keepBytes) {
  applyFault({FaultKind::ShortReplies, count, keepBytes, {}});
}

void EcuSimulator::corruptChecksums(int count) {
  applyFault({FaultKind::BadChecksums, count, 0, {}});
}

void EcuSimulator::sendGarbage(EcuBytes bytes) {
  applyFault({FaultKind::Garbage, 0, 0, std::move(bytes)});
}

void EcuSimulator::setByteDelay(std::chrono::milliseconds delay) {
  applyFault({FaultKind::ByteDelay, 0, static_cast<std::size_t>(std::max<long long>(delay.count(), 0)), {}});
}

void EcuSimulator::closeAfter(std::size_t bytes) {
  applyFault({FaultKind::CloseAfter, 0, bytes, {}});
}

void EcuSimulator::setChatter(bool on) {
  post([on](SimulatorCore& core, Clock::time_point now) { core.setChatter(on, now); });
}

EcuBytes EcuSimulator::receivedBytes() const {
  std::lock_guard lock(observeMutex_);
  return received_;
}

bool EcuSimulator::waitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(observeMutex_);
  return observeCv_.wait_for(lock, timeout, [&] {
    return requestsSeen_.load() >= count || !running_.load();
  }) && requestsSeen_.load() >= count;
}

bool EcuSimulator::waitForIdle(std::chrono::milliseconds timeout) const {
  std::unique_lock lock(observeMutex_);
  // Idle only counts once every control posted so far has been applied.
  auto idle = [&] { return idle_.load() && controlsApplied_.load() == controlsPosted_.load(); };
  return observeCv_.wait_for(lock, timeout, [&] { return idle() || !running_.load(); }) && idle();
}

void EcuSimulator::noteReceived(const std::uint8_t* data, std::size_t count) {
  std::lock_guard lock(observeMutex_);
  if (received_.size() + count > kMaxReceivedLog)
    received_.erase(
        received_.begin(),
        received_.begin() + static_cast<long>(std::min(received_.size(), kMaxReceivedLog / 2 + count)));
  received_.insert(received_.end(), data, data + count);
}

// Makes the core's counters and idleness visible to other threads and wakes
// anyone waiting for them.
void EcuSimulator::publish(const SimulatorCore& core, bool outputPending) {
  {
    std::lock_guard lock(observeMutex_);
    requestsSeen_ = core.requestsSeen();
    repliesSent_ = core.repliesSent();
    idle_ = core.idle() && !outputPending;
  }
  observeCv_.notify_all();
}

void EcuSimulator::run() {
  SimulatorCore& core = *core_;
  EcuBytes pending;  // due bytes that the terminal has not taken yet
  std::optional<Clock::time_point> closeStarted;
  std::uint8_t buffer[4096];
  while (!stopRequested_) {
    wakePipe_->drain();
    auto now = Clock::now();

    // Controls are applied after each read and before its bytes are handled:
    // a fault posted before the client wrote a request is then always in
    // force when that request is answered.
    for (;;) {
      long got = terminal_->read(buffer, sizeof buffer);
      now = Clock::now();
      std::vector<Control> controls;
      {
        std::lock_guard lock(controlMutex_);
        controls.swap(controls_);
      }
      for (Control& control : controls) control(core, now);
      controlsApplied_ += controls.size();
      if (got <= 0) break;
      unsigned baud = terminal_->clientBaud();
      clientBaud_ = baud;
      bool understood = !scenario_.strictBaud || speedsMatch(baud, scenario_.baud);
      core.receive(buffer, static_cast<std::size_t>(got), now, understood);
      noteReceived(buffer, static_cast<std::size_t>(got));
    }

    now = Clock::now();
    EcuBytes due = core.takeDue(now);
    pending.insert(pending.end(), due.begin(), due.end());
    if (pending.size() > kMaxPendingOutput)
      pending.erase(pending.begin(), pending.end() - static_cast<long>(kMaxPendingOutput));
    // Counters become visible before the reply leaves, so a client that has
    // read a reply always finds its request counted.
    if (!due.empty()) publish(core, true);
    if (!pending.empty()) {
      long put = terminal_->write(pending.data(), pending.size());
      if (put > 0) {
        pending.erase(pending.begin(), pending.begin() + put);
        bytesSent_ += static_cast<std::size_t>(put);
      }
    }
    publish(core, !pending.empty());

    if (core.shouldClose() && pending.empty()) {
      // Closing its side in the middle of a stream: the client sees the line
      // drop. The last bytes are delivered first (a closing master discards
      // what the client has not read), unless the client does not read them.
      // The kernel hands written bytes to the client's queue a moment later,
      // so an empty queue only counts after kCloseSettle.
      now = Clock::now();
      if (!closeStarted) closeStarted = now;
      if ((now >= *closeStarted + kCloseSettle && terminal_->unreadByClient() == 0) ||
          now >= *closeStarted + kCloseGrace) {
        terminal_->close();
        closed_ = true;
        break;
      }
      std::this_thread::sleep_for(kClosePoll);
      continue;
    }

    auto wakeAt = core.nextWake(Clock::now());
    auto limit = Clock::now() + kMaxWait;
    if (wakeAt > limit) wakeAt = limit;
    waitForLine(*terminal_, !pending.empty(), *wakePipe_, wakeAt - Clock::now());
  }
  {
    std::lock_guard lock(observeMutex_);
    running_ = false;
  }
  observeCv_.notify_all();
}
