#pragma once
// The ADX loader: receives the events of the XML parser and builds the
// definition objects while the document is read, then resolves the
// references between them when the document ends.
//
// Every element is handled once, with its name, attributes and text, at the
// earlier of two moments: when its first child starts or when it ends. The
// name of a top-level element selects the object kind (definition/ADXKinds.h);
// the object of that kind reads the elements that follow (ADXXmlIn.h).
//
// Texts from the parser are kept in fixed-size buffers: element names of at
// most 127 characters, element text of at most 1023 (byte strings 2560, so
// that every byte string the saver writes reads back whole), attribute names
// of at most 99 and attribute values of at most 255. Longer input is cut at
// those sizes.
//
// Thread contract: one parser serves one load on one thread.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "definition/ADXXmlIn.h"
#include "xml/ISAXCallback.h"

class ADXDefinition;
struct AdxKind;
class ADXObject;
class IProgress;

class ADXParser : public ISAXCallback, private AdxXmlIn {
 public:
  static constexpr std::size_t kNameMax = 127;
  static constexpr std::size_t kTextMax = 1023;
  // A byte string of the longest kind a command holds (512 bytes written as
  // "0xNN ") needs more room than other texts; its text may take this much.
  static constexpr std::size_t kByteStringTextMax = 512 * 5;
  static constexpr std::size_t kAttrNameMax = 99;
  static constexpr std::size_t kAttrValueMax = 255;
  static constexpr std::size_t kErrorMax = 255;
  static constexpr int kMaxAttributes = 32;

  ADXParser(ADXDefinition* definition, IProgress* progress);
  ~ADXParser();
  ADXParser(const ADXParser&) = delete;
  ADXParser& operator=(const ADXParser&) = delete;

  int32_t StartDocument() override;
  int32_t EndDocument() override;
  int32_t StartElement(const char16_t* name, int32_t nameLength, const SAXAttribute* attributes,
                       int32_t attributeCount) override;
  int32_t Characters(const char16_t* text, int32_t length, bool more) override;
  int32_t EndElement(const char16_t* name, int32_t nameLength) override;
  int32_t StartCData() override { return 0; }
  int32_t CData(const char16_t*, int32_t, bool) override { return 0; }
  int32_t EndCData() override { return 0; }
  int32_t Error(int32_t code, const char* message) override;

  bool VersionAccepted() const { return versionAccepted_; }
  // The stored error message (empty when none) and where it arose.
  const char* ErrorMessage() const { return error_.data(); }
  bool HasError() const { return error_[0] != '\0'; }
  int ErrorLine() const { return errorLine_; }
  int ErrorColumn() const { return errorColumn_; }
  // The references that did not resolve, one line each.
  const std::vector<std::string>& Unresolved() const { return unresolved_; }
  // Sets the error message unless one is stored already.
  void SetError(const char* message, int line, int column);

 private:
  struct Attr {
    std::array<char, kAttrNameMax + 1> name{};
    std::array<char, kAttrValueMax + 1> value{};
    std::size_t valueLength = 0;
  };

  // Where the reader is: before the header, in the header, or in an object
  // of kind_.
  enum class Section { None, Header, Object };

  void Dispatch();
  void Handle();
  void HandleFormat();
  void HandleHeader();
  // An object's element and its children: the kinds table makes the object,
  // the object reads its own element (definition/ADXXmlIn.h).
  void HandleObject(const AdxKind& kind);
  bool ReadDesc();
  void FinishObject();
  void Resolve();
  void Note(const ADXObject& object, const char* what, std::uint32_t hash, const char* problem);

  // AdxXmlIn
  bool Is(std::string_view name) const override;
  std::string_view AttrText(std::string_view name) const override;
  bool HasAttr(std::string_view name) const override { return FindAttr(name) != nullptr; }
  std::string_view Text() const override { return std::string_view(text_.data(), textLength_); }
  const Attr* FindAttr(std::string_view name) const;

  ADXDefinition* definition_;
  IProgress* progress_;
  bool versionAccepted_ = false;

  std::array<char, kNameMax + 1> name_{};
  std::size_t nameLength_ = 0;
  bool hasName_ = false;
  std::array<char, kByteStringTextMax + 1> text_{};
  std::size_t textLength_ = 0;
  bool textContinues_ = false;  // the last piece of text came with more = true
  std::array<Attr, kMaxAttributes> attrs_{};
  int attrCount_ = 0;

  Section section_ = Section::None;
  const AdxKind* kind_ = nullptr;  // the kind of the latest object element
  bool ended_ = false;
  std::unique_ptr<ADXObject> object_;

  std::array<char, kErrorMax + 1> error_{};
  int errorLine_ = 0;
  int errorColumn_ = 0;

  int objectcount_ = 0;
  int commandcount_ = 0;
  std::array<char, 15> connectId_{};
  std::array<char, 15> monitorId_{};
  std::array<char, 15> disconnectId_{};
  std::vector<std::string> unresolved_;
};
