#include "definition/ADXFile.h"

#include <cstring>

#include "definition/ADXDefinition.h"
#include "definition/ADXParser.h"
#include "definition/ADXXmlOut.h"
#include "definition/AdxFileSystem.h"
#include "definition/IProgress.h"
#include "definition/NumberText.h"
#include "xml/XmlResult.h"
#include "xml/XmlSaxParser.h"
#include "xml/XmlWriter.h"

namespace {

bool WriteHeader(XmlWriter& w, const ADXDefinition& def) {
  bool ok = w.BeginElement("ADXHEADER");
  ok = w.ElementText("flags", adxxml::Hex2(def.flags)) && ok;
  ok = w.ElementInt("objectcount", static_cast<int32_t>(def.ObjectCount())) && ok;
  if (!def.userversion.empty()) ok = adxxml::TextChild(w, "userversion", def.userversion) && ok;
  if (!def.author.empty()) ok = adxxml::TextChild(w, "author", def.author) && ok;
  if (!def.desc.empty()) ok = adxxml::TextChild(w, "desc", def.desc) && ok;
  ok = w.ElementInt("baud", def.baud) && ok;
  if (def.connectcmd) ok = w.ElementText("connectcmd", adxxml::IdRef(*def.connectcmd)) && ok;
  if (def.monitorcmd) ok = w.ElementText("monitorcmd", adxxml::IdRef(*def.monitorcmd)) && ok;
  if (def.disconnectcmd) ok = w.ElementText("disconnectcmd", adxxml::IdRef(*def.disconnectcmd)) && ok;
  return w.EndElement() && ok;
}

bool WriteDefinition(XmlWriter& w, const ADXDefinition& def, IProgress* progress) {
  w.SetIndent(4);
  bool ok = w.BeginElement("ADXFORMAT");
  ok = w.Attribute("version", FixedText(kAdxFormatVersion, 2)) && ok;
  ok = w.EndElement() && ok;
  ok = w.Comment(adxfs::WrittenTimeText(), false) && ok;
  ok = WriteHeader(w, def) && ok;
  if (progress) progress->SetRange(0, static_cast<int>(def.ObjectCount()));
  for (std::size_t i = 0; i < def.ObjectCount() && ok; ++i) {
    const ADXObject* object = def.ObjectAt(i);
    if (object != nullptr) {
      ok = w.Text("\n") && ok;
      ok = object->WriteXml(&w) != 0 && ok;
    }
    if (progress) progress->Step();
  }
  return ok;
}

int FinishLoad(const ADXParser& parser, const XmlSaxParser& xml, int32_t result, IProgress* progress,
               AdxLoadReport* error) {
  if (progress) progress->SetPos(0);
  if (error != nullptr) error->unresolved = parser.Unresolved();
  if (result == kXmlOk && parser.VersionAccepted() && !parser.HasError()) return 1;
  if (error != nullptr) {
    error->message = parser.ErrorMessage();
    if (error->message.size() > ADXParser::kErrorMax) error->message.resize(ADXParser::kErrorMax);
    if (result == kXmlErrorSyntax) {
      error->line = xml.ErrorLine();
      error->column = xml.ErrorColumn();
    } else if (result == kXmlOk && parser.HasError()) {
      error->line = parser.ErrorLine();
      error->column = parser.ErrorColumn();
    } else {
      error->line = 0;
      error->column = 0;
    }
  }
  return 0;
}

}  // namespace

int SaveAdx(const ADXDefinition* definition, const char* path, IProgress* progress) {
  if (definition == nullptr || path == nullptr || path[0] == '\0') {
    if (progress) progress->SetPos(0);
    return 0;
  }
  const std::string target = adxfs::SaveTarget(path);
  const std::string temporary = adxfs::TemporaryBeside(target);
  XmlWriter writer;
  bool ok = writer.Open(temporary.c_str());
  if (ok) {
    ok = WriteDefinition(writer, *definition, progress);
    ok = writer.Close() && ok;
    // Only a complete file replaces the old one; anything else leaves it alone.
    ok = ok && adxfs::ReplaceFile(temporary, target);
    if (!ok) adxfs::RemoveFile(temporary);
  }
  if (progress) progress->SetPos(0);
  return ok ? 1 : 0;
}

int LoadAdx(ADXDefinition* definition, const char* path, char* errorText, std::size_t errorSize,
            IProgress* progress, AdxLoadReport* error) {
  AdxLoadReport local;
  if (error == nullptr) error = &local;
  *error = AdxLoadReport{};
  if (errorText != nullptr && errorSize > 0) errorText[0] = '\0';
  if (definition == nullptr) return 0;
  definition->Clear();
  int ok = 0;
  if (path == nullptr) {
    error->message = "Error opening file";
    if (progress) progress->SetPos(0);
  } else {
    ADXParser parser(definition, progress);
    XmlSaxParser xml;
    xml.SetCallback(&parser);
    const int32_t result = xml.Parse(path);
    ok = FinishLoad(parser, xml, result, progress, error);
  }
  if (!ok && errorText != nullptr && errorSize > 0) {
    std::size_t n = error->message.size();
    if (n > errorSize - 1) n = errorSize - 1;
    std::memcpy(errorText, error->message.data(), n);
    errorText[n] = '\0';
  }
  return ok;
}

int LoadAdxFromMemory(ADXDefinition* definition, const void* data, std::size_t size, const char* displayName,
                      IProgress* progress, AdxLoadReport* error) {
  AdxLoadReport local;
  if (error == nullptr) error = &local;
  *error = AdxLoadReport{};
  if (definition == nullptr) return 0;
  definition->Clear();
  ADXParser parser(definition, progress);
  XmlSaxParser xml;
  xml.SetCallback(&parser);
  const int32_t result = xml.ParseMemory(data, size, displayName);
  return FinishLoad(parser, xml, result, progress, error);
}
