// A small event-driven XML parser for definition files.
//
// It reads 8-bit documents and both byte orders of 16-bit documents, decodes
// the five predefined entities and numeric character references, reports
// CDATA sections, and skips comments, processing instructions and the XML
// declaration. It does no validation: end tags are not matched against start
// tags and a document may hold several top-level elements.
//
// Input is consumed in chunks of kChunkSize bytes and never held whole; the
// element name, attribute names and attribute values of one tag share a
// buffer of kTagBufferSize characters, which is also where character data is
// collected.
//
// Thread contract: one parser serves one parse on one thread; it holds no
// shared state and makes every callback on the calling thread.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "xml/ISAXCallback.h"
#include "xml/XmlFile.h"
#include "xml/XmlResult.h"

class XmlSaxParser {
 public:
  // Bytes read from the input at a time.
  static constexpr size_t kChunkSize = 2048;
  // Characters in the tag and text buffer.
  static constexpr int32_t kTagBufferSize = 2048;
  // Attributes one start tag may carry.
  static constexpr int32_t kMaxAttributes = 32;
  // Longest error message handed to ISAXCallback::Error.
  static constexpr size_t kMaxMessageLength = 159;

  XmlSaxParser() = default;
  XmlSaxParser(const XmlSaxParser&) = delete;
  XmlSaxParser& operator=(const XmlSaxParser&) = delete;

  // Sets the receiver of the events (not owned).
  void SetCallback(ISAXCallback* callback) { callback_ = callback; }

  // Parses the named file. Returns kXmlOk, kXmlErrorFile (the file could not
  // be opened or read), kXmlErrorSyntax, kXmlErrorAbort or kXmlErrorNoCallback.
  int32_t Parse(const char* fileName);

  // Parses a document held in memory, exactly as if it were a file of those
  // bytes. `displayName` is handed to the callback as its file name.
  int32_t ParseMemory(const void* data, size_t size, const char* displayName = nullptr);

  // The message and position of the last failure (empty message and line 0
  // when the last parse succeeded or was aborted by a callback).
  const std::string& ErrorMessage() const { return errorMessage_; }
  int32_t ErrorLine() const { return errorLine_; }
  int32_t ErrorColumn() const { return errorColumn_; }

 private:
  enum class Encoding { k8Bit, k16BitLow, k16BitHigh };
  // NextChar results below zero.
  static constexpr int kEnd = -1;
  static constexpr int kFailed = -2;

  int32_t Run(const char* displayName);
  int32_t ParseDocument();
  int32_t DetectEncoding();
  int32_t ParseMarkup();
  int32_t ParseComment();
  int32_t ParseCData();
  int32_t ParseEndTag();
  int32_t ParseProcessingInstruction();
  int32_t ParseStartTag();
  int32_t ParseName(int32_t& length);
  int32_t ParseAttributeValue(int32_t& start, int32_t& length);
  int32_t ParseEntity(char16_t& decoded);
  int32_t SkipWhiteSpace();

  int32_t AppendText(char16_t c);
  int32_t FlushText(bool more);
  int32_t StoreTagChar(char16_t c);

  // Character input.
  int NextChar();
  void PushBack() { pushedBack_ = true; }
  int32_t NeedChar(char16_t& c);
  bool Refill();
  int AtZeroCharacter();
  int AtDanglingByte();

  // Reports a syntax error with its message; returns the code.
  int32_t Fail(int32_t code, const char* format, ...) __attribute__((format(printf, 3, 4)));
  // Maps a callback result onto the parse result.
  static int32_t Checked(int32_t callbackResult) { return callbackResult < 0 ? kXmlErrorAbort : kXmlOk; }
  void SyncPosition();

  ISAXCallback* callback_ = nullptr;

  // Input: either a file or a block of memory, copied through the chunk.
  XmlFile file_;
  const unsigned char* memory_ = nullptr;
  size_t memorySize_ = 0;
  size_t memoryOffset_ = 0;
  bool fromMemory_ = false;
  bool inputEnded_ = false;   // the source has delivered its last chunk
  bool endReached_ = false;   // every character has been consumed
  int32_t inputFailure_ = 0;  // result of the failed read or zero-character check

  std::array<unsigned char, kChunkSize + 2> chunk_{};
  size_t chunkLength_ = 0;
  size_t readPos_ = 0;
  bool pushedBack_ = false;
  char16_t current_ = 0;
  Encoding encoding_ = Encoding::k8Bit;

  int32_t line_ = 1;
  int32_t column_ = 0;

  // The tag/text buffer and the attributes that point into it.
  std::array<char16_t, kTagBufferSize> buffer_{};
  int32_t bufferLength_ = 0;
  bool textAllWhite_ = true;
  bool textDelivered_ = false;  // part of the current text run went out with more = true
  std::array<SAXAttribute, kMaxAttributes> attributes_{};

  std::string errorMessage_;
  int32_t errorLine_ = 0;
  int32_t errorColumn_ = 0;
};
