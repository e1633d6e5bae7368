#include "legacy/AdsImport.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "definition/ADXDefinition.h"
#include "definition/ADXFile.h"
#include "legacy/ALDLDefinition.h"
#include "legacy/AdsMessage.h"
#include "legacy/AdsReader.h"

namespace {

std::string Counted(int count, const char* singular, const char* plural) {
  return std::to_string(count) + " " + (count == 1 ? singular : plural);
}

// Claims outPath for a new file: creates it empty only when no file of that
// name exists, in one step, so that a file that appears meanwhile is never
// overwritten. The save then replaces this empty placeholder.
bool ClaimNewFile(const std::string& path, std::string& error) {
  std::FILE* file = std::fopen(path.c_str(), "wbx");
  if (file == nullptr) {
    const int code = errno;
    if (code == EEXIST) {
      error = "\"" + path + "\" already exists; use --force to replace it";
    } else {
      error = "cannot write \"" + path + "\": " + std::strerror(code);
    }
    return false;
  }
  std::fclose(file);
  return true;
}

}  // namespace

std::string ImportSummaryLine(const AdsConversionSummary& summary) {
  return Counted(summary.commands, "command", "commands") + ", " +
         Counted(summary.values, "value", "values") + ", " + Counted(summary.bits, "bit", "bits") + ", " +
         Counted(summary.tables, "table", "tables") + " converted";
}

AdsImportResult ImportAdsFile(const std::string& inPath, const std::string& outPath, bool replace) {
  AdsImportResult result;
  ALDLDefinition legacy;
  AdsMessageLog log;
  if (!LoadAds(inPath, legacy, &log)) {
    result.error = log.Empty() ? "cannot read \"" + inPath + "\"" : log.Messages().back().text;
    return result;
  }
  // Every file written by the legacy editor starts with a header that gives
  // the format version; without one, the input is no ADS definition at all.
  if (legacy.formatVersion == 0.0f) {
    result.error =
        "\"" + inPath + "\" is not an ADS definition: it has no header record with a format version";
    return result;
  }
  for (const AdsMessage& message : log.Messages()) result.warnings.push_back(message.ToString());

  ADXDefinition definition;
  ConvertAdsToAdx(&definition, &legacy, &result.summary);
  for (const std::string& note : result.summary.notes) result.warnings.push_back(note);

  const bool claimed = !replace;
  if (claimed && !ClaimNewFile(outPath, result.error)) return result;
  if (!SaveAdx(&definition, outPath.c_str(), nullptr)) {
    if (claimed) std::remove(outPath.c_str());
    result.error = "cannot write \"" + outPath + "\"";
    return result;
  }
  result.ok = true;
  return result;
}
