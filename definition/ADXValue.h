#pragma once
// A number decoded from a reply packet: raw bytes, a conversion equation over
// the raw number and other values, and an optional lookup table, shown as
// text by its output type and digit count.
//
// Thread contract: configuration (equation, variables, flags, lookup table)
// is set on one thread while no acquisition runs. The acquisition thread and
// the GUI thread then decode the same values at the same time: the last raw
// value is atomic, and conversion keeps its variable values and its chain of
// linked values in caller-local storage, never in the object or its
// evaluator. Decoding allocates nothing.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "definition/ADXDecodeFlags.h"
#include "definition/ADXObject.h"
#include "definition/RawField.h"
#include "equation/EquationEvaluator.h"

class ADXDefinition;
class ADXLookupTable;

constexpr std::uint32_t kValueSigned = 0x1;
constexpr std::uint32_t kValueLsbFirst = 0x2;
constexpr std::uint32_t kValueAlarmHigh = 0x4;
constexpr std::uint32_t kValueAlarmLow = 0x8;

// How a value's number is shown, with the numbers the ADX file stores. A
// file may hold other numbers: they are kept as they are (and show no text),
// so a definition is written back unchanged; only the ADX reader and writer
// and the editor's menu convert to and from the number.
enum class OutputType : std::int32_t {
  Hex = 0,
  Integer = 1,
  Unsigned = 2,
  Float = 3,
  Percent = 4,  // percentage of the defined range
};

constexpr OutputType kOutputHex = OutputType::Hex;
constexpr OutputType kOutputInteger = OutputType::Integer;
constexpr OutputType kOutputUnsigned = OutputType::Unsigned;
constexpr OutputType kOutputFloat = OutputType::Float;
constexpr OutputType kOutputPercent = OutputType::Percent;

constexpr std::int32_t kVariableNative = 0;
constexpr std::int32_t kVariableLink = 1;

// Alarm states and the colours (0x00BBGGRR) the item lists show them in.
constexpr int kAlarmNone = 0;
constexpr int kAlarmHigh = 1;
constexpr int kAlarmLow = 2;
constexpr std::uint32_t kAlarmHighColor = 0x000000FFu;
constexpr std::uint32_t kAlarmLowColor = 0x004080FFu;

// Links deeper than this are treated as missing, so that a long chain of
// linked values cannot exhaust a thread's stack.
constexpr int kMaxLinkDepth = 64;

struct ValueVariable {
  std::int32_t kind = kVariableNative;
  char varID = 0;              // the variable letter
  std::uint32_t linkhash = 0;  // idhash of the linked value for kind link, else 0
};

class ADXValue : public ADXObject {
 public:
  ADXValue();
  // Writes the object as its ADX element; 0 for no writer or a failed write.
  int WriteXml(XmlWriter* writer) const override;
  void ReadXmlChild(AdxXmlIn& in) override;

  void SetUnits(const char* text, std::size_t length);
  // Copies the units (cut to size - 1); returns the number copied + 1.
  std::size_t GetUnits(char* buffer, std::size_t size) const;

  // Hands the text to the evaluator, then rebuilds variables: one native
  // entry per letter occurrence, in the order the letters stand in the text.
  // Returns the evaluator's result (1 converted, 0 refused).
  int SetEquation(const char* text, std::size_t length);
  int GetEquation(char* buffer, std::size_t capacity) const { return equation.GetEquation(buffer, capacity); }
  // Updates the first variable with letter varID; 0 when there is none.
  int SetVariableSource(char varID, std::int32_t kind, std::uint32_t linkhash);
  const ValueVariable* GetVariable(int index) const;
  int VariableCount() const { return static_cast<int>(variables.size()); }

  // Stage 1: the raw word at packetoffset (or offset with kDecodeAtOffset),
  // stored as the last raw value. No packet, or bytes past its end: the last
  // raw value, unchanged.
  std::int32_t ExtractRaw(const std::uint8_t* packet, std::size_t length, std::uint32_t offset,
                          std::uint32_t callFlags);
  // The raw word read as signed (sign-extended from 8, 16 or 32 bits; other
  // sizes give 0.0) or unsigned.
  double RawToNumber(const std::uint8_t* packet, std::size_t length, std::uint32_t offset,
                     std::uint32_t callFlags);
  double RawWordToNumber(std::int32_t raw) const;
  // Stages 2 to 4: variables, equation, lookup table. definition finds linked values.
  double Convert(const ADXDefinition* definition, const std::uint8_t* packet, std::size_t length,
                 std::uint32_t offset, std::uint32_t callFlags);
  // Writes the output text into buffer and returns the number shown. With no
  // buffer (or size 0) only converts, without the lookup stage.
  double Format(char* buffer, std::size_t size, const ADXDefinition* definition, const std::uint8_t* packet,
                std::size_t length, std::uint32_t offset, std::uint32_t callFlags);

  // kAlarmHigh, kAlarmLow or kAlarmNone for the output number (high tested first).
  int AlarmStateOf(double output) const;
  // The alarm state of the current output, converted from the last raw values.
  int AlarmState(const ADXDefinition* definition);

  std::int32_t LastRaw() const { return lastraw.load(std::memory_order_relaxed); }
  void SetLastRaw(std::int32_t raw) { lastraw.store(raw, std::memory_order_relaxed); }
  // The datatype/unittype key by which a value is found (datatype high).
  std::uint32_t TypeKey() const { return (static_cast<std::uint32_t>(datatype) << 16) | unittype; }

  std::uint32_t flags = 0;
  std::uint32_t parentcmdidhash = 0;
  std::uint32_t packetoffset = 0;
  std::int32_t sizeinbits = 8;
  // Beside the decoding fields, so that decoding a packet touches one line.
  std::atomic<std::int32_t> lastraw{0};
  OutputType outputtype = kOutputFloat;
  std::uint8_t digcount = 2;
  EquationEvaluator equation;
  std::vector<ValueVariable> variables;
  std::string units;  // empty = none
  float alarmlow = 0.0f;
  float alarmhigh = 255.0f;
  float rangelow = 0.0f;
  float rangehigh = 255.0f;
  std::uint16_t unittype = 0;
  std::uint16_t datatype = 0;
  std::uint32_t lookupidhash = 0;
  ADXLookupTable* lookup = nullptr;  // not owned; resolved from lookupidhash

 private:
  struct Chain;
  double ConvertOnChain(const ADXDefinition* definition, const std::uint8_t* packet, std::size_t length,
                        std::uint32_t offset, std::uint32_t callFlags, const Chain* chain);
};

// Inline: every value of every packet passes here.
inline std::int32_t ADXValue::ExtractRaw(const std::uint8_t* packet, std::size_t length, std::uint32_t offset,
                                         std::uint32_t callFlags) {
  const std::uint32_t at = (callFlags & kDecodeAtOffset) ? offset : packetoffset;
  const bool swap = !(callFlags & kDecodeNoSwap) && !(flags & kValueLsbFirst) && sizeinbits > 8;
  std::uint32_t word = 0;
  if (!ReadRawField(packet, length, at, sizeinbits, swap, &word)) return LastRaw();
  const auto raw = static_cast<std::int32_t>(word);
  SetLastRaw(raw);
  return raw;
}
