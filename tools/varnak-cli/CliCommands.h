#pragma once
// The sub-commands of varnak-cli. Each takes the arguments after its name and
// writes its output to out and its messages to err; the result is the exit
// code (0 success, 1 failure, 2 wrong usage).
//
// Thread contract: called once, on the main thread.
#include <iosfwd>
#include <string>
#include <vector>

using CliArgs = std::vector<std::string>;

int RunInfo(const CliArgs& args, std::ostream& out, std::ostream& err);
int RunDecode(const CliArgs& args, std::ostream& out, std::ostream& err);
int RunImport(const CliArgs& args, std::ostream& out, std::ostream& err);

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
