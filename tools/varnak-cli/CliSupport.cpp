#include "tools/varnak-cli/CliSupport.h"

#include <cstring>
#include <ostream>

#include "analysis/AnalysisText.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXFile.h"
#include "definition/ADXKinds.h"
#include "definition/ADXObject.h"

bool LoadDefinitionForCli(ADXDefinition& def, const std::string& path, std::ostream& err,
                          AdxLoadReport* report) {
  AdxLoadReport local;
  if (report == nullptr) report = &local;
  if (LoadAdx(&def, path.c_str(), nullptr, 0, nullptr, report)) return true;
  std::string message = report->message.empty()
                            ? "not a definition file (no ADXFORMAT marker with a version before "
                              "the header)"
                            : report->message;
  if (report->line > 0) {
    err << path << ':' << report->line << ':' << report->column << ": " << message << '\n';
  } else {
    err << path << ": " << message << '\n';
  }
  return false;
}

std::string Latin1ToUtf8(std::string_view text) {
  return Latin1ToUtf8Text(text);
}

std::string CsvField(std::string_view text) {
  return CsvCell(text);
}

namespace {
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
}  // namespace

std::optional<std::vector<std::uint8_t>> ParseHexBytes(std::string_view text) {
  std::vector<std::uint8_t> bytes;
  std::size_t i = 0;
  while (i < text.size()) {
    if (IsSpace(text[i])) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && !IsSpace(text[end])) ++end;
    std::string_view token = text.substr(i, end - i);
    if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X')) token.remove_prefix(2);
    if (token.empty() || token.size() % 2 != 0) return std::nullopt;
    for (std::size_t k = 0; k < token.size(); k += 2) {
      int hi = HexDigit(token[k]);
      int lo = HexDigit(token[k + 1]);
      if (hi < 0 || lo < 0) return std::nullopt;
      bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    i = end;
  }
  return bytes;
}

std::string IdText(const ADXObject& object) {
  return object.id[0] ? std::string(object.id, strnlen(object.id, kAdxIdMaxLength)) : std::string("(no ID)");
}

const char* TypeName(const ADXObject& object) {
  const AdxKind* kind = FindAdxKind(object.objectType);
  // The table's names are literals, so data() is their terminated text.
  return kind != nullptr ? kind->name.data() : "object";
}
