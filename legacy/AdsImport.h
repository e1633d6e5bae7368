// Import of a legacy ADS file into an ADX file: read, convert, save. The
// import command of varnak-cli is a thin shell around ImportAdsFile.
//
// Thread contract: the functions use only their arguments and the files
// they name; any thread may run an import.
#pragma once

#include <string>
#include <vector>

#include "legacy/AdsToAdx.h"

struct AdsImportResult {
  bool ok = false;
  // Why the import failed, one line naming the file; empty on success.
  std::string error;
  AdsConversionSummary summary;
  // What the reader repaired in the input ("line 12: ..."), then the
  // conversion's notes: warnings, never failures.
  std::vector<std::string> warnings;
};

// Reads the ADS file inPath, converts it and saves it as the ADX file
// outPath. An existing outPath is replaced only when replace is true;
// otherwise the import fails and the file is left as it was. A failed save
// never leaves a half-written or empty outPath behind.
AdsImportResult ImportAdsFile(const std::string& inPath, const std::string& outPath, bool replace);

// "N commands, N values, N bits, N tables converted" (with "1 command" and
// the like for single objects).
std::string ImportSummaryLine(const AdsConversionSummary& summary);
