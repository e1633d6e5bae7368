// Feeds arbitrary bytes to the XML parser and checks what the callbacks see:
// every string lies within the parser's limits and can be read whole, errors
// are reported exactly once and are the last event, and a successful parse
// ends with EndDocument.
#include <cstdint>
#include <cstdlib>

#include "xml/XmlSaxParser.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

class CheckingCallback : public ISAXCallback {
 public:
  int errors = 0;
  int endDocuments = 0;
  int afterError = 0;
  bool inCData = false;
  uint32_t checksum = 0;

  int32_t StartDocument() override { return Event(); }
  int32_t EndDocument() override {
    ++endDocuments;
    return Event();
  }
  int32_t StartElement(const char16_t* name, int32_t nameLength, const SAXAttribute* attributes,
                       int32_t count) override {
    Require(count >= 0 && count <= XmlSaxParser::kMaxAttributes);
    int32_t total = Touch(name, nameLength);
    Require(nameLength > 0);
    for (int32_t i = 0; i < count; ++i) {
      Require(attributes[i].nameLength > 0);
      total += Touch(attributes[i].name, attributes[i].nameLength);
      total += Touch(attributes[i].value, attributes[i].valueLength);
    }
    Require(total <= XmlSaxParser::kTagBufferSize);
    return Event();
  }
  int32_t Characters(const char16_t* text, int32_t length, bool) override {
    Require(length > 0);
    Touch(text, length);
    return Event();
  }
  int32_t EndElement(const char16_t* name, int32_t nameLength) override {
    Require(nameLength > 0);
    Touch(name, nameLength);
    return Event();
  }
  int32_t StartCData() override {
    Require(!inCData);
    inCData = true;
    return Event();
  }
  int32_t CData(const char16_t* text, int32_t length, bool) override {
    Require(inCData);
    Touch(text, length);
    return Event();
  }
  int32_t EndCData() override {
    Require(inCData);
    inCData = false;
    return Event();
  }
  int32_t Error(int32_t code, const char* message) override {
    Require(code == kXmlErrorSyntax || code == kXmlErrorFile);
    Require(message != nullptr && message[0] != '\0');
    Require(line >= 1 && column >= 0);
    ++errors;
    return 0;
  }

 private:
  int32_t Event() {
    if (errors > 0) ++afterError;
    return 0;
  }
  int32_t Touch(const char16_t* text, int32_t length) {
    Require(length >= 0 && length <= XmlSaxParser::kTagBufferSize);
    Require(length == 0 || text != nullptr);
    for (int32_t i = 0; i < length; ++i) checksum = checksum * 31u + text[i];
    return length;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckingCallback callback;
  XmlSaxParser parser;
  parser.SetCallback(&callback);
  const int32_t result = parser.ParseMemory(data, size, "fuzz.xml");
  Require(callback.afterError == 0);
  Require(callback.fileName == nullptr);
  if (result == kXmlOk) {
    Require(callback.errors == 0 && callback.endDocuments == 1 && !callback.inCData);
  } else {
    Require(result == kXmlErrorSyntax);
    Require(callback.errors == 1 && callback.endDocuments == 0);
    Require(!parser.ErrorMessage().empty() &&
            parser.ErrorMessage().size() <= XmlSaxParser::kMaxMessageLength);
  }
  return 0;
}
