// A small streaming XML writer for definition files.
//
// Output goes through a buffer of kBufferSize bytes and is written to the file
// in whole blocks. Elements nest through a stack of open names; indentation is
// one unit per open element, lines end with CR LF. Text and attribute values
// are written unchanged: callers escape them with EscapeText first.
//
// Every write operation returns true on success. A refused operation (an
// attribute outside a start tag, an end tag with no element open, a name that
// is empty or would not fit the open-name stack, a comment holding "-->")
// writes nothing and returns false; the document stays whole and later calls
// go on. A failed system write is remembered: from then on the writer writes
// nothing more, Failed() tells so, and Close() returns false, so a saver that
// checks Close() never reports success for a damaged file.
// An existing file is replaced only by a document that was written whole
// (see XmlFile); after a failure it keeps its earlier contents.
//
// Thread contract: one writer is used by one thread at a time; it holds no
// shared state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "xml/XmlFile.h"

class XmlWriter {
 public:
  static constexpr size_t kBufferSize = 16384;
  // Characters all open element names may take together.
  static constexpr size_t kMaxOpenNames = 254;
  static constexpr int kMaxIndent = 8;

  XmlWriter() = default;
  // Closes an open file first.
  ~XmlWriter();
  XmlWriter(const XmlWriter&) = delete;
  XmlWriter& operator=(const XmlWriter&) = delete;

  // Creates the file (or its replacement), empties the element stack, sets the
  // indentation to 4 spaces and switches line breaks on. A file still open
  // is closed first. Returns whether the file was opened.
  [[nodiscard]] bool Open(const char* fileName);
  // Indentation unit of n spaces, n capped at 8; 0 means no indentation.
  void SetIndent(int n);
  // Line breaks after tags and comments (on after Open).
  void SetNewlines(bool on) { newlines_ = on; }

  bool BeginElement(std::string_view name);
  // Only while the start tag is still open; otherwise writes nothing and
  // returns false.
  bool Attribute(std::string_view name, std::string_view text);
  bool AttributeInt(std::string_view name, int32_t value);
  // The value as "%f" gives it, always with "." as decimal separator.
  bool AttributeFloat(std::string_view name, double value);
  // The arguments formatted with the printf-style format in the C locale,
  // never cut short.
  bool AttributeFormat(std::string_view name, const char* format, ...) __attribute__((format(printf, 3, 4)));
  // Closes an open start tag, then writes the text unchanged.
  bool Text(std::string_view text);
  // Closes the innermost element: " />" when nothing was written inside,
  // else its end tag. Returns false when no element is open.
  bool EndElement();
  bool ElementText(std::string_view name, std::string_view text);
  bool ElementInt(std::string_view name, int32_t value);
  bool ElementFloat(std::string_view name, double value);
  // "<!-- text -->". An inline comment continues the current line. A text
  // holding "-->" would end the comment early and is refused.
  bool Comment(std::string_view text, bool inlineComment);
  // Writes what is buffered and closes the file, replacing the earlier file
  // of that name. Returns false when anything failed since Open (including
  // the final write, the close and the replacement itself), or when no file
  // was open; the earlier file is then left as it was.
  [[nodiscard]] bool Close();

  bool IsOpen() const { return file_.IsOpen(); }
  // True once a system write since Open failed.
  bool Failed() const { return failed_; }
  // Number of open elements.
  size_t Depth() const { return nameStarts_.size(); }

  // Copies source (up to its NUL or sourceLength characters) into
  // destination, replacing " & ' < > by their entities. Stops before a
  // character or entity that would not fit, always NUL-terminates, and
  // returns the number of characters written plus one (0 when there is no
  // source or no room even for the terminator).
  static size_t EscapeText(const char* source, size_t sourceLength, char* destination,
                           size_t destinationSize);
  // The same without a size limit.
  static std::string EscapeText(std::string_view source);

 private:
  bool Write(std::string_view bytes);
  bool WriteIndent(size_t levels);
  bool LineBreak();
  bool CloseOpenTag(bool lineBreak);
  bool Refuse();
  bool Fail();

  XmlFile file_;
  std::vector<char> buffer_;
  size_t fill_ = 0;
  // Open element names, one after another, and where each starts.
  std::string names_;
  std::vector<size_t> nameStarts_;
  std::string indentUnit_ = "    ";
  bool newlines_ = true;
  bool tagOpen_ = false;
  bool atLineStart_ = true;
  bool failed_ = false;  // a system write since Open failed
};
