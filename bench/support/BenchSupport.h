// What the benchmarks share: a synthetic log of one command, and timing that
// a neighbour's burst on a shared machine does not decide.
//
// Thread contract: plain functions on the calling thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class ADXDefinition;
class ADXValue;

// Records `count` packets of `packetSize` bytes for the command `hash`
// (entry "DATA", every byte stored) into a new log at xdl. Byte i of record r
// is r * 7 + i * 13 (+ r / 1024 with drift, so that values wander slowly).
bool WriteSyntheticLog(const std::string& xdl, std::uint32_t hash, std::uint32_t count, int packetSize,
                       bool drift = false);

// Adds the command "DATA" (a reply of packetSize bytes read whole) and
// `items` items bound to it: four values in five (8- and 16-bit, equations
// X*0.75-40 and X/2.55; every fourth with whole-number output when
// mixedOutputs), a bitmask in five (texts ON/OFF with texts). With monitor the
// command is the monitor command. Returns the command's hash; *values, when
// given, receives the values in order.
std::uint32_t AddSyntheticItems(ADXDefinition& def, int items, int packetSize, bool monitor, bool texts,
                                bool mixedOutputs, std::vector<ADXValue*>* values = nullptr);

// Processor time of every thread of the process, in seconds.
double ProcessCpuSeconds();

struct Timing {
  double wall = -1.0;  // seconds; negative when a run failed
  double cpu = -1.0;   // processor seconds of that run, all threads
};

// The best wall-clock time of three runs, and the processor time of that
// run (which does not depend on what else the machine runs).
Timing BestOfThree(const std::function<bool()>& run);
