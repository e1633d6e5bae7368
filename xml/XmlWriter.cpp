#include "xml/XmlWriter.h"

#include <cstdarg>
#include <cstring>

#include "xml/XmlFormat.h"

namespace {

constexpr std::string_view kLineBreak = "\r\n";

// The entity that stands for c in escaped text, or empty when c stays as is.
std::string_view EntityFor(char c) {
  switch (c) {
    case '"':
      return "&quot;";
    case '&':
      return "&amp;";
    case '\'':
      return "&apos;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    default:
      return {};
  }
}

}  // namespace

XmlWriter::~XmlWriter() {
  if (file_.IsOpen()) (void)Close();
}

bool XmlWriter::Open(const char* fileName) {
  if (file_.IsOpen()) (void)Close();
  file_ = XmlFile::CreateForWriting(fileName);
  if (!file_.IsOpen()) return false;
  buffer_.assign(kBufferSize, '\0');
  fill_ = 0;
  names_.clear();
  nameStarts_.clear();
  indentUnit_.assign(4, ' ');
  newlines_ = true;
  tagOpen_ = false;
  atLineStart_ = true;
  failed_ = false;
  return true;
}

void XmlWriter::SetIndent(int n) {
  if (n < 0) n = 0;
  if (n > kMaxIndent) n = kMaxIndent;
  indentUnit_.assign(static_cast<size_t>(n), ' ');
}

bool XmlWriter::Refuse() {
  return false;  // nothing was written: the document stays whole
}

bool XmlWriter::Fail() {
  failed_ = true;
  return false;
}

bool XmlWriter::Write(std::string_view bytes) {
  if (failed_ || !file_.IsOpen()) return false;
  for (;;) {
    const size_t room = kBufferSize - fill_;
    if (bytes.size() <= room) {
      std::memcpy(buffer_.data() + fill_, bytes.data(), bytes.size());
      fill_ += bytes.size();
      break;
    }
    std::memcpy(buffer_.data() + fill_, bytes.data(), room);
    bytes.remove_prefix(room);
    fill_ = 0;
    if (!file_.WriteAll(buffer_.data(), kBufferSize)) return Fail();
  }
  atLineStart_ = false;
  return true;
}

bool XmlWriter::LineBreak() {
  if (!Write(kLineBreak)) return false;
  atLineStart_ = true;
  return true;
}

bool XmlWriter::WriteIndent(size_t levels) {
  for (size_t i = 0; i < levels && !indentUnit_.empty(); ++i) {
    if (!Write(indentUnit_)) return false;
  }
  return !failed_;
}

bool XmlWriter::CloseOpenTag(bool lineBreak) {
  if (!tagOpen_) return !failed_;
  tagOpen_ = false;
  if (!Write(">")) return false;
  return lineBreak && newlines_ ? LineBreak() : true;
}

bool XmlWriter::BeginElement(std::string_view name) {
  if (failed_ || name.empty()) return Refuse();
  // An element whose name cannot be kept could not be closed correctly.
  if (names_.size() + name.size() > kMaxOpenNames) return Refuse();
  if (!CloseOpenTag(true)) return false;
  if (!WriteIndent(nameStarts_.size())) return false;
  nameStarts_.push_back(names_.size());
  names_.append(name);
  if (!Write("<") || !Write(name)) return false;
  tagOpen_ = true;
  return true;
}

bool XmlWriter::Attribute(std::string_view name, std::string_view text) {
  if (!tagOpen_ || name.empty()) return Refuse();
  return Write(" ") && Write(name) && Write("=\"") && Write(text) && Write("\"");
}

bool XmlWriter::AttributeInt(std::string_view name, int32_t value) {
  return Attribute(name, XmlFormatInt(value));
}

bool XmlWriter::AttributeFloat(std::string_view name, double value) {
  return Attribute(name, XmlFormatFloat(value));
}

bool XmlWriter::AttributeFormat(std::string_view name, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = XmlFormatV(format, args);
  va_end(args);
  return Attribute(name, text);
}

bool XmlWriter::Text(std::string_view text) {
  if (!CloseOpenTag(false)) return false;
  return text.empty() ? !failed_ : Write(text);
}

bool XmlWriter::EndElement() {
  if (failed_ || nameStarts_.empty()) return Refuse();
  const size_t start = nameStarts_.back();
  const std::string name = names_.substr(start);
  nameStarts_.pop_back();
  names_.resize(start);
  if (tagOpen_) {
    tagOpen_ = false;
    if (!Write(" />")) return false;
  } else {
    if (atLineStart_ && !WriteIndent(nameStarts_.size())) return false;
    if (!Write("</") || !Write(name) || !Write(">")) return false;
  }
  return newlines_ ? LineBreak() : true;
}

bool XmlWriter::ElementText(std::string_view name, std::string_view text) {
  return BeginElement(name) && Text(text) && EndElement();
}

bool XmlWriter::ElementInt(std::string_view name, int32_t value) {
  return ElementText(name, XmlFormatInt(value));
}

bool XmlWriter::ElementFloat(std::string_view name, double value) {
  return ElementText(name, XmlFormatFloat(value));
}

bool XmlWriter::Comment(std::string_view text, bool inlineComment) {
  if (text.find("-->") != std::string_view::npos) return Refuse();
  if (!CloseOpenTag(!inlineComment)) return false;
  if (!inlineComment && !WriteIndent(nameStarts_.size())) return false;
  if (!Write("<!-- ") || !Write(text) || !Write(" -->")) return false;
  return !inlineComment && newlines_ ? LineBreak() : true;
}

bool XmlWriter::Close() {
  if (!file_.IsOpen()) return false;
  bool ok = !failed_;
  if (ok && fill_ > 0) ok = file_.WriteAll(buffer_.data(), fill_);
  // A document that could not be written whole does not replace the file.
  if (ok) {
    ok = file_.Close();
  } else {
    file_.Discard();
  }
  fill_ = 0;
  std::vector<char>().swap(buffer_);
  names_.clear();
  nameStarts_.clear();
  tagOpen_ = false;
  if (!ok) failed_ = true;
  return ok;
}

size_t XmlWriter::EscapeText(const char* source, size_t sourceLength, char* destination,
                             size_t destinationSize) {
  if (source == nullptr || destination == nullptr || destinationSize == 0) return 0;
  size_t written = 0;
  const size_t room = destinationSize - 1;
  for (size_t i = 0; i < sourceLength && source[i] != '\0'; ++i) {
    std::string_view entity = EntityFor(source[i]);
    std::string_view piece = entity.empty() ? std::string_view(&source[i], 1) : entity;
    // An entity is never cut in half.
    if (piece.size() > room - written) break;
    std::memcpy(destination + written, piece.data(), piece.size());
    written += piece.size();
  }
  destination[written] = '\0';
  return written + 1;
}

std::string XmlWriter::EscapeText(std::string_view source) {
  std::string escaped;
  escaped.reserve(source.size());
  for (char c : source) {
    if (c == '\0') break;
    std::string_view entity = EntityFor(c);
    if (entity.empty()) {
      escaped.push_back(c);
    } else {
      escaped.append(entity);
    }
  }
  return escaped;
}
