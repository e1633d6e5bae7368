// GoogleTest printers for the program's result, state and type enums, so that
// a failed comparison shows "XdlResult 7 (EndOfData)" instead of raw bytes.
// Include it in every test that compares these values.
#pragma once

#include <ostream>

#include "common/DataAcqCallback.h"
#include "datalog/XdlFormat.h"
#include "definition/ADXValue.h"

inline const char* ResultName(XdlResult result) {
  switch (result) {
    case XdlResult::Ok:
      return "Ok";
    case XdlResult::Io:
      return "Io";
    case XdlResult::State:
      return "State";
    case XdlResult::NoEntry:
      return "NoEntry";
    case XdlResult::NoCallback:
      return "NoCallback";
    case XdlResult::EndOfData:
      return "EndOfData";
    case XdlResult::BufferSmall:
      return "BufferSmall";
    case XdlResult::InvalidArg:
      return "InvalidArg";
    case XdlResult::SeekFlag:
      return "SeekFlag";
    case XdlResult::SeekRefused:
      return "SeekRefused";
    case XdlResult::CannotOpen:
      return "CannotOpen";
    case XdlResult::Version:
      return "Version";
  }
  return "?";
}

inline const char* ResultName(XdlState state) {
  switch (state) {
    case XdlState::Closed:
      return "Closed";
    case XdlState::Ready:
      return "Ready";
    case XdlState::OpenRecord:
      return "OpenRecord";
    case XdlState::Playing:
      return "Playing";
    case XdlState::Recording:
      return "Recording";
    case XdlState::StopRequested:
      return "StopRequested";
  }
  return "?";
}

inline const char* ResultName(DaeStatus status) {
  switch (status) {
    case DaeStatus::Ok:
      return "Ok";
    case DaeStatus::BeginRefused:
      return "BeginRefused";
    case DaeStatus::Aborted:
      return "Aborted";
    case DaeStatus::Timeout:
      return "Timeout";
    case DaeStatus::WriteShort:
      return "WriteShort";
    case DaeStatus::ReadShort:
      return "ReadShort";
    case DaeStatus::ByteError:
      return "ByteError";
    case DaeStatus::NoSync:
      return "NoSync";
    case DaeStatus::MacroBreakSuccess:
      return "MacroBreakSuccess";
    case DaeStatus::MacroBreakFailure:
      return "MacroBreakFailure";
    case DaeStatus::SizeLimit:
      return "SizeLimit";
    case DaeStatus::BadChecksum:
      return "BadChecksum";
  }
  return "?";
}

inline void PrintTo(XdlResult result, std::ostream* out) {
  *out << "XdlResult " << static_cast<int>(result) << " (" << ResultName(result) << ")";
}

inline void PrintTo(XdlState state, std::ostream* out) {
  *out << "XdlState " << static_cast<int>(state) << " (" << ResultName(state) << ")";
}

inline void PrintTo(DaeStatus status, std::ostream* out) {
  *out << "DaeStatus " << static_cast<int>(status) << " (" << ResultName(status) << ")";
}

inline void PrintTo(OutputType type, std::ostream* out) {
  *out << "OutputType " << static_cast<int>(type);
}
