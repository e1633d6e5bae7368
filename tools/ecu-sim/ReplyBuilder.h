#pragma once

// Builds the bytes of a reply at a given moment: the exchange's template with
// its dynamic fields and flag bits written in, and the checksum byte added.
// Also home of the generators that move the fields.
//
// Thread contract: one thread at a time (the simulator thread); the random
// walks keep state between calls.

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "tools/ecu-sim/EcuScenario.h"

// The byte that makes `bytes` plus itself sum to 0 modulo 256.
std::uint8_t aldlChecksum(const std::uint8_t* bytes, std::size_t count);

// Value of a time-driven field at `seconds` since the simulator started
// (every shape but RandomWalk, which answers its lower limit here).
double fieldValueAt(const DynamicField& field, double seconds);
// Whether the flag bits are set at `seconds`.
bool flagSetAt(const FlagBits& flag, double seconds);
// Stores the rounded value, kept within the field's limits, at its offset.
void writeFieldValue(const DynamicField& field, double value, std::uint8_t* reply);

class ReplyBuilder {
 public:
  ReplyBuilder(const EcuScenario& scenario);

  // The reply of exchange `index` at `seconds` since the start. Times must
  // not go backwards for the random walks to move sensibly.
  EcuBytes build(std::size_t index, double seconds);

 private:
  struct Walk {
    double value = 0.0;
    double lastSeconds = -1.0;
  };

  double walkValue(const DynamicField& field, Walk& walk, double seconds);

  const EcuScenario& scenario_;
  std::mt19937 random_;
  std::vector<std::vector<Walk>> walks_;  // per exchange, per field
};
