// The texts of the status line, as pure functions of the acquisition and log
// state, so that every caller (window, command-line tool, tests) shows the
// same thing.
//
// Thread contract: pure functions, callable from any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "datalog/XdlFormat.h"

struct StatusLineInput {
  XdlState logState = XdlState::Closed;  // DataLogFile state
  std::int32_t connectionState = 2;      // ConnectionState
  double rate = 0.0;                     // packets per second
  std::int32_t errorCount = 0;
  std::uint32_t logTimeMs = 0;  // time in the log being played or recorded
};

// "Log Playing", "Log Recording", or the connection state's own text.
std::string StatusStateText(XdlState logState, std::int32_t connectionState);
// The text of one connection state; an unknown state gives an empty text.
std::string ConnectionStateText(std::int32_t connectionState);
// The figures field: the rate and the error count while connected; the rate
// and the log time while a log plays or records; empty when not connected;
// nullopt when the field keeps what it shows.
std::optional<std::string> StatusFiguresText(const StatusLineInput& input);
// Window title: "Varnak - ADX: %s  XDL: %s (Speed: %i%%)" with the short forms
// of both paths and the speed factor x 100 cut to an integer.
std::string WindowTitleText(const std::string& definitionPath, const std::string& logPath, float speed);
// The last two components of a path ("folder/file.adx"); "\" and "/" both
// separate.
std::string ShortPathForm(const std::string& path);
