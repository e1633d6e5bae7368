#pragma once
// Base class of every definition object: its type code, ID, ID hash, title,
// description and the flag word common to all objects.
//
// Thread contract: objects are built and edited on one thread (loader, editor,
// importer) while no acquisition runs. During acquisition the configuration
// fields are read-only; only the fields documented as atomic in the derived
// classes change.
#include <cstddef>
#include <cstdint>
#include <string>

class XmlWriter;

// One-bit type codes; every finished object holds exactly one of them.
constexpr std::uint32_t ADX_TYPE_BASE = 0x00000002u;  // set by the base constructor only
constexpr std::uint32_t ADX_TYPE_VALUE = 0x00000004u;
constexpr std::uint32_t ADX_TYPE_BITMASK = 0x00000008u;
constexpr std::uint32_t ADX_TYPE_DASHBOARD = 0x00000010u;
constexpr std::uint32_t ADX_TYPE_MONITOR = 0x00000020u;
constexpr std::uint32_t ADX_TYPE_ITEMEXTRA = 0x00000040u;  // selection masks only; no class has it
constexpr std::uint32_t ADX_TYPE_HISTOGRAM = 0x00000080u;
constexpr std::uint32_t ADX_TYPE_LISTVIEW = 0x00000100u;
constexpr std::uint32_t ADX_TYPE_LOOKUPTABLE = 0x00000200u;
constexpr std::uint32_t ADX_TYPE_MACRO = 0x00010000u;
constexpr std::uint32_t ADX_TYPE_SENDCOMMAND = 0x00020000u;
constexpr std::uint32_t ADX_TYPE_LISTENSILENCE = 0x00040000u;
constexpr std::uint32_t ADX_TYPE_LISTENCHATTER = 0x00080000u;
constexpr std::uint32_t ADX_TYPE_160BAUDLISTEN = 0x00100000u;
constexpr std::uint32_t ADX_TYPE_TRIGGER = 0x00200000u;

// Selection masks.
constexpr std::uint32_t ADX_MASK_ALL = 0xFFFFFFFFu;
constexpr std::uint32_t ADX_MASK_ITEMS = 0x0000004Cu;     // values and bitmasks
constexpr std::uint32_t ADX_MASK_VIEWS = 0x000001B0u;     // dashboards, monitors, histograms, list views
constexpr std::uint32_t ADX_MASK_COMMANDS = 0x003F0000u;  // every command class
constexpr std::uint32_t ADX_MASK_PACKETCOMMANDS = 0x00120000u;  // commands that produce a reply packet

constexpr std::size_t kAdxIdSize = 16;       // ID buffer, NUL included
constexpr std::size_t kAdxIdMaxLength = 15;  // characters stored
constexpr std::size_t kAdxIdRefLength = 14;  // characters used by references by name

class AdxXmlIn;

class ADXObject {
 public:
  ADXObject();
  virtual ~ADXObject();
  ADXObject(const ADXObject&) = delete;
  ADXObject& operator=(const ADXObject&) = delete;

  // Writes the object as one ADX element; the base writes nothing.
  virtual int WriteXml(XmlWriter* writer) const;
  // Reads the object's element back: the attributes of its own start element
  // (ReadXmlStart), then each child element in turn but the description
  // (ReadXmlChild). The base reads nothing.
  virtual void ReadXmlStart(const AdxXmlIn& in);
  virtual void ReadXmlChild(AdxXmlIn& in);

  void SetTitle(const char* text, std::size_t length);
  void SetDesc(const char* text, std::size_t length);
  // Copies the text cut to size - 1 characters; returns the number copied.
  std::size_t GetTitle(char* buffer, std::size_t size) const;
  std::size_t GetDesc(char* buffer, std::size_t size) const;

  // Stores at most 15 characters and recomputes idhash; null empties the ID
  // and sets idhash to 0.
  void SetId(const char* text);
  // Copies at most 14 characters (and at most size - 1); returns the number copied.
  std::size_t GetId(char* buffer, std::size_t size) const;

  bool IsType(std::uint32_t mask) const { return (objectType & mask) != 0; }

  std::string title;  // empty = none
  std::string desc;   // empty = none
  std::uint32_t objectType = ADX_TYPE_BASE;
  char id[kAdxIdSize] = {};
  std::uint32_t idhash = 0;
  std::uint32_t baseflags = 0;
};
