#pragma once
// The in-memory form of one ADX file: the header fields and the list that owns
// every definition object, with the queries everything else uses to find
// objects by type, ID or ID hash.
//
// Thread contract: the container has no lock. The list and the objects'
// configuration are changed only while acquisition is stopped (loader,
// editor, importer on the GUI thread). While acquisition runs, the
// acquisition thread calls UpdateRawValues and decodes items while the GUI
// thread decodes the same items; both only read the list, and the raw values
// they write are atomic.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "definition/ADXObject.h"

// Anchor of InsertAfter that appends (all bits set).
inline ADXObject* const ADX_INSERT_APPEND = reinterpret_cast<ADXObject*>(~std::uintptr_t{0});

constexpr std::uint32_t kHeaderEcho = 0x01;  // "RS232 Echo": the link echoes every sent byte
constexpr std::int32_t kDefaultBaud = 8192;

class ADXDefinition {
 public:
  ADXDefinition();
  ~ADXDefinition();
  ADXDefinition(const ADXDefinition&) = delete;
  ADXDefinition& operator=(const ADXDefinition&) = delete;

  // Drops the command references, resets baud and flags, frees the header
  // texts and destroys every object.
  void Clear();

  void SetUserVersion(const char* text, std::size_t length);
  void SetAuthor(const char* text, std::size_t length);
  void SetDesc(const char* text, std::size_t length);
  // Copy the text cut to size - 1 characters; return the number copied.
  std::size_t GetUserVersion(char* buffer, std::size_t size) const;
  std::size_t GetAuthor(char* buffer, std::size_t size) const;
  std::size_t GetDesc(char* buffer, std::size_t size) const;

  // Takes ownership. Anchor none: front; ADX_INSERT_APPEND or an anchor not
  // in the list: end; otherwise right after the anchor. 0 for no object.
  int InsertAfter(std::unique_ptr<ADXObject> object, ADXObject* anchor);
  // Takes ownership; inserts before index, or appends when index is not below
  // the entry count. 0 for no object.
  int InsertAt(std::unique_ptr<ADXObject> object, std::size_t index);
  // Convenience: appends.
  int Append(std::unique_ptr<ADXObject> object) { return InsertAfter(std::move(object), ADX_INSERT_APPEND); }
  // Takes the object out without destroying it and hands it back; empty when
  // it was not in the list.
  std::unique_ptr<ADXObject> Remove(ADXObject* object);

  // List entries (an entry may be empty).
  std::size_t ObjectCount() const { return objects_.size(); }
  ADXObject* ObjectAt(std::size_t index) const {
    return index < objects_.size() ? objects_[index].get() : nullptr;
  }
  // List index of the object, or -1.
  int IndexOf(const ADXObject* object) const;

  // The n-th object (from 0) whose type shares a bit with mask.
  ADXObject* GetObjectByType(std::uint32_t mask, int n) const;
  // First object whose ID, on its first 14 characters, equals text.
  ADXObject* FindById(const char* text) const;
  ADXObject* FindByHash(std::uint32_t hash) const;
  // First value whose (datatype << 16 | unittype) equals key; none for 0.
  ADXObject* FindValueByType(std::uint32_t key) const;
  // 1 when no object other than object has the hash (object's own idhash when
  // object is given), else 0.
  int IsHashUnique(const ADXObject* object, std::uint32_t hash) const;
  // Copies the first 14 characters of the ID of the object with the hash.
  int GetIdByHash(std::uint32_t hash, char* buffer, std::size_t size) const;
  // The first object at or after list index first that refers to object;
  // *index receives its list index, or -1.
  ADXObject* FindReferrer(const ADXObject* object, int first, int* index) const;

  // Stores the raw number of every value and bitmask of the command (or of
  // every command, parentcmdidhash 0) from the packet.
  void UpdateRawValues(const std::uint8_t* packet, std::size_t length, std::uint32_t commandHash) const;

  std::uint32_t flags = 0;
  std::string userversion;  // empty = none
  std::string author;       // empty = none
  std::string desc;         // empty = none
  std::int32_t baud = kDefaultBaud;
  ADXObject* connectcmd = nullptr;     // not owned
  ADXObject* monitorcmd = nullptr;     // not owned
  ADXObject* disconnectcmd = nullptr;  // not owned

 private:
  std::vector<std::unique_ptr<ADXObject>> objects_;
};
