#pragma once
// Loading and saving ADX definition files.
//
// A file holds, with no enclosing root element: the ADXFORMAT marker with its
// version, a comment with the time of saving, the ADXHEADER element and one
// element per definition object, each written by the object's own WriteXml.
//
// Thread contract: one load or save runs on the calling thread; the
// definition must not be used by any other thread meanwhile (acquisition
// stopped). The progress indicator is called on the same thread.
#include <cstddef>
#include <string>
#include <vector>

class ADXDefinition;
class IProgress;

// The format version written by SaveAdx, and the oldest one LoadAdx accepts.
constexpr double kAdxFormatVersion = 0.5;

// What a load found. On failure: the message, with line and column 0 when
// the failure has no place in the file (the file could not be opened, the
// format marker is missing). On success as well: the references that did not
// resolve, one line each ("COOLANT: lookup table 0x12345678 not found"), for
// tools that check definitions.
struct AdxLoadReport {
  std::string message;  // at most 255 characters; may be empty
  int line = 0;
  int column = 0;
  std::vector<std::string> unresolved;
};

// Writes the definition to path and returns 1, or 0 when no path is given or
// anything could not be written. The file is written beside the target under
// a temporary name and renamed over the target only when it is complete, so a
// failed save leaves an existing file untouched. progress (may be null) gets
// the range 0 to the number of list entries, a step per entry and position 0
// at the end (also on failure).
int SaveAdx(const ADXDefinition* definition, const char* path, IProgress* progress);

// Clears the definition and reads the file into it. Returns 1 on success, 0
// on failure; on failure errorText (when given) receives the message, cut to
// errorSize - 1 (at most 255 characters; empty when the failure has no
// message), and error (when given) the message with its place. error also
// receives the unresolved references of a successful load. Objects read
// before a failure stay in the definition with their references unresolved.
// progress gets the range 0 to objectcount + commandcount when the header
// ends, a step per object element and position 0 at the end.
int LoadAdx(ADXDefinition* definition, const char* path, char* errorText, std::size_t errorSize,
            IProgress* progress, AdxLoadReport* error = nullptr);

// The same for a file held in memory; displayName names it in messages.
int LoadAdxFromMemory(ADXDefinition* definition, const void* data, std::size_t size, const char* displayName,
                      IProgress* progress, AdxLoadReport* error = nullptr);
