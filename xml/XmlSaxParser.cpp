#include "xml/XmlSaxParser.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>

#include "xml/XmlResult.h"

namespace {

constexpr const char* kMsgUnexpectedEof = "Unexpected EOF while parsing XML file";

bool IsWhiteSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool IsNameStart(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_' || c == u':';
}

bool IsNameChar(char16_t c) {
  return IsNameStart(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
}

int HexDigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

bool SameName(const char16_t* name, int32_t length, const char* ascii) {
  int32_t i = 0;
  for (; i < length; ++i) {
    if (ascii[i] == '\0' || name[i] != static_cast<unsigned char>(ascii[i])) return false;
  }
  return ascii[i] == '\0';
}

void CountUp(int32_t& value) {
  if (value < std::numeric_limits<int32_t>::max()) ++value;
}

}  // namespace

// ---------------------------------------------------------------------------
// Entry points

int32_t XmlSaxParser::Parse(const char* fileName) {
  if (callback_ == nullptr) return kXmlErrorNoCallback;
  fromMemory_ = false;
  file_ = XmlFile::OpenForReading(fileName);
  if (!file_.IsOpen()) {
    line_ = 1;
    column_ = 0;
    callback_->fileName = fileName;
    int32_t result = Fail(kXmlErrorFile, "Error opening file");
    callback_->fileName = nullptr;
    return result;
  }
  return Run(fileName);
}

int32_t XmlSaxParser::ParseMemory(const void* data, size_t size, const char* displayName) {
  if (callback_ == nullptr) return kXmlErrorNoCallback;
  fromMemory_ = true;
  memory_ = static_cast<const unsigned char*>(data);
  memorySize_ = data == nullptr ? 0 : size;
  memoryOffset_ = 0;
  int32_t result = Run(displayName);
  memory_ = nullptr;
  memorySize_ = 0;
  return result;
}

int32_t XmlSaxParser::Run(const char* displayName) {
  errorMessage_.clear();
  errorLine_ = 0;
  errorColumn_ = 0;
  inputEnded_ = false;
  endReached_ = false;
  inputFailure_ = kXmlOk;
  chunkLength_ = 0;
  readPos_ = 0;
  pushedBack_ = false;
  current_ = 0;
  encoding_ = Encoding::k8Bit;
  line_ = 1;
  column_ = 0;
  bufferLength_ = 0;
  textAllWhite_ = true;
  textDelivered_ = false;

  callback_->fileName = displayName;
  SyncPosition();
  int32_t result = Checked(callback_->StartDocument());
  if (result == kXmlOk) result = DetectEncoding();
  if (result == kXmlOk) result = ParseDocument();
  file_.Close();
  SyncPosition();
  callback_->fileName = nullptr;
  return result;
}

// ---------------------------------------------------------------------------
// Character input

bool XmlSaxParser::Refill() {
  // A 16-bit unit split across two reads keeps its first byte.
  size_t leftover = chunkLength_ - readPos_;
  if (leftover > 0) std::memmove(chunk_.data(), chunk_.data() + readPos_, leftover);
  size_t wanted = kChunkSize - leftover;
  size_t got = 0;
  if (fromMemory_) {
    got = std::min(wanted, memorySize_ - memoryOffset_);
    if (got > 0) std::memcpy(chunk_.data() + leftover, memory_ + memoryOffset_, got);
    memoryOffset_ += got;
  } else {
    ssize_t read = file_.ReadFull(chunk_.data() + leftover, wanted);
    if (read < 0) {
      inputFailure_ = Fail(kXmlErrorFile, "Error reading file");
      return false;
    }
    got = static_cast<size_t>(read);
  }
  if (got < wanted) inputEnded_ = true;
  chunkLength_ = leftover + got;
  readPos_ = 0;
  chunk_[chunkLength_] = 0;
  chunk_[chunkLength_ + 1] = 0;
  return true;
}

int XmlSaxParser::NextChar() {
  if (pushedBack_) {
    pushedBack_ = false;
    return current_;
  }
  if (endReached_) return kEnd;
  const size_t unit = encoding_ == Encoding::k8Bit ? 1 : 2;
  while (readPos_ + unit > chunkLength_) {
    if (inputEnded_) {
      if (readPos_ < chunkLength_) return AtDanglingByte();
      endReached_ = true;
      return kEnd;
    }
    if (!Refill()) return kFailed;
  }
  char16_t c;
  const unsigned char* p = chunk_.data() + readPos_;
  switch (encoding_) {
    case Encoding::k8Bit:
      c = p[0];
      break;
    case Encoding::k16BitLow:
      c = static_cast<char16_t>(p[0] | (p[1] << 8));
      break;
    default:
      c = static_cast<char16_t>((p[0] << 8) | p[1]);
      break;
  }
  readPos_ += unit;
  if (c == u'\n') {
    CountUp(line_);
    column_ = 0;
  } else if (c != u'\r') {
    CountUp(column_);
  }
  if (c == 0) return AtZeroCharacter();
  current_ = c;
  return c;
}

// A zero character is accepted only as padding at the very end of the input;
// anywhere else it would silently hide the rest of the document.
int XmlSaxParser::AtZeroCharacter() {
  for (;;) {
    for (size_t i = readPos_; i < chunkLength_; ++i) {
      if (chunk_[i] != 0) {
        inputFailure_ = Fail(kXmlErrorSyntax, "Unexpected zero character in XML file");
        return kFailed;
      }
    }
    readPos_ = chunkLength_;
    if (inputEnded_) break;
    if (!Refill()) return kFailed;
  }
  endReached_ = true;
  return kEnd;
}

// A 16-bit input that ends in the middle of a character.
int XmlSaxParser::AtDanglingByte() {
  if (chunk_[readPos_] == 0) {
    readPos_ = chunkLength_;
    endReached_ = true;
    return kEnd;
  }
  inputFailure_ = Fail(kXmlErrorSyntax, "%s", kMsgUnexpectedEof);
  return kFailed;
}

int32_t XmlSaxParser::NeedChar(char16_t& c) {
  int next = NextChar();
  if (next >= 0) {
    c = static_cast<char16_t>(next);
    return kXmlOk;
  }
  if (next == kEnd) return Fail(kXmlErrorSyntax, "%s", kMsgUnexpectedEof);
  return inputFailure_;
}

int32_t XmlSaxParser::DetectEncoding() {
  if (!Refill()) return inputFailure_;
  const unsigned char b0 = chunkLength_ > 0 ? chunk_[0] : 0;
  const unsigned char b1 = chunkLength_ > 1 ? chunk_[1] : 0;
  if (b0 == 0xFF && b1 == 0xFE) {
    encoding_ = Encoding::k16BitLow;
    readPos_ = 2;
  } else if (b0 == 0xFE && b1 == 0xFF) {
    encoding_ = Encoding::k16BitHigh;
    readPos_ = 2;
  } else if (b0 == 0x3C && b1 == 0x00 && chunkLength_ > 1) {
    encoding_ = Encoding::k16BitLow;
  } else if (b0 == 0x00 && b1 == 0x3C) {
    encoding_ = Encoding::k16BitHigh;
  } else if (b0 == 0x3C) {
    encoding_ = Encoding::k8Bit;
  } else {
    return Fail(kXmlErrorSyntax, "Unrecognized encoding (parser does not support UTF-8 language encodings)");
  }
  return kXmlOk;
}

// ---------------------------------------------------------------------------
// Errors and positions

void XmlSaxParser::SyncPosition() {
  callback_->line = line_;
  callback_->column = column_;
}

int32_t XmlSaxParser::Fail(int32_t code, const char* format, ...) {
  char message[kMaxMessageLength + 1];
  va_list args;
  va_start(args, format);
  std::vsnprintf(message, sizeof message, format, args);
  va_end(args);
  errorMessage_ = message;
  errorLine_ = line_;
  errorColumn_ = column_;
  SyncPosition();
  callback_->Error(code, message);
  return code;
}

// ---------------------------------------------------------------------------
// Document and character data

int32_t XmlSaxParser::ParseDocument() {
  for (;;) {
    int next = NextChar();
    if (next == kFailed) return inputFailure_;
    if (next == kEnd) break;
    char16_t c = static_cast<char16_t>(next);
    int32_t result;
    if (c == u'<') {
      result = FlushText(false);
      if (result == kXmlOk) result = ParseMarkup();
    } else if (c == u'&') {
      char16_t decoded = 0;
      result = ParseEntity(decoded);
      if (result == kXmlOk) result = AppendText(decoded);
    } else {
      result = AppendText(c);
    }
    if (result != kXmlOk) return result;
  }
  int32_t result = FlushText(false);
  if (result != kXmlOk) return result;
  SyncPosition();
  return Checked(callback_->EndDocument());
}

int32_t XmlSaxParser::AppendText(char16_t c) {
  if (bufferLength_ == kTagBufferSize) {
    // The buffer is full and the text goes on. White space alone is dropped
    // unless it continues a text that has already been handed out.
    if (!textAllWhite_ || textDelivered_) {
      int32_t result = FlushText(true);
      if (result != kXmlOk) return result;
    }
    bufferLength_ = 0;
    textAllWhite_ = true;
  }
  buffer_[bufferLength_++] = c;
  if (!IsWhiteSpace(c)) textAllWhite_ = false;
  return kXmlOk;
}

int32_t XmlSaxParser::FlushText(bool more) {
  int32_t result = kXmlOk;
  if (bufferLength_ > 0 && (!textAllWhite_ || textDelivered_)) {
    SyncPosition();
    result = Checked(callback_->Characters(buffer_.data(), bufferLength_, more));
  }
  bufferLength_ = 0;
  textAllWhite_ = true;
  textDelivered_ = more;
  return result;
}

int32_t XmlSaxParser::StoreTagChar(char16_t c) {
  if (bufferLength_ >= kTagBufferSize) {
    return Fail(kXmlErrorSyntax, "Total element tag size may not be more than %d characters", kTagBufferSize);
  }
  buffer_[bufferLength_++] = c;
  return kXmlOk;
}

// ---------------------------------------------------------------------------
// Markup

int32_t XmlSaxParser::ParseMarkup() {
  char16_t c = 0;
  if (int32_t result = NeedChar(c)) return result;
  if (c == u'!') {
    if (int32_t result = NeedChar(c)) return result;
    if (c == u'-') {
      if (int32_t result = NeedChar(c)) return result;
      if (c != u'-') return Fail(kXmlErrorSyntax, "Expecting '-' after '<!-'");
      return ParseComment();
    }
    // "<!" not followed by "-" can only open a CDATA section.
    static constexpr char kCDataOpen[] = "[CDATA[";
    for (size_t i = 0; kCDataOpen[i] != '\0'; ++i) {
      if (i > 0) {
        if (int32_t result = NeedChar(c)) return result;
      }
      if (c != static_cast<unsigned char>(kCDataOpen[i]))
        return Fail(kXmlErrorSyntax, "Expecting '<![CDATA['");
    }
    return ParseCData();
  }
  if (c == u'/') return ParseEndTag();
  if (c == u'?') return ParseProcessingInstruction();
  PushBack();
  return ParseStartTag();
}

int32_t XmlSaxParser::ParseComment() {
  int dashes = 0;
  for (;;) {
    char16_t c = 0;
    if (int32_t result = NeedChar(c)) return result;
    if (c == u'-') {
      ++dashes;
    } else if (c == u'>' && dashes >= 2) {
      return kXmlOk;
    } else {
      dashes = 0;
    }
  }
}

int32_t XmlSaxParser::ParseCData() {
  SyncPosition();
  if (int32_t result = Checked(callback_->StartCData())) return result;
  bufferLength_ = 0;
  auto append = [this](char16_t c) -> int32_t {
    if (bufferLength_ == kTagBufferSize) {
      SyncPosition();
      if (int32_t result = Checked(callback_->CData(buffer_.data(), bufferLength_, true))) return result;
      bufferLength_ = 0;
    }
    buffer_[bufferLength_++] = c;
    return kXmlOk;
  };
  // Up to two "]" are held back until it is known whether "]]>" follows.
  int brackets = 0;
  for (;;) {
    char16_t c = 0;
    if (int32_t result = NeedChar(c)) return result;
    if (c == u']') {
      if (brackets < 2) {
        ++brackets;
        continue;
      }
      if (int32_t result = append(u']')) return result;
      continue;
    }
    if (c == u'>' && brackets == 2) break;
    for (; brackets > 0; --brackets) {
      if (int32_t result = append(u']')) return result;
    }
    if (int32_t result = append(c)) return result;
  }
  SyncPosition();
  int32_t result = Checked(callback_->CData(buffer_.data(), bufferLength_, false));
  bufferLength_ = 0;
  if (result != kXmlOk) return result;
  return Checked(callback_->EndCData());
}

int32_t XmlSaxParser::ParseEndTag() {
  bufferLength_ = 0;
  int32_t nameLength = 0;
  if (int32_t result = ParseName(nameLength)) return result;
  SyncPosition();
  if (int32_t result = Checked(callback_->EndElement(buffer_.data(), nameLength))) return result;
  bufferLength_ = 0;
  if (int32_t result = SkipWhiteSpace()) return result;
  char16_t c = 0;
  if (int32_t result = NeedChar(c)) return result;
  if (c != u'>') return Fail(kXmlErrorSyntax, "Expecting '>' after name for closing entity reference");
  return kXmlOk;
}

int32_t XmlSaxParser::ParseProcessingInstruction() {
  for (;;) {
    char16_t c = 0;
    if (int32_t result = NeedChar(c)) return result;
    if (c == u'>') return kXmlOk;
  }
}

int32_t XmlSaxParser::ParseStartTag() {
  bufferLength_ = 0;
  int32_t nameLength = 0;
  if (int32_t result = ParseName(nameLength)) return result;
  int32_t count = 0;
  for (;;) {
    if (int32_t result = SkipWhiteSpace()) return result;
    char16_t c = 0;
    if (int32_t result = NeedChar(c)) return result;
    if (c == u'>' || c == u'/') {
      bool empty = c == u'/';
      if (empty) {
        if (int32_t result = NeedChar(c)) return result;
        if (c != u'>') return Fail(kXmlErrorSyntax, "Expecting '>' after '/' in element tag");
      }
      SyncPosition();
      int32_t result =
          Checked(callback_->StartElement(buffer_.data(), nameLength, attributes_.data(), count));
      if (result == kXmlOk && empty) result = Checked(callback_->EndElement(buffer_.data(), nameLength));
      bufferLength_ = 0;
      return result;
    }
    PushBack();
    if (count == kMaxAttributes) {
      return Fail(kXmlErrorSyntax, "Elements may not have more than %d attributes", kMaxAttributes);
    }
    const int32_t nameStart = bufferLength_;
    int32_t attributeNameLength = 0;
    if (int32_t result = ParseName(attributeNameLength)) return result;
    if (int32_t result = SkipWhiteSpace()) return result;
    if (int32_t result = NeedChar(c)) return result;
    if (c != u'=') return Fail(kXmlErrorSyntax, "Expecting '=' character after attribute name");
    if (int32_t result = SkipWhiteSpace()) return result;
    int32_t valueStart = 0;
    int32_t valueLength = 0;
    if (int32_t result = ParseAttributeValue(valueStart, valueLength)) return result;
    SAXAttribute& attribute = attributes_[static_cast<size_t>(count++)];
    attribute.name = buffer_.data() + nameStart;
    attribute.nameLength = attributeNameLength;
    attribute.value = buffer_.data() + valueStart;
    attribute.valueLength = valueLength;
  }
}

int32_t XmlSaxParser::ParseName(int32_t& length) {
  char16_t c = 0;
  if (int32_t result = NeedChar(c)) return result;
  if (!IsNameStart(c))
    return Fail(kXmlErrorSyntax, "Names must start with an alphabetic character or _ or :");
  const int32_t start = bufferLength_;
  for (;;) {
    if (int32_t result = StoreTagChar(c)) return result;
    if (int32_t result = NeedChar(c)) return result;
    if (!IsNameChar(c)) break;
  }
  PushBack();
  length = bufferLength_ - start;
  return kXmlOk;
}

int32_t XmlSaxParser::ParseAttributeValue(int32_t& start, int32_t& length) {
  char16_t quote = 0;
  if (int32_t result = NeedChar(quote)) return result;
  if (quote != u'"' && quote != u'\'')
    return Fail(kXmlErrorSyntax, "Attribute values must be enclosed in quotes");
  start = bufferLength_;
  for (;;) {
    char16_t c = 0;
    if (int32_t result = NeedChar(c)) return result;
    if (c == quote) break;
    if (c == u'<') return Fail(kXmlErrorSyntax, "Illegal character '<' in element tag");
    if (c == u'&') {
      if (int32_t result = ParseEntity(c)) return result;
    }
    if (int32_t result = StoreTagChar(c)) return result;
  }
  length = bufferLength_ - start;
  return kXmlOk;
}

int32_t XmlSaxParser::SkipWhiteSpace() {
  for (;;) {
    char16_t c = 0;
    if (int32_t result = NeedChar(c)) return result;
    if (!IsWhiteSpace(c)) {
      PushBack();
      return kXmlOk;
    }
  }
}

// Decodes what follows an "&": a numeric character reference or one of the
// five predefined entities. Character codes wrap at 16 bits.
int32_t XmlSaxParser::ParseEntity(char16_t& decoded) {
  char16_t c = 0;
  if (int32_t result = NeedChar(c)) return result;
  if (c == u'#') {
    uint32_t code = 0;
    if (int32_t result = NeedChar(c)) return result;
    if (c == u'x') {
      for (;;) {
        if (int32_t result = NeedChar(c)) return result;
        if (c == u';') break;
        int digit = HexDigitValue(c);
        if (digit < 0) return Fail(kXmlErrorSyntax, "Expected hex digit as part of &#x escape sequence");
        code = ((code << 4) | static_cast<uint32_t>(digit)) & 0xFFFFu;
      }
    } else {
      for (;;) {
        if (c == u';') break;
        if (c < u'0' || c > u'9') {
          return Fail(kXmlErrorSyntax, "Expected decimal digit as part of &# escape sequence");
        }
        code = (code * 10u + static_cast<uint32_t>(c - u'0')) & 0xFFFFu;
        if (int32_t result = NeedChar(c)) return result;
      }
    }
    decoded = static_cast<char16_t>(code);
    return kXmlOk;
  }
  if (!IsNameStart(c)) return Fail(kXmlErrorSyntax, "Expecting entity name after &");
  // Only the first few characters are kept: every known name is shorter.
  char16_t name[5];
  int32_t length = 0;
  while (IsNameChar(c)) {
    if (length < 5) name[length] = c;
    if (length < std::numeric_limits<int32_t>::max()) ++length;
    if (int32_t result = NeedChar(c)) return result;
  }
  if (SameName(name, length, "lt")) {
    decoded = u'<';
  } else if (SameName(name, length, "gt")) {
    decoded = u'>';
  } else if (SameName(name, length, "amp")) {
    decoded = u'&';
  } else if (SameName(name, length, "apos")) {
    decoded = u'\'';
  } else if (SameName(name, length, "quot")) {
    decoded = u'"';
  } else {
    return Fail(kXmlErrorSyntax, "Unrecognized entity name after & - (should be lt, gt, amp, apos, or quot)");
  }
  if (c != u';') return Fail(kXmlErrorSyntax, "Expected terminating ; for entity reference");
  return kXmlOk;
}
