// The one table of definition object kinds: for each kind its type code, the
// element name of its ADX file element, its title for people, and the
// factory that makes an empty object of it. The ADX reader and writer, the
// editor (its tree, its dialogs and its page map, keyed by the kind) and the
// command-line tool look kinds up here, so a new kind is one row and one class.
//
// Thread contract: the table is constant; any thread may read it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

class ADXObject;

struct AdxKind {
  std::uint32_t type;                    // ADX_TYPE_* (the object's objectType)
  std::string_view element;              // the ADX file element, upper case
  std::string_view name;                 // short name for tools ("value", "send")
  std::string_view title;                // for people ("Value", "Send command")
  std::unique_ptr<ADXObject> (*make)();  // an empty object of the kind
};

// Every kind: the items first, then the commands.
std::span<const AdxKind> AdxKinds();
// The kind of a type code, or null.
const AdxKind* FindAdxKind(std::uint32_t type);
// The kind whose element is named (letter case is ignored), or null.
const AdxKind* FindAdxKindByElement(std::string_view element);
// Element and attribute names compare without regard to ASCII letter case.
bool AdxNamesEqual(std::string_view a, std::string_view b);
// A new object of the type, or null when no kind has it.
std::unique_ptr<ADXObject> MakeAdxObject(std::uint32_t type);
