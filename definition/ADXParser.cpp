#include "definition/ADXParser.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDashboard.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXFile.h"
#include "definition/ADXHistogram.h"
#include "definition/ADXKinds.h"
#include "definition/ADXListView.h"
#include "definition/ADXLookupTable.h"
#include "definition/ADXMonitor.h"
#include "definition/ADXValue.h"
#include "definition/AdxNumberText.h"
#include "definition/IProgress.h"
#include "xml/XmlFormat.h"
#include "xml/XmlText.h"

namespace {

ADXObject* FindCommandById(const ADXDefinition* definition, const char* id) {
  if (id == nullptr || id[0] == '\0') return nullptr;
  ADXObject* object = definition->FindById(id);
  return object && object->IsType(ADX_MASK_COMMANDS) ? object : nullptr;
}

}  // namespace

ADXParser::ADXParser(ADXDefinition* definition, IProgress* progress)
    : definition_(definition), progress_(progress) {}

ADXParser::~ADXParser() = default;

int32_t ADXParser::StartDocument() {
  return 0;
}

int32_t ADXParser::EndDocument() {
  // An object whose element never ended is dropped, as nothing closed it.
  object_.reset();
  if (!HasError() && versionAccepted_) Resolve();
  return 0;
}

int32_t ADXParser::StartElement(const char16_t* name, int32_t nameLength, const SAXAttribute* attributes,
                                int32_t attributeCount) {
  Dispatch();
  nameLength_ = SaxToNarrow(name, nameLength, name_.data(), name_.size());
  hasName_ = true;
  textLength_ = 0;
  textContinues_ = false;
  attrCount_ = std::min(attributeCount, kMaxAttributes);
  for (int i = 0; i < attrCount_; ++i) {
    Attr& a = attrs_[static_cast<std::size_t>(i)];
    SaxToNarrow(attributes[i].name, attributes[i].nameLength, a.name.data(), a.name.size());
    a.valueLength =
        SaxToNarrow(attributes[i].value, attributes[i].valueLength, a.value.data(), a.value.size());
  }
  return 0;
}

int32_t ADXParser::Characters(const char16_t* text, int32_t length, bool more) {
  // A new run of text replaces the earlier one; pieces of one long run (cut by
  // the parser's buffer) are joined, up to the text buffer's size.
  if (!textContinues_) textLength_ = 0;
  const std::size_t limit = Is("bytestring") ? kByteStringTextMax : kTextMax;
  if (textLength_ < limit) {
    textLength_ += SaxToNarrow(text, length, text_.data() + textLength_, limit + 1 - textLength_);
  }
  textContinues_ = more;
  return 0;
}

int32_t ADXParser::EndElement(const char16_t* name, int32_t nameLength) {
  Dispatch();
  nameLength_ = SaxToNarrow(name, nameLength, name_.data(), name_.size());
  hasName_ = true;
  textLength_ = 0;
  textContinues_ = false;
  ended_ = true;
  Handle();
  hasName_ = false;
  return 0;
}

int32_t ADXParser::Error(int32_t /*code*/, const char* message) {
  // An XML error replaces any message stored before: it is what stopped the load.
  error_.fill('\0');
  if (message) std::strncpy(error_.data(), message, kErrorMax);
  errorLine_ = line;
  errorColumn_ = column;
  return 0;
}

void ADXParser::SetError(const char* message, int atLine, int atColumn) {
  if (HasError() || message == nullptr) return;
  std::strncpy(error_.data(), message, kErrorMax);
  errorLine_ = atLine;
  errorColumn_ = atColumn;
}

void ADXParser::Dispatch() {
  if (!hasName_) return;
  ended_ = false;
  const std::string_view name(name_.data(), nameLength_);
  if (AdxNamesEqual(name, "ADXHEADER")) {
    section_ = Section::Header;
  } else if (const AdxKind* kind = FindAdxKindByElement(name)) {
    section_ = Section::Object;
    kind_ = kind;
  }
  Handle();
}

void ADXParser::Handle() {
  switch (section_) {
    case Section::None:
      HandleFormat();
      break;
    case Section::Header:
      HandleHeader();
      break;
    case Section::Object:
      HandleObject(*kind_);
      break;
  }
}

bool ADXParser::Is(std::string_view name) const {
  return AdxNamesEqual(std::string_view(name_.data(), nameLength_), name);
}

const ADXParser::Attr* ADXParser::FindAttr(std::string_view name) const {
  for (int i = 0; i < attrCount_; ++i) {
    const Attr& a = attrs_[static_cast<std::size_t>(i)];
    if (AdxNamesEqual(std::string_view(a.name.data()), name)) return &a;
  }
  return nullptr;
}

std::string_view ADXParser::AttrText(std::string_view name) const {
  const Attr* a = FindAttr(name);
  return a ? std::string_view(a->value.data(), a->valueLength) : std::string_view();
}

void ADXParser::HandleObject(const AdxKind& kind) {
  if (Is(kind.element)) {
    // The object's own element: it starts the object, and its end appends it.
    if (ended_) {
      if (object_ && object_->objectType == kind.type) FinishObject();
      return;
    }
    object_ = kind.make();
    fill = 0;
    std::string_view id = AttrText("id");
    char idText[kAdxIdSize] = {};
    if (!id.empty()) std::memcpy(idText, id.data(), std::min(id.size(), kAdxIdMaxLength));
    object_->SetId(idText);
    std::string_view title = AttrText("title");
    object_->SetTitle(title.data(), title.size());
    // baseflags is read for commands as well, so that a field the saver writes
    // is never lost on loading.
    if (HasAttr("baseflags")) object_->baseflags = ParseHexText(AttrText("baseflags"));
    object_->ReadXmlStart(*this);
    return;
  }
  // A child element, handled once at its start or end.
  if (ended_ || !object_ || object_->objectType != kind.type || ReadDesc()) return;
  object_->ReadXmlChild(*this);
}

void ADXParser::FinishObject() {
  if (!object_) return;
  definition_->Append(std::move(object_));
  if (progress_) progress_->Step();
}

bool ADXParser::ReadDesc() {
  if (!Is("desc")) return false;
  object_->SetDesc(Text().data(), Text().size());
  return true;
}

void ADXParser::HandleFormat() {
  if (ended_ || !Is("ADXFORMAT")) return;
  if (!HasAttr("version")) return;
  if (XmlParseDouble(AttrText("version")) < kAdxFormatVersion - 1e-9) {
    SetError("File version is out of date.", line, column);
    return;
  }
  versionAccepted_ = true;
}

void ADXParser::HandleHeader() {
  if (Is("ADXHEADER")) {
    if (ended_ && progress_) {
      std::int64_t range = std::int64_t{objectcount_} + commandcount_;
      progress_->SetRange(0, static_cast<int>(std::clamp<std::int64_t>(range, 0, INT32_MAX)));
      progress_->SetPos(0);
    }
    return;
  }
  if (ended_) return;
  std::string_view t = Text();
  if (Is("flags")) {
    definition_->flags = ParseHexText(t);
  } else if (Is("objectcount")) {
    objectcount_ = ParseDecText(t);
  } else if (Is("commandcount")) {
    commandcount_ = ParseDecText(t);
  } else if (Is("userversion")) {
    definition_->SetUserVersion(t.data(), t.size());
  } else if (Is("author")) {
    definition_->SetAuthor(t.data(), t.size());
  } else if (Is("desc")) {
    definition_->SetDesc(t.data(), t.size());
  } else if (Is("baud")) {
    definition_->baud = ParseDecText(t);
  } else if (Is("connectcmd")) {
    AdxStoreIdRef(connectId_, t);
  } else if (Is("monitorcmd")) {
    AdxStoreIdRef(monitorId_, t);
  } else if (Is("disconnectcmd")) {
    AdxStoreIdRef(disconnectId_, t);
  }
}

void ADXParser::Note(const ADXObject& object, const char* what, std::uint32_t hash, const char* problem) {
  char line[160];
  std::snprintf(line, sizeof(line), "%s: %s 0x%.8X %s", object.id[0] ? object.id : "(no ID)", what,
                static_cast<unsigned>(hash), problem);
  unresolved_.emplace_back(line);
}

void ADXParser::Resolve() {
  ADXDefinition& def = *definition_;
  char what[48];
  for (std::size_t i = 0; i < def.ObjectCount(); ++i) {
    ADXObject* object = def.ObjectAt(i);
    if (object == nullptr) continue;
    switch (object->objectType) {
      case ADX_TYPE_VALUE: {
        auto* v = static_cast<ADXValue*>(object);
        ADXObject* table = def.FindByHash(v->lookupidhash);
        v->lookup = table && table->objectType == ADX_TYPE_LOOKUPTABLE ? static_cast<ADXLookupTable*>(table)
                                                                       : nullptr;
        if (v->lookupidhash != 0 && v->lookup == nullptr) {
          Note(*v, "lookup table", v->lookupidhash, table ? "is not a lookup table" : "not found");
        }
        break;
      }
      case ADX_TYPE_DASHBOARD: {
        int k = 0;
        for (DashboardEntry& e : static_cast<ADXDashboard*>(object)->entries) {
          e.item = def.FindByHash(e.itemidhash);
          std::snprintf(what, sizeof(what), "gauge %d item", k++);
          if (e.itemidhash != 0 && e.item == nullptr) Note(*object, what, e.itemidhash, "not found");
        }
        break;
      }
      case ADX_TYPE_MONITOR: {
        auto* m = static_cast<ADXMonitor*>(object);
        for (int k = m->EntryCount() - 1; k >= 0; --k) {
          MonitorSeries* s = m->GetEntry(k);
          s->item = def.FindByHash(s->itemidhash);
          if (s->item == nullptr) {
            std::snprintf(what, sizeof(what), "series %d item", k);
            Note(*object, what, s->itemidhash, "not found; the series was removed");
            m->RemoveEntry(k);
          }
        }
        break;
      }
      case ADX_TYPE_HISTOGRAM: {
        auto* h = static_cast<ADXHistogram*>(object);
        const std::uint32_t hashes[3] = {h->xidhash, h->yidhash, h->zidhash};
        const char* names[3] = {"x value", "y value", "z value"};
        ADXObject* found[3];
        for (int k = 0; k < 3; ++k) {
          found[k] = def.FindByHash(hashes[k]);
          if (hashes[k] != 0 && (found[k] == nullptr || found[k]->objectType != ADX_TYPE_VALUE)) {
            Note(*h, names[k], hashes[k], found[k] ? "is not a value" : "not found");
          }
        }
        h->SetXValue(found[0]);
        h->SetYValue(found[1]);
        h->SetZValue(found[2]);
        break;
      }
      case ADX_TYPE_LISTVIEW: {
        int k = 0;
        for (ListViewEntry& e : static_cast<ADXListView*>(object)->entries) {
          e.item = e.entrytype == kListEntrySeparator ? nullptr : def.FindByHash(e.itemidhash);
          std::snprintf(what, sizeof(what), "row %d item", k++);
          if (e.entrytype != kListEntrySeparator && e.itemidhash != 0 && e.item == nullptr) {
            Note(*object, what, e.itemidhash, "not found");
          }
        }
        break;
      }
      case ADX_TYPE_MACRO: {
        int k = 0;
        for (MacroNode& n : static_cast<ADXMacro*>(object)->nodes) {
          n.command = FindCommandById(&def, n.commandID);
          if (n.command == nullptr) {
            char line[160];
            std::snprintf(line, sizeof(line), "%s: step %d command '%s' %s",
                          object->id[0] ? object->id : "(no ID)", k, n.commandID,
                          def.FindById(n.commandID) ? "is not a command" : "not found");
            unresolved_.emplace_back(line);
          }
          ++k;
        }
        break;
      }
      default:
        break;
    }
  }
  struct HeaderRef {
    ADXObject** target;
    const char* id;
    const char* name;
  } refs[] = {{&def.connectcmd, connectId_.data(), "connect"},
              {&def.monitorcmd, monitorId_.data(), "monitor"},
              {&def.disconnectcmd, disconnectId_.data(), "disconnect"}};
  for (const HeaderRef& r : refs) {
    *r.target = FindCommandById(&def, r.id);
    if (*r.target == nullptr && r.id[0] != '\0') {
      char line[160];
      std::snprintf(line, sizeof(line), "header: %s command '%s' %s", r.name, r.id,
                    def.FindById(r.id) ? "is not a command" : "not found");
      unresolved_.emplace_back(line);
    }
  }
}
