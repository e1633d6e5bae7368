#include "definition/ADXValue.h"

#include <cstdio>
#include <cstring>

#include "definition/ADXDefinition.h"
#include "definition/ADXLookupTable.h"
#include "definition/ADXText.h"
#include "definition/NumberText.h"

// The values being converted on the current chain of links, innermost first.
// It lives on the converting thread's stack, so two threads converting the
// same values never see each other's chains.
struct ADXValue::Chain {
  const ADXValue* value;
  const Chain* outer;
  int depth;

  bool Holds(const ADXValue* v) const {
    for (const Chain* c = this; c != nullptr; c = c->outer) {
      if (c->value == v) return true;
    }
    return false;
  }
};

ADXValue::ADXValue() {
  objectType = ADX_TYPE_VALUE;
}

void ADXValue::SetUnits(const char* text, std::size_t length) {
  AssignText(units, text, length);
}

std::size_t ADXValue::GetUnits(char* buffer, std::size_t size) const {
  return CopyTextOut(units, buffer, size) + 1;
}

int ADXValue::SetEquation(const char* text, std::size_t length) {
  const int result = equation.SetEquation(text, length);
  variables.clear();
  const unsigned count = equation.VariableCount();
  variables.reserve(count);
  for (unsigned i = 0; i < count; ++i) {
    ValueVariable v;
    v.varID = equation.VariableLetter(i);
    variables.push_back(v);
  }
  return result;
}

int ADXValue::SetVariableSource(char varID, std::int32_t kind, std::uint32_t linkhash) {
  for (ValueVariable& v : variables) {
    if (v.varID == varID) {
      v.kind = kind;
      v.linkhash = linkhash;
      return 1;
    }
  }
  return 0;
}

const ValueVariable* ADXValue::GetVariable(int index) const {
  if (index < 0 || index >= VariableCount()) return nullptr;
  return &variables[static_cast<std::size_t>(index)];
}

double ADXValue::RawWordToNumber(std::int32_t raw) const {
  if (flags & kValueSigned) {
    switch (sizeinbits) {
      case 8:
        return static_cast<std::int8_t>(static_cast<std::uint8_t>(raw));
      case 16:
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(raw));
      case 32:
        return raw;
      default:
        return 0.0;
    }
  }
  return static_cast<std::uint32_t>(raw);
}

double ADXValue::RawToNumber(const std::uint8_t* packet, std::size_t length, std::uint32_t offset,
                             std::uint32_t callFlags) {
  return RawWordToNumber(ExtractRaw(packet, length, offset, callFlags));
}

double ADXValue::Convert(const ADXDefinition* definition, const std::uint8_t* packet, std::size_t length,
                         std::uint32_t offset, std::uint32_t callFlags) {
  return ConvertOnChain(definition, packet, length, offset, callFlags, nullptr);
}

double ADXValue::ConvertOnChain(const ADXDefinition* definition, const std::uint8_t* packet,
                                std::size_t length, std::uint32_t offset, std::uint32_t callFlags,
                                const Chain* outer) {
  const Chain chain{this, outer, outer ? outer->depth + 1 : 0};
  // One value per distinct letter; the last entry for a letter wins.
  double slots[EquationEvaluator::kMaxVariables] = {};
  const int slotCount = static_cast<int>(equation.SlotCount());
  // The evaluator refuses equations with more letters than this; never hand
  // it a table shorter than it reads.
  if (slotCount > static_cast<int>(EquationEvaluator::kMaxVariables)) return 0.0;
  double v = 0.0;
  for (const ValueVariable& var : variables) {
    if (var.kind == kVariableLink) {
      ADXObject* linked = definition ? definition->FindByHash(var.linkhash) : nullptr;
      if (linked != nullptr && linked->objectType == ADX_TYPE_VALUE) {
        auto* other = static_cast<ADXValue*>(linked);
        // A link back into a value already on this chain would recurse
        // without end; like a chain too deep, it counts as a missing link.
        if (!chain.Holds(other) && chain.depth < kMaxLinkDepth) {
          const bool samePacket = other->parentcmdidhash == parentcmdidhash;
          v = other->ConvertOnChain(definition, samePacket ? packet : nullptr, samePacket ? length : 0,
                                    offset, callFlags, &chain);
        }
      }
    } else {
      v = RawToNumber(packet, length, offset, callFlags);
    }
    const int slot = equation.SlotOf(var.varID);
    if (slot >= 0 && slot < slotCount) slots[slot] = v;
  }
  double result = equation.EvaluateSlots(slots);
  if (lookup != nullptr && !(callFlags & kDecodeNoLookup)) {
    result = lookup->LookupNumber(static_cast<float>(result));
  }
  return result;
}

double ADXValue::Format(char* buffer, std::size_t size, const ADXDefinition* definition,
                        const std::uint8_t* packet, std::size_t length, std::uint32_t offset,
                        std::uint32_t callFlags) {
  double n = Convert(definition, packet, length, offset, callFlags | kDecodeNoLookup);
  if (buffer == nullptr || size == 0) return n;
  buffer[0] = '\0';
  if (lookup != nullptr && !(callFlags & kDecodeNoLookup)) {
    double shown = n;
    lookup->LookupFormat(static_cast<float>(n), buffer, size, &shown, digcount);
    return shown;
  }
  switch (outputtype) {
    case kOutputHex:
      FormatHex(buffer, size, TruncToUInt32Bits(n), digcount);
      break;
    case kOutputInteger:
      FormatInt(buffer, size, TruncToInt32(n), digcount);
      break;
    case kOutputUnsigned:
      FormatUnsigned(buffer, size, TruncToUInt32Bits(n), digcount);
      break;
    case kOutputFloat:
      FormatFixed(buffer, size, n, digcount);
      break;
    default:
      break;  // percentage of range and unknown types write no text
  }
  return n;
}

int ADXValue::AlarmStateOf(double output) const {
  if ((flags & kValueAlarmHigh) && output > alarmhigh) return kAlarmHigh;
  if ((flags & kValueAlarmLow) && output < alarmlow) return kAlarmLow;
  return kAlarmNone;
}

int ADXValue::AlarmState(const ADXDefinition* definition) {
  return AlarmStateOf(Convert(definition, nullptr, 0, 0, 0));
}
