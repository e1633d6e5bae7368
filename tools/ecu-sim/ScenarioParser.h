#pragma once

// Reads scenario files for the simulated ECU. The format is described at the
// top of ScenarioParser.cpp. Errors come back as "FILE:LINE: message".
//
// Thread contract: free functions without shared state.

#include <string>
#include <string_view>

#include "tools/ecu-sim/EcuScenario.h"

// Parses `text`; `fileName` is only used in messages. On failure `error`
// holds the message and `scenario` is left unchanged.
bool parseScenario(std::string_view text, const std::string& fileName, EcuScenario& scenario,
                   std::string& error);
// Reads and parses a file (at most 1 MiB).
bool loadScenarioFile(const std::string& path, EcuScenario& scenario, std::string& error);
