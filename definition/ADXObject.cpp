#include "definition/ADXObject.h"

#include <cstring>

#include "definition/ADXText.h"
#include "definition/IdHash.h"

ADXObject::ADXObject() = default;
ADXObject::~ADXObject() = default;

int ADXObject::WriteXml(XmlWriter* /*writer*/) const {
  return 1;
}

void ADXObject::ReadXmlStart(const AdxXmlIn& /*in*/) {}

void ADXObject::ReadXmlChild(AdxXmlIn& /*in*/) {}

void ADXObject::SetTitle(const char* text, std::size_t length) {
  AssignText(title, text, length);
}
void ADXObject::SetDesc(const char* text, std::size_t length) {
  AssignText(desc, text, length);
}

std::size_t ADXObject::GetTitle(char* buffer, std::size_t size) const {
  return CopyTextOut(title, buffer, size);
}

std::size_t ADXObject::GetDesc(char* buffer, std::size_t size) const {
  return CopyTextOut(desc, buffer, size);
}

void ADXObject::SetId(const char* text) {
  std::memset(id, 0, sizeof(id));
  if (text == nullptr) {
    idhash = 0;
    return;
  }
  std::size_t n = strnlen(text, kAdxIdMaxLength);
  std::memcpy(id, text, n);
  idhash = IdHash(id, n);
}

std::size_t ADXObject::GetId(char* buffer, std::size_t size) const {
  if (buffer == nullptr || size == 0) return 0;
  std::size_t n = strnlen(id, kAdxIdRefLength);
  if (n > size - 1) n = size - 1;
  std::memcpy(buffer, id, n);
  buffer[n] = '\0';
  return n;
}
