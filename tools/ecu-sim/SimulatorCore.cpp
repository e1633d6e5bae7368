#include "tools/ecu-sim/SimulatorCore.h"

#include <algorithm>
#include <limits>

#include "tools/ecu-sim/SlowLinkCoding.h"

namespace {

// A looping script never starts two rounds closer than this.
constexpr std::chrono::milliseconds kMinRound{1};
constexpr int kMaxStepsPerCall = 1000;

// Adds a fault count without overflowing.
void addCount(int& total, int count) {
  if (count <= 0) return;
  total = count > std::numeric_limits<int>::max() - total ? std::numeric_limits<int>::max() : total + count;
}

}  // namespace

SimulatorCore::SimulatorCore(const EcuScenario& scenario, TimePoint start)
    : scenario_(scenario), builder_(scenario), start_(start), nextByteTime_(start) {
  for (const Exchange& exchange : scenario.exchanges)
    longestRequest_ = std::max(longestRequest_, exchange.request.size());
  if (scenario.pace && scenario.baud > 0)
    paceGap_ =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(10.0 / scenario.baud));
  scriptRunning_ = scenario.chatter;
  roundStart_ = start;
}

double SimulatorCore::seconds(TimePoint now) const {
  return std::chrono::duration<double>(now - start_).count();
}

bool SimulatorCore::transmitting(TimePoint now) const {
  // Without pacing or a byte delay sending takes no time, so nothing can
  // overlap with it.
  if (queue_.empty() || paceGap_ + byteDelay_ == Clock::duration::zero()) return false;
  const Chunk& chunk = queue_.front();
  return chunk.pos > 0 || std::max(nextByteTime_, chunk.notBefore) <= now;
}

void SimulatorCore::receive(const std::uint8_t* data, std::size_t count, TimePoint now, bool understood) {
  if (scenario_.echo && transmitting(now)) understood = false;  // a collision on the single wire
  for (std::size_t i = 0; i < count; ++i) {
    if (scenario_.echo) echo_.push_back(data[i]);
    if (!understood) {
      // Noise breaks any request in progress.
      recent_.clear();
      continue;
    }
    if (longestRequest_ == 0) continue;
    recent_.push_back(data[i]);
    if (recent_.size() > longestRequest_) recent_.erase(recent_.begin());
    // The longest request that the latest bytes end with wins; the bytes are
    // then used up, so that one request is never answered twice.
    int best = -1;
    for (std::size_t k = 0; k < scenario_.exchanges.size(); ++k) {
      const EcuBytes& request = scenario_.exchanges[k].request;
      if (request.size() > recent_.size()) continue;
      if (!std::equal(request.begin(), request.end(), recent_.end() - static_cast<long>(request.size())))
        continue;
      if (best < 0 || request.size() > scenario_.exchanges[static_cast<std::size_t>(best)].request.size())
        best = static_cast<int>(k);
    }
    if (best < 0) continue;
    recent_.clear();
    ++requestsSeen_;
    const Exchange& exchange = scenario_.exchanges[static_cast<std::size_t>(best)];
    sendReply(static_cast<std::size_t>(best), now, exchange.delayMs);
    if (exchange.chatter == ChatterControl::Stop)
      setChatter(false, now);
    else if (exchange.chatter == ChatterControl::Start && !scriptRunning_)
      setChatter(true, now);
  }
}

void SimulatorCore::applyFault(const FaultSpec& fault, TimePoint now) {
  switch (fault.kind) {
    case FaultKind::DropReplies:
      addCount(dropCount_, fault.count);
      break;
    case FaultKind::ShortReplies:
      addCount(shortCount_, fault.count);
      shortLength_ = fault.length;
      break;
    case FaultKind::BadChecksums:
      addCount(badChecksumCount_, fault.count);
      break;
    case FaultKind::Garbage:
      enqueue(fault.bytes, now);
      break;
    case FaultKind::ByteDelay:
      // Held to a day so that time arithmetic cannot overflow.
      byteDelay_ = std::chrono::milliseconds(std::min<std::size_t>(fault.length, 24u * 3600u * 1000u));
      break;
    case FaultKind::CloseAfter:
      if (fault.length == 0)
        closeNow_ = true;
      else
        closeAfter_ = fault.length;
      break;
  }
}

void SimulatorCore::setChatter(bool on, TimePoint now) {
  scriptRunning_ = on;
  scriptIndex_ = 0;
  actionStarted_ = false;
  roundStart_ = now;
}

void SimulatorCore::enqueue(EcuBytes bytes, TimePoint notBefore) {
  if (bytes.empty()) return;
  queue_.push_back(Chunk{std::move(bytes), 0, notBefore});
}

std::optional<EcuBytes> SimulatorCore::makeReply(std::size_t index, TimePoint now) {
  EcuBytes reply = builder_.build(index, seconds(now));
  if (dropCount_ > 0) {
    --dropCount_;
    return std::nullopt;
  }
  if (badChecksumCount_ > 0 && !reply.empty()) {
    --badChecksumCount_;
    reply.back() = static_cast<std::uint8_t>(reply.back() + 1);
  }
  if (shortCount_ > 0) {
    --shortCount_;
    if (reply.size() > shortLength_) reply.resize(shortLength_);
  }
  ++repliesSent_;
  return reply;
}

void SimulatorCore::sendReply(std::size_t index, TimePoint now, unsigned delayMs) {
  if (std::optional<EcuBytes> reply = makeReply(index, now))
    enqueue(std::move(*reply), now + std::chrono::milliseconds(delayMs));
}

// Appends one byte to the output unless the line is about to close.
bool SimulatorCore::emit(std::uint8_t byte, EcuBytes& out) {
  if (closeNow_) return false;
  out.push_back(byte);
  if (closeAfter_ && --*closeAfter_ == 0) {
    closeAfter_.reset();
    closeNow_ = true;
  }
  return true;
}

bool SimulatorCore::drain(TimePoint now, EcuBytes& out) {
  bool sent = false;
  for (std::uint8_t byte : echo_) {
    if (!emit(byte, out)) break;
    sent = true;
  }
  echo_.clear();
  const Clock::duration gap = paceGap_ + byteDelay_;
  while (!queue_.empty()) {
    Chunk& chunk = queue_.front();
    TimePoint due = std::max(nextByteTime_, chunk.notBefore);
    if (due > now) break;
    if (!emit(chunk.bytes[chunk.pos], out)) break;
    sent = true;
    nextByteTime_ = due + gap;
    if (++chunk.pos == chunk.bytes.size()) queue_.pop_front();
  }
  return sent;
}

void SimulatorCore::finishAction() {
  ++scriptIndex_;
  actionStarted_ = false;
}

bool SimulatorCore::runScript(TimePoint now) {
  bool acted = false;
  for (int step = 0; step < kMaxStepsPerCall && scriptRunning_ && queue_.empty() && !closeNow_; ++step) {
    if (scriptIndex_ >= scenario_.script.size()) {
      if (!scenario_.loop || scenario_.script.empty()) {
        scriptRunning_ = false;
        return true;
      }
      if (now < roundStart_ + kMinRound) break;
      scriptIndex_ = 0;
      actionStarted_ = false;
      roundStart_ = now;
      acted = true;
    }
    const ScriptAction& action = scenario_.script[scriptIndex_];
    const bool starting = !actionStarted_;
    if (starting) {
      actionStarted_ = true;
      actionUntil_ = now + std::chrono::milliseconds(action.durationMs);
      repeatNext_ = now;
      acted = true;
    }
    switch (action.kind) {
      case ActionKind::Send:
        enqueue(action.bytes, now);
        finishAction();
        break;
      case ActionKind::SendReply:
        sendReply(action.exchange, now, 0);
        finishAction();
        break;
      case ActionKind::Packet160:
        enqueue(encodeSlowLinkPacket(action.bytes), now);
        finishAction();
        break;
      case ActionKind::Packet160Reply:
        if (std::optional<EcuBytes> reply = makeReply(action.exchange, now); reply && !reply->empty())
          enqueue(encodeSlowLinkPacket(*reply), now);
        finishAction();
        break;
      case ActionKind::Fault:
        applyFault(action.fault, now);
        finishAction();
        break;
      case ActionKind::Silence:
        if (now < actionUntil_) return acted;
        finishAction();
        acted = true;
        break;
      case ActionKind::Repeat:
        if (now >= actionUntil_) {
          finishAction();
          acted = true;
          break;
        }
        if (now < repeatNext_) return acted;
        enqueue(action.bytes, now);
        repeatNext_ += std::chrono::milliseconds(action.intervalMs);
        // After a late wake-up, carry on from now instead of sending a burst.
        if (repeatNext_ <= now) repeatNext_ = now + std::chrono::milliseconds(action.intervalMs);
        return true;
    }
  }
  return acted;
}

EcuBytes SimulatorCore::takeDue(TimePoint now) {
  EcuBytes out;
  for (int step = 0; step < kMaxStepsPerCall; ++step) {
    bool acted = runScript(now);
    bool sent = drain(now, out);
    if (!acted && !sent) break;
  }
  return out;
}

SimulatorCore::TimePoint SimulatorCore::nextWake(TimePoint now) const {
  if (closeNow_ || !echo_.empty()) return now;
  if (!queue_.empty()) return std::max(nextByteTime_, queue_.front().notBefore);
  if (!scriptRunning_) return TimePoint::max();
  if (scriptIndex_ >= scenario_.script.size()) return scenario_.loop ? roundStart_ + kMinRound : now;
  if (!actionStarted_) return now;
  const ScriptAction& action = scenario_.script[scriptIndex_];
  if (action.kind == ActionKind::Repeat) return std::min(actionUntil_, repeatNext_);
  if (action.kind == ActionKind::Silence) return actionUntil_;
  return now;
}

bool SimulatorCore::idle() const {
  if (!echo_.empty() || !queue_.empty()) return false;
  if (!scriptRunning_) return true;
  if (scriptIndex_ >= scenario_.script.size()) return !scenario_.loop;
  return actionStarted_ && scenario_.script[scriptIndex_].kind == ActionKind::Silence;
}
