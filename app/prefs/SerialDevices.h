// The serial devices present on this computer, for the preferences to offer:
// the stable names under /dev/serial/by-id, then the USB adapters (ttyUSB),
// the modem-class adapters (ttyACM) and the built-in ports (ttyS).
//
// Thread contract: plain function, callable from any thread.
#pragma once

#include <string>
#include <vector>

// Devices under devRoot (normally "/dev"), each group sorted by its number.
// Built-in ports are listed only when their driver reports a real port.
std::vector<std::string> ListSerialDevices(const std::string& devRoot = "/dev");
