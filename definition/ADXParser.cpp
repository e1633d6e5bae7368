#include "ADXParser.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "ADXBitmask.h"
#include "ADXCommands.h"
#include "ADXDashboard.h"
#include "ADXDefinition.h"
#include "ADXFile.h"
#include "ADXHistogram.h"
#include "ADXListView.h"
#include "ADXLookupTable.h"
#include "ADXMonitor.h"
#include "ADXValue.h"
#include "AdxNumberText.h"
#include "IProgress.h"
#include "XmlFormat.h"
#include "XmlText.h"

namespace {

// Byte strings longer than these are cut when read.
constexpr std::size_t kChatterBytesMax = 256;
constexpr std::size_t kSendBytesMax = 512;

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

std::int16_t ToInt16(std::int32_t v) {
  return static_cast<std::int16_t>(std::clamp<std::int32_t>(v, INT16_MIN, INT16_MAX));
}

// Copies at most 14 characters of text into a reference-by-name buffer.
void StoreIdRef(std::array<char, 15>& to, std::string_view text) {
  to.fill('\0');
  std::size_t n = std::min(text.size(), kAdxIdRefLength);
  if (n > 0) std::memcpy(to.data(), text.data(), n);
}

ADXObject* FindCommandById(const ADXDefinition* definition, const char* id) {
  if (id == nullptr || id[0] == '\0') return nullptr;
  ADXObject* object = definition->FindById(id);
  return object && object->IsType(ADX_MASK_COMMANDS) ? object : nullptr;
}

// Reads a byte string: pieces separated by white space, each read as hex text
// into one byte, at most max bytes and at most the declared size.
void ReadByteString(ADXByteString& target, std::uint32_t size, std::string_view text, std::size_t max) {
  std::uint8_t bytes[kSendBytesMax];
  std::size_t count = 0;
  std::size_t i = 0;
  while (i < text.size() && count < max) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) ++i;
    std::size_t start = i;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\r' && text[i] != '\n') ++i;
    if (i > start) bytes[count++] = static_cast<std::uint8_t>(ParseHexText(text.substr(start, i - start)));
  }
  if (size < count) count = size;
  target.SetByteString(bytes, count);
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
  Kind k = KindOfName(std::string_view(name_.data(), nameLength_));
  if (k != kNone) kind_ = k;
  Handle();
}

ADXParser::Kind ADXParser::KindOfName(std::string_view name) {
  static constexpr std::pair<std::string_view, Kind> kNames[] = {
      {"ADXHEADER", kHeader},
      {"ADXVALUE", kValue},
      {"ADXBITMASK", kBitmask},
      {"ADXLOOKUPTABLE", kLookupTable},
      {"ADXLISTVIEW", kListView},
      {"ADXHISTOGRAM", kHistogram},
      {"ADXDASHBOARD", kDashboard},
      {"ADXMONITOR", kMonitor},
      {"ADXCLISTENSILENCE", kListenSilence},
      {"ADXCLISTENCHATTER", kListenChatter},
      {"ADXCLISTEN160BAUD", kListen160Baud},
      {"ADXCSENDCOMMAND", kSendCommand},
      {"ADXCTRIGGER", kTrigger},
      {"ADXMACRO", kMacro},
  };
  if (name.size() < 8 || !EqualsNoCase(name.substr(0, 3), "ADX")) return kNone;
  for (const auto& [text, kind] : kNames) {
    if (EqualsNoCase(name, text)) return kind;
  }
  return kNone;
}

void ADXParser::Handle() {
  switch (kind_) {
    case kNone:
      HandleFormat();
      break;
    case kHeader:
      HandleHeader();
      break;
    case kValue:
      HandleValue();
      break;
    case kBitmask:
      HandleBitmask();
      break;
    case kLookupTable:
      HandleLookupTable();
      break;
    case kListView:
      HandleListView();
      break;
    case kHistogram:
      HandleHistogram();
      break;
    case kDashboard:
      HandleDashboard();
      break;
    case kMonitor:
      HandleMonitor();
      break;
    case kListenSilence:
      HandleListenSilence();
      break;
    case kListenChatter:
      HandleListenChatter();
      break;
    case kListen160Baud:
      HandleListen160Baud();
      break;
    case kSendCommand:
      HandleSendCommand();
      break;
    case kTrigger:
      HandleTrigger();
      break;
    case kMacro:
      HandleMacro();
      break;
  }
}

bool ADXParser::Is(std::string_view name) const {
  return EqualsNoCase(std::string_view(name_.data(), nameLength_), name);
}

const ADXParser::Attr* ADXParser::FindAttr(std::string_view name) const {
  for (int i = 0; i < attrCount_; ++i) {
    const Attr& a = attrs_[static_cast<std::size_t>(i)];
    if (EqualsNoCase(std::string_view(a.name.data()), name)) return &a;
  }
  return nullptr;
}

std::string_view ADXParser::AttrText(std::string_view name) const {
  const Attr* a = FindAttr(name);
  return a ? std::string_view(a->value.data(), a->valueLength) : std::string_view();
}

template <class T>
T* ADXParser::Current() const {
  return dynamic_cast<T*>(object_.get());
}

template <class T>
bool ADXParser::BeginObject(std::string_view topName) {
  if (!Is(topName)) return false;
  if (ended_) {
    if (Current<T>()) FinishObject();
    return true;
  }
  object_ = std::make_unique<T>();
  listFill_ = 0;
  std::string_view id = AttrText("id");
  char idText[kAdxIdSize] = {};
  if (!id.empty()) std::memcpy(idText, id.data(), std::min(id.size(), kAdxIdMaxLength));
  object_->SetId(idText);
  std::string_view title = AttrText("title");
  object_->SetTitle(title.data(), title.size());
  // baseflags is read for commands as well, so that a field the saver writes
  // is never lost on loading.
  if (HasAttr("baseflags")) object_->baseflags = ParseHexText(AttrText("baseflags"));
  return true;
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
    StoreIdRef(connectId_, t);
  } else if (Is("monitorcmd")) {
    StoreIdRef(monitorId_, t);
  } else if (Is("disconnectcmd")) {
    StoreIdRef(disconnectId_, t);
  }
}

void ADXParser::HandleValue() {
  if (BeginObject<ADXValue>("ADXVALUE") || ended_) return;
  ADXValue* v = Current<ADXValue>();
  if (v == nullptr || ReadDesc()) return;
  std::string_view t = Text();
  if (Is("flags")) {
    v->flags = ParseHexText(t);
  } else if (Is("parentcmdidhash")) {
    v->parentcmdidhash = ParseHexText(t);
  } else if (Is("units")) {
    v->SetUnits(t.data(), t.size());
  } else if (Is("packetoffset")) {
    v->packetoffset = ParseHexText(t);
  } else if (Is("sizeinbits")) {
    v->sizeinbits = ParseDecText(t);
  } else if (Is("range")) {
    if (HasAttr("low")) v->rangelow = static_cast<float>(XmlParseDouble(AttrText("low")));
    if (HasAttr("high")) v->rangehigh = static_cast<float>(XmlParseDouble(AttrText("high")));
  } else if (Is("alarms")) {
    if (HasAttr("low")) v->alarmlow = static_cast<float>(XmlParseDouble(AttrText("low")));
    if (HasAttr("high")) v->alarmhigh = static_cast<float>(XmlParseDouble(AttrText("high")));
  } else if (Is("digcount")) {
    v->digcount = static_cast<std::uint8_t>(ParseDecText(t) & 0xFF);
  } else if (Is("outputtype")) {
    v->outputtype = ParseDecText(t);
  } else if (Is("datatype")) {
    v->datatype = static_cast<std::uint16_t>(ParseDecText(t));
  } else if (Is("unittype")) {
    v->unittype = static_cast<std::uint16_t>(ParseDecText(t));
  } else if (Is("MATH")) {
    std::string_view eq = AttrText("equation");
    v->SetEquation(eq.data(), eq.size());
    if (HasAttr("lookupidhash")) v->lookupidhash = ParseHexText(AttrText("lookupidhash"));
  } else if (Is("VAR")) {
    std::string_view letter = AttrText("varID");
    if (letter.empty()) return;
    std::int32_t kind = AttrText("type") == "link" ? kVariableLink : kVariableNative;
    std::uint32_t hash = kind == kVariableLink ? ParseHexText(AttrText("linkIDHash")) : 0;
    v->SetVariableSource(letter[0], kind, hash);
  }
}

void ADXParser::HandleBitmask() {
  if (BeginObject<ADXBitmask>("ADXBITMASK") || ended_) return;
  ADXBitmask* b = Current<ADXBitmask>();
  if (b == nullptr || ReadDesc()) return;
  std::string_view t = Text();
  if (Is("flags")) {
    b->flags = ParseHexText(t);
  } else if (Is("parentcmdidhash")) {
    b->parentcmdidhash = ParseHexText(t);
  } else if (Is("truestring")) {
    b->SetTrueString(t.data(), t.size());
  } else if (Is("falsestring")) {
    b->SetFalseString(t.data(), t.size());
  } else if (Is("ALARMONSET")) {
    if (HasAttr("color")) b->SetColor(kColorAlarmOnSet, ParseHexText(AttrText("color")));
  } else if (Is("ALARMONNOTSET")) {
    if (HasAttr("color")) b->SetColor(kColorAlarmOnNotSet, ParseHexText(AttrText("color")));
  } else if (Is("packetoffset")) {
    b->packetoffset = ParseHexText(t);
  } else if (Is("sizeinbits")) {
    b->sizeinbits = ParseDecText(t);
  } else if (Is("operand")) {
    b->operand = ParseHexText(t);
  } else if (Is("bitop")) {
    if (t == "AND") b->bitop = kBitopAnd;
    if (t == "XOR") b->bitop = kBitopXor;
  } else if (Is("result")) {
    b->result = ParseHexText(t);
  }
}

void ADXParser::HandleLookupTable() {
  if (BeginObject<ADXLookupTable>("ADXLOOKUPTABLE") || ended_) return;
  ADXLookupTable* table = Current<ADXLookupTable>();
  if (table == nullptr || ReadDesc()) return;
  std::string_view t = Text();
  if (Is("flags")) {
    table->flags = ParseHexText(t);
  } else if (Is("inputtype")) {
    table->inputtype = ParseDecText(t);
  } else if (Is("outputtype")) {
    table->SetOutputType(ParseDecText(t));
  } else if (Is("lookupmode")) {
    table->SetLookupMode(ParseDecText(t));
  } else if (Is("tableentry")) {
    float input = static_cast<float>(XmlParseDouble(AttrText("input")));
    std::string_view output = AttrText("output");
    if (table->outputtype == kLookupText) {
      table->AddEntry(input, output.empty() ? "" : output.data(), output.size());
    } else {
      table->AddEntry(input, static_cast<float>(XmlParseDouble(output)));
    }
  }
}

void ADXParser::HandleListView() {
  if (BeginObject<ADXListView>("ADXLISTVIEW") || ended_) return;
  ADXListView* list = Current<ADXListView>();
  if (list == nullptr || ReadDesc()) return;
  if (Is("flags")) {
    list->flags = ParseHexText(Text());
  } else if (Is("entrycount")) {
    list->SetEntryCount(ParseDecText(Text()));
    listFill_ = 0;
  } else if (Is("ADXLVENTRY")) {
    if (listFill_ >= list->EntryCount()) return;  // beyond entrycount: dropped
    ListViewEntry e;
    e.entrytype = ParseDecText(AttrText("entrytype"));
    e.flags = ParseHexText(AttrText("flags"));
    e.itemidhash = ParseHexText(AttrText("itemidhash"));
    std::string_view title = AttrText("title");
    e.SetTitle(title.data(), title.size());
    e.color = ParseHexText(AttrText("color"));
    list->SetEntry(listFill_++, e);
  }
}

void ADXParser::HandleHistogram() {
  if (BeginObject<ADXHistogram>("ADXHISTOGRAM") || ended_) return;
  ADXHistogram* h = Current<ADXHistogram>();
  if (h == nullptr || ReadDesc()) return;
  std::string_view t = Text();
  if (Is("flags")) {
    h->flags = ParseHexText(t);
  } else if (Is("parentcmdidhash")) {
    h->parentcmdidhash = ParseHexText(t);
  } else if (Is("rows")) {
    h->SetRows(ParseDecText(t));
  } else if (Is("cols")) {
    h->SetCols(ParseDecText(t));
  } else if (Is("xmin")) {
    h->SetXMin(static_cast<float>(XmlParseDouble(t)));
  } else if (Is("xmax")) {
    h->SetXMax(static_cast<float>(XmlParseDouble(t)));
  } else if (Is("ymin")) {
    h->SetYMin(static_cast<float>(XmlParseDouble(t)));
  } else if (Is("ymax")) {
    h->SetYMax(static_cast<float>(XmlParseDouble(t)));
  } else if (Is("historysize")) {
    h->SetHistorySize(ParseDecText(t));
  } else if (Is("xidhash")) {
    h->xidhash = ParseHexText(t);
  } else if (Is("yidhash")) {
    h->yidhash = ParseHexText(t);
  } else if (Is("zidhash")) {
    h->zidhash = ParseHexText(t);
  }
}

void ADXParser::HandleDashboard() {
  if (BeginObject<ADXDashboard>("ADXDASHBOARD") || ended_) return;
  ADXDashboard* d = Current<ADXDashboard>();
  if (d == nullptr || ReadDesc()) return;
  if (Is("flags")) {
    d->flags = ParseHexText(Text());
  } else if (Is("ADXDGENTRY")) {
    DashboardEntry e;
    if (HasAttr("gaugetype")) e.gaugetype = ParseDecText(AttrText("gaugetype"));
    if (HasAttr("flags")) e.flags = ParseHexText(AttrText("flags"));
    if (HasAttr("itemidhash")) e.itemidhash = ParseHexText(AttrText("itemidhash"));
    if (HasAttr("left")) e.left = ToInt16(ParseDecText(AttrText("left")));
    if (HasAttr("top")) e.top = ToInt16(ParseDecText(AttrText("top")));
    if (HasAttr("right")) e.right = ToInt16(ParseDecText(AttrText("right")));
    if (HasAttr("bottom")) e.bottom = ToInt16(ParseDecText(AttrText("bottom")));
    d->AppendEntry(e);
  }
}

void ADXParser::HandleMonitor() {
  if (BeginObject<ADXMonitor>("ADXMONITOR") || ended_) return;
  ADXMonitor* m = Current<ADXMonitor>();
  if (m == nullptr || ReadDesc()) return;
  if (Is("flags")) {
    m->flags = ParseHexText(Text());
  } else if (Is("ADXMONSERIES")) {
    MonitorSeries s;
    if (HasAttr("flags")) s.flags = ParseHexText(AttrText("flags"));
    if (HasAttr("linewidth")) s.linewidth = static_cast<std::uint8_t>(ParseDecText(AttrText("linewidth")));
    if (HasAttr("linetype")) s.linetype = static_cast<std::uint8_t>(ParseDecText(AttrText("linetype")));
    if (HasAttr("linecolor")) s.linecolor = ParseHexText(AttrText("linecolor"));
    if (HasAttr("axiscolor")) s.axiscolor = ParseHexText(AttrText("axiscolor"));
    if (HasAttr("itemidhash")) s.itemidhash = ParseHexText(AttrText("itemidhash"));
    m->AppendEntry(s);
  }
}

void ADXParser::HandleListenSilence() {
  if (BeginObject<ADXCListenSilence>("ADXCLISTENSILENCE") || ended_) return;
  ADXCListenSilence* c = Current<ADXCListenSilence>();
  if (c == nullptr || ReadDesc()) return;
  if (Is("silencelen")) {
    c->silencelen = ParseDecText(Text());
  } else if (Is("totaltimeout")) {
    c->totaltimeout = ParseDecText(Text());
  }
}

void ADXParser::HandleListenChatter() {
  if (BeginObject<ADXCListenChatter>("ADXCLISTENCHATTER")) {
    if (!ended_ && object_) Current<ADXCListenChatter>()->flags = ParseHexText(AttrText("flags"));
    return;
  }
  if (ended_) return;
  ADXCListenChatter* c = Current<ADXCListenChatter>();
  if (c == nullptr || ReadDesc()) return;
  if (Is("listentimeout")) {
    c->listentimeout = ParseDecText(Text());
  } else if (Is("bytestring")) {
    if (HasAttr("size")) ReadByteString(*c, ParseHexText(AttrText("size")), Text(), kChatterBytesMax);
  }
}

void ADXParser::HandleSendCommand() {
  if (BeginObject<ADXCSendCommand>("ADXCSENDCOMMAND")) {
    if (!ended_ && object_) Current<ADXCSendCommand>()->flags = ParseHexText(AttrText("flags"));
    return;
  }
  if (ended_) return;
  ADXCSendCommand* c = Current<ADXCSendCommand>();
  if (c == nullptr || ReadDesc()) return;
  std::string_view t = Text();
  if (Is("bytestring")) {
    if (HasAttr("size")) ReadByteString(*c, ParseHexText(AttrText("size")), t, kSendBytesMax);
  } else if (Is("replysize")) {
    c->replysize = ParseDecText(t);
  } else if (Is("replytimeout")) {
    c->replytimeout = ParseDecText(t);
  } else if (Is("packetoffset")) {
    c->packetoffset = ParseDecText(t);
  } else if (Is("packetsize")) {
    c->packetsize = ParseDecText(t);
  }
}

void ADXParser::HandleListen160Baud() {
  if (BeginObject<ADXC160BaudListen>("ADXCLISTEN160BAUD")) {
    if (!ended_ && object_) Current<ADXC160BaudListen>()->flags = ParseHexText(AttrText("flags"));
    return;
  }
  if (ended_) return;
  ADXC160BaudListen* c = Current<ADXC160BaudListen>();
  if (c == nullptr || ReadDesc()) return;
  if (Is("packetsize")) c->packetsize = ParseDecText(Text());
}

void ADXParser::HandleTrigger() {
  if (BeginObject<ADXCTrigger>("ADXCTRIGGER")) {
    if (!ended_ && object_) Current<ADXCTrigger>()->flags = ParseHexText(AttrText("flags"));
    return;
  }
  if (ended_) return;
  ADXCTrigger* c = Current<ADXCTrigger>();
  if (c == nullptr || ReadDesc()) return;
  if (Is("triggertype")) c->triggertype = ParseHexText(Text());
}

void ADXParser::HandleMacro() {
  if (BeginObject<ADXMacro>("ADXMACRO")) {
    if (!ended_ && object_) {
      ADXMacro* m = Current<ADXMacro>();
      if (HasAttr("repeatcount")) m->repeatcount = ParseDecText(AttrText("repeatcount"));
      m->flags = ParseHexText(AttrText("flags"));
    }
    return;
  }
  if (ended_) return;
  ADXMacro* m = Current<ADXMacro>();
  if (m == nullptr || ReadDesc()) return;
  if (Is("NODE")) {
    MacroNode node;
    if (HasAttr("flags")) node.flags = ParseHexText(AttrText("flags"));
    if (HasAttr("repeatcount")) node.repeatcount = ParseDecText(AttrText("repeatcount"));
    std::array<char, 15> id{};
    StoreIdRef(id, AttrText("commandID"));
    node.SetCommandId(id.data());
    m->AppendNode(node);
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
