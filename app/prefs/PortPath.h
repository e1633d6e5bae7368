// The port number of a serial device path: the number at its end, one or two
// digits ("/dev/ttyUSB0" is 0, "/dev/ttyS12" is 12). The preferences show it
// and change it; the rest of the path stays as it is.
//
// Thread contract: pure functions, callable from any thread.
#pragma once

#include <optional>
#include <string>

// The trailing number (its last two digits at most); none without a digit.
std::optional<int> PortNumberOf(const std::string& path);
// The path with its trailing number (one or two digits) replaced by number.
// A path that ends in no digit has no port number to change, and numbers
// outside 0 to 99 are no port numbers: both leave the path unchanged.
std::string WithPortNumber(const std::string& path, int number);
