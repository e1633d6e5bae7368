#include "tools/ecu-sim/ReplyBuilder.h"

#include <algorithm>
#include <cmath>
#include <numbers>

std::uint8_t aldlChecksum(const std::uint8_t* bytes, std::size_t count) {
  unsigned sum = 0;
  for (std::size_t i = 0; i < count; ++i) sum += bytes[i];
  return static_cast<std::uint8_t>((256 - (sum & 0xFF)) & 0xFF);
}

namespace {

// Position within the current period, 0 to just below 1.
double periodFraction(double seconds, double periodMs, double phase) {
  double x = seconds * 1000.0 / periodMs + phase;
  if (!std::isfinite(x)) return 0.0;  // an absurdly short period: hold the start value
  double f = x - std::floor(x);
  return f < 0.0 ? 0.0 : (f >= 1.0 ? 0.0 : f);
}

}  // namespace

double fieldValueAt(const DynamicField& field, double seconds) {
  const double lo = field.minimum, hi = field.maximum, span = hi - lo;
  const double f = periodFraction(seconds, field.periodMs, field.phase);
  switch (field.shape) {
    case FieldShape::Constant:
    case FieldShape::RandomWalk:
      return lo;
    case FieldShape::Ramp:
      return lo + span * f;
    case FieldShape::Triangle:
      return f < 0.5 ? lo + span * 2.0 * f : hi - span * (2.0 * f - 1.0);
    case FieldShape::Sine:
      return lo + span * 0.5 * (1.0 + std::sin(2.0 * std::numbers::pi * f));
    case FieldShape::Step:
      return f < 0.5 ? lo : hi;
  }
  return lo;
}

bool flagSetAt(const FlagBits& flag, double seconds) {
  return periodFraction(seconds, flag.periodMs, flag.phase) < flag.duty;
}

void writeFieldValue(const DynamicField& field, double value, std::uint8_t* reply) {
  const double largest = std::ldexp(1.0, static_cast<int>(8 * field.size)) - 1.0;
  if (!std::isfinite(value)) value = field.minimum;
  value = std::clamp(value, field.minimum, field.maximum);
  value = std::clamp(std::round(value), 0.0, largest);
  auto raw = static_cast<std::uint32_t>(value);
  for (std::size_t i = 0; i < field.size; ++i) {
    std::size_t shift = 8 * (field.bigEndian ? field.size - 1 - i : i);
    reply[field.offset + i] = static_cast<std::uint8_t>((raw >> shift) & 0xFF);
  }
}

ReplyBuilder::ReplyBuilder(const EcuScenario& scenario) : scenario_(scenario), random_(scenario.seed) {
  walks_.resize(scenario.exchanges.size());
  for (std::size_t i = 0; i < scenario.exchanges.size(); ++i) {
    walks_[i].resize(scenario.exchanges[i].fields.size());
    for (std::size_t k = 0; k < walks_[i].size(); ++k) {
      const DynamicField& field = scenario.exchanges[i].fields[k];
      walks_[i][k].value = (field.minimum + field.maximum) / 2.0;
    }
  }
}

double ReplyBuilder::walkValue(const DynamicField& field, Walk& walk, double seconds) {
  if (walk.lastSeconds >= 0.0) {
    // Each step is at most the share of the range that the elapsed time is
    // of the period; a gap longer than a period counts as one period.
    double dt = std::clamp(seconds - walk.lastSeconds, 0.0, field.periodMs / 1000.0);
    double reach = (field.maximum - field.minimum) * dt * 1000.0 / field.periodMs;
    std::uniform_real_distribution<double> step(-1.0, 1.0);
    walk.value += step(random_) * reach;
    // Reflect at the limits so the walk does not stick to one of them.
    if (walk.value > field.maximum) walk.value = 2.0 * field.maximum - walk.value;
    if (walk.value < field.minimum) walk.value = 2.0 * field.minimum - walk.value;
    walk.value = std::clamp(walk.value, field.minimum, field.maximum);
  }
  walk.lastSeconds = seconds;
  return walk.value;
}

EcuBytes ReplyBuilder::build(std::size_t index, double seconds) {
  const Exchange& exchange = scenario_.exchanges.at(index);
  EcuBytes reply = exchange.reply;
  for (std::size_t k = 0; k < exchange.fields.size(); ++k) {
    const DynamicField& field = exchange.fields[k];
    if (field.offset + field.size > reply.size()) continue;  // rejected by validate(); never written outside
    double value = field.shape == FieldShape::RandomWalk ? walkValue(field, walks_[index][k], seconds)
                                                         : fieldValueAt(field, seconds);
    writeFieldValue(field, value, reply.data());
  }
  for (const FlagBits& flag : exchange.flags) {
    if (flag.offset >= reply.size()) continue;
    if (flagSetAt(flag, seconds))
      reply[flag.offset] |= flag.mask;
    else
      reply[flag.offset] &= static_cast<std::uint8_t>(~flag.mask);
  }
  if (exchange.appendChecksum) reply.push_back(aldlChecksum(reply.data(), reply.size()));
  return reply;
}
