// A callback that writes every event as one line of text, so that tests can
// compare whole event sequences. Characters above 0x7E are shown as \uXXXX.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "xml/ISAXCallback.h"

class RecordingCallback : public ISAXCallback {
 public:
  std::vector<std::string> events;
  int errorCount = 0;
  int32_t errorCode = 0;
  std::string errorMessage;
  int32_t errorLine = 0;
  int32_t errorColumn = 0;
  std::string fileNameSeen;
  // Event name ("SE", "CH", ...) that answers with a negative result.
  std::string abortOn;

  static std::string Show(const char16_t* text, int32_t length) {
    std::string shown;
    for (int32_t i = 0; i < length; ++i) {
      char16_t c = text[i];
      if (c >= 0x20 && c < 0x7F) {
        shown.push_back(static_cast<char>(c));
      } else {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
        shown += escaped;
      }
    }
    return shown;
  }

  int32_t StartDocument() override {
    if (fileName != nullptr) fileNameSeen = fileName;
    return Record("SD");
  }
  int32_t EndDocument() override { return Record("ED"); }
  int32_t StartElement(const char16_t* name, int32_t nameLength, const SAXAttribute* attributes,
                       int32_t count) override {
    std::string line = "SE " + Show(name, nameLength);
    for (int32_t i = 0; i < count; ++i) {
      line += " " + Show(attributes[i].name, attributes[i].nameLength) + "=[" +
              Show(attributes[i].value, attributes[i].valueLength) + "]";
    }
    return Record(line, "SE");
  }
  int32_t Characters(const char16_t* text, int32_t length, bool more) override {
    return Record("CH [" + Show(text, length) + "]" + (more ? " more" : ""), "CH");
  }
  int32_t EndElement(const char16_t* name, int32_t nameLength) override {
    return Record("EE " + Show(name, nameLength), "EE");
  }
  int32_t StartCData() override { return Record("SC"); }
  int32_t CData(const char16_t* text, int32_t length, bool more) override {
    return Record("CD [" + Show(text, length) + "]" + (more ? " more" : ""), "CD");
  }
  int32_t EndCData() override { return Record("EC"); }
  int32_t Error(int32_t code, const char* message) override {
    ++errorCount;
    errorCode = code;
    errorMessage = message;
    errorLine = line;
    errorColumn = column;
    if (fileName != nullptr) fileNameSeen = fileName;
    events.push_back("ERROR " + errorMessage);
    return 0;
  }

 private:
  int32_t Record(const std::string& line, const std::string& kind = "") {
    events.push_back(line);
    const std::string& name = kind.empty() ? line : kind;
    return name == abortOn ? -1 : 0;
  }
};
