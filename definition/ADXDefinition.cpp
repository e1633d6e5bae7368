#include "definition/ADXDefinition.h"

#include <cstring>

#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDashboard.h"
#include "definition/ADXListView.h"
#include "definition/ADXText.h"
#include "definition/ADXValue.h"

ADXDefinition::ADXDefinition() {
  Clear();
}

ADXDefinition::~ADXDefinition() {
  Clear();
}

void ADXDefinition::Clear() {
  connectcmd = nullptr;
  monitorcmd = nullptr;
  disconnectcmd = nullptr;
  baud = kDefaultBaud;
  flags = 0;
  userversion.clear();
  author.clear();
  desc.clear();
  objects_.clear();
}

void ADXDefinition::SetUserVersion(const char* text, std::size_t length) {
  AssignText(userversion, text, length);
}
void ADXDefinition::SetAuthor(const char* text, std::size_t length) {
  AssignText(author, text, length);
}
void ADXDefinition::SetDesc(const char* text, std::size_t length) {
  AssignText(desc, text, length);
}

std::size_t ADXDefinition::GetUserVersion(char* buffer, std::size_t size) const {
  return CopyTextOut(userversion, buffer, size);
}
std::size_t ADXDefinition::GetAuthor(char* buffer, std::size_t size) const {
  return CopyTextOut(author, buffer, size);
}
std::size_t ADXDefinition::GetDesc(char* buffer, std::size_t size) const {
  return CopyTextOut(desc, buffer, size);
}

int ADXDefinition::IndexOf(const ADXObject* object) const {
  if (object == nullptr) return -1;
  for (std::size_t i = 0; i < objects_.size(); ++i) {
    if (objects_[i].get() == object) return static_cast<int>(i);
  }
  return -1;
}

int ADXDefinition::InsertAfter(std::unique_ptr<ADXObject> object, ADXObject* anchor) {
  if (!object) return 0;
  if (anchor == nullptr) {
    objects_.insert(objects_.begin(), std::move(object));
    return 1;
  }
  const int at = anchor == ADX_INSERT_APPEND ? -1 : IndexOf(anchor);
  if (at < 0) {
    objects_.push_back(std::move(object));
  } else {
    objects_.insert(objects_.begin() + at + 1, std::move(object));
  }
  return 1;
}

int ADXDefinition::InsertAt(std::unique_ptr<ADXObject> object, std::size_t index) {
  if (!object) return 0;
  if (index >= objects_.size()) {
    objects_.push_back(std::move(object));
  } else {
    objects_.insert(objects_.begin() + static_cast<std::ptrdiff_t>(index), std::move(object));
  }
  return 1;
}

std::unique_ptr<ADXObject> ADXDefinition::Remove(ADXObject* object) {
  const int at = IndexOf(object);
  if (at < 0) return nullptr;
  std::unique_ptr<ADXObject> out = std::move(objects_[static_cast<std::size_t>(at)]);
  objects_.erase(objects_.begin() + at);
  return out;
}

ADXObject* ADXDefinition::GetObjectByType(std::uint32_t mask, int n) const {
  if (n < 0) return nullptr;
  for (const auto& object : objects_) {
    if (object && (object->objectType & mask) != 0) {
      if (n == 0) return object.get();
      --n;
    }
  }
  return nullptr;
}

ADXObject* ADXDefinition::FindById(const char* text) const {
  if (text == nullptr) return nullptr;
  for (const auto& object : objects_) {
    if (object && std::strncmp(object->id, text, kAdxIdRefLength) == 0 &&
        strnlen(text, kAdxIdRefLength + 1) <= kAdxIdRefLength) {
      return object.get();
    }
  }
  return nullptr;
}

ADXObject* ADXDefinition::FindByHash(std::uint32_t hash) const {
  if (hash == 0) return nullptr;
  for (const auto& object : objects_) {
    if (object && object->idhash == hash) return object.get();
  }
  return nullptr;
}

ADXObject* ADXDefinition::FindValueByType(std::uint32_t key) const {
  if (key == 0) return nullptr;
  for (const auto& object : objects_) {
    if (object && object->objectType == ADX_TYPE_VALUE &&
        static_cast<const ADXValue*>(object.get())->TypeKey() == key) {
      return object.get();
    }
  }
  return nullptr;
}

int ADXDefinition::IsHashUnique(const ADXObject* object, std::uint32_t hash) const {
  if (object != nullptr) hash = object->idhash;
  for (const auto& other : objects_) {
    if (other && other.get() != object && other->idhash == hash) return 0;
  }
  return 1;
}

int ADXDefinition::GetIdByHash(std::uint32_t hash, char* buffer, std::size_t size) const {
  const ADXObject* object = FindByHash(hash);
  if (object == nullptr) return 0;
  object->GetId(buffer, size);
  return 1;
}

namespace {

bool RefersTo(const ADXObject& candidate, const ADXObject& target) {
  switch (candidate.objectType) {
    case ADX_TYPE_VALUE:
      for (const ValueVariable& v : static_cast<const ADXValue&>(candidate).variables) {
        if (v.kind == kVariableLink && v.linkhash == target.idhash) return true;
      }
      return false;
    case ADX_TYPE_DASHBOARD:
      for (const DashboardEntry& e : static_cast<const ADXDashboard&>(candidate).entries) {
        if (e.item == &target) return true;
      }
      return false;
    case ADX_TYPE_LISTVIEW:
      for (const ListViewEntry& e : static_cast<const ADXListView&>(candidate).entries) {
        if (e.entrytype != kListEntrySeparator && e.item == &target) return true;
      }
      return false;
    case ADX_TYPE_MACRO:
      for (const MacroNode& n : static_cast<const ADXMacro&>(candidate).nodes) {
        if (n.command == &target) return true;
      }
      return false;
    default:
      return false;
  }
}

}  // namespace

ADXObject* ADXDefinition::FindReferrer(const ADXObject* object, int first, int* index) const {
  if (index) *index = -1;
  if (object == nullptr) return nullptr;
  if (first < 0) first = 0;
  for (std::size_t i = static_cast<std::size_t>(first); i < objects_.size(); ++i) {
    const ADXObject* candidate = objects_[i].get();
    if (candidate && RefersTo(*candidate, *object)) {
      if (index) *index = static_cast<int>(i);
      return objects_[i].get();
    }
  }
  return nullptr;
}

void ADXDefinition::UpdateRawValues(const std::uint8_t* packet, std::size_t length,
                                    std::uint32_t commandHash) const {
  for (const auto& object : objects_) {
    if (!object) continue;
    if (object->objectType == ADX_TYPE_VALUE) {
      auto* value = static_cast<ADXValue*>(object.get());
      if (value->parentcmdidhash == 0 || value->parentcmdidhash == commandHash) {
        value->ExtractRaw(packet, length, 0, 0);
      }
    } else if (object->objectType == ADX_TYPE_BITMASK) {
      auto* bitmask = static_cast<ADXBitmask*>(object.get());
      if (bitmask->parentcmdidhash == 0 || bitmask->parentcmdidhash == commandHash) {
        bitmask->ExtractRaw(packet, length, 0, 0);
      }
    }
  }
}
