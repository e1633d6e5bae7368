// The receiver of the events of XmlSaxParser.
//
// Strings handed to the callbacks are 16-bit characters, are not
// NUL-terminated and point into the parser's own buffers: they are valid only
// for the duration of the call. Every operation returns a result code; a
// negative result stops the parse, which then returns kXmlErrorAbort without
// calling Error.
//
// Thread contract: the parser calls the callback on the thread that called
// XmlSaxParser::Parse, and only during that call. The parser writes `fileName`,
// `line` and `column` before each call; they keep the position of the last
// character read after Parse returns, so that a failed parse can be reported
// as "FILE:LINE:COLUMN: message".
#pragma once

#include <cstdint>

// One attribute of a start tag. The value is already entity-decoded and
// carries no quotes.
struct SAXAttribute {
  const char16_t* name = nullptr;
  int32_t nameLength = 0;
  const char16_t* value = nullptr;
  int32_t valueLength = 0;
};

class ISAXCallback {
 public:
  // Name of the file being parsed; set by the parser for the duration of a
  // parse, null otherwise.
  const char* fileName = nullptr;
  // Current line, starting at 1. A line feed increments it.
  int32_t line = 1;
  // Characters since the last line feed, starting at 0. A carriage return
  // does not count; every other character does.
  int32_t column = 0;

  // Once, after the input has been opened, before the first character.
  virtual int32_t StartDocument() = 0;
  // Once, after the whole input was parsed without error.
  virtual int32_t EndDocument() = 0;
  // At the ">" or "/>" that ends a start tag.
  virtual int32_t StartElement(const char16_t* name, int32_t nameLength, const SAXAttribute* attributes,
                               int32_t attributeCount) = 0;
  // Character data between tags that is not all white space. `more` is true
  // when the text was cut at the buffer size and continues in the next call;
  // a text handed out in part is handed out to its end, white space included,
  // so the last piece always comes with `more` false.
  virtual int32_t Characters(const char16_t* text, int32_t length, bool more) = 0;
  // At an end tag, and right after StartElement for an empty-element tag.
  virtual int32_t EndElement(const char16_t* name, int32_t nameLength) = 0;
  // After "<![CDATA[".
  virtual int32_t StartCData() = 0;
  // The text of a CDATA section (entities not decoded); `more` is true for a
  // full buffer that continues in the next call.
  virtual int32_t CData(const char16_t* text, int32_t length, bool more) = 0;
  // After "]]>".
  virtual int32_t EndCData() = 0;
  // Once, when the parse fails; the parse then returns `code`.
  virtual int32_t Error(int32_t code, const char* message) = 0;

 protected:
  // Callbacks are never deleted through this interface.
  ISAXCallback() = default;
  ISAXCallback(const ISAXCallback&) = default;
  ISAXCallback& operator=(const ISAXCallback&) = default;
  ~ISAXCallback() = default;
};
