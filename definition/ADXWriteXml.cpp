// The XML of every definition class, reading beside writing: each object
// writes itself as one element of an ADX file (WriteXml) and reads that
// element back (ReadXmlStart, ReadXmlChild) when the reader (ADXParser) hands
// it over. Every text written passes through EscapeText; the number formats
// are those the reader reads back. Element names come from the kinds table.
#include <cstdio>

#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDashboard.h"
#include "definition/ADXHistogram.h"
#include "definition/ADXKinds.h"
#include "definition/ADXListView.h"
#include "definition/ADXLookupTable.h"
#include "definition/ADXMonitor.h"
#include "definition/ADXValue.h"
#include "definition/ADXXmlIn.h"
#include "definition/ADXXmlOut.h"
#include "definition/AdxNumberText.h"
#include "definition/NumberText.h"
#include "xml/XmlFormat.h"
#include "xml/XmlWriter.h"

using adxxml::BeginObject;
using adxxml::Desc;
using adxxml::Escaped;
using adxxml::Hex;
using adxxml::Hex2;
using adxxml::Hex8;
using adxxml::TextChild;

namespace {

// Byte strings longer than these are cut when read.
constexpr std::size_t kChatterBytesMax = 256;
constexpr std::size_t kSendBytesMax = 512;

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

// The element name of a kind, from the kinds table.
std::string_view ElementOf(std::uint32_t type) {
  const AdxKind* kind = FindAdxKind(type);
  return kind != nullptr ? kind->element : std::string_view();
}

// Longest equation text written to a file: as much as the loader reads back
// into an attribute value, so that no equation it can load is cut on saving.
constexpr std::size_t kEquationWriteMax = 255;

bool ByteString(XmlWriter& w, const ADXByteString& bytes) {
  bool ok = w.BeginElement("bytestring");
  ok = w.Attribute("size", Hex(static_cast<std::uint32_t>(bytes.bytes.size()))) && ok;
  std::string text;
  text.reserve(bytes.bytes.size() * 5);
  for (std::uint8_t b : bytes.bytes) {
    char piece[8] = "0x";  // "0x%.2X "
    char* end = AppendHex(piece + 2, piece + sizeof(piece) - 1, b, 2);
    *end++ = ' ';
    text.append(piece, end);
  }
  if (!text.empty()) ok = w.Text(text) && ok;
  return w.EndElement() && ok;
}

// The common start of a command element: the object attributes, then flags
// when set.
bool BeginCommand(XmlWriter& w, const ADXObject& object, std::string_view element, std::uint32_t flags) {
  bool ok = BeginObject(w, object, element);
  if (flags != 0) ok = w.Attribute("flags", Hex8(flags)) && ok;
  return ok;
}

}  // namespace

int ADXValue::WriteXml(XmlWriter* writer) const {
  if (writer == nullptr) return 0;
  XmlWriter& w = *writer;
  bool ok = BeginObject(w, *this, ElementOf(objectType));
  ok = Desc(w, *this) && ok;
  if (flags != 0) ok = w.ElementText("flags", Hex8(flags)) && ok;
  if (parentcmdidhash != 0) ok = w.ElementText("parentcmdidhash", Hex8(parentcmdidhash)) && ok;
  if (!units.empty()) ok = TextChild(w, "units", units) && ok;
  ok = w.ElementText("packetoffset", Hex2(packetoffset)) && ok;
  if (sizeinbits != 8) ok = w.ElementInt("sizeinbits", sizeinbits) && ok;
  ok = w.BeginElement("range") && ok;
  ok = w.AttributeFloat("low", rangelow) && ok;
  ok = w.AttributeFloat("high", rangehigh) && ok;
  ok = w.EndElement() && ok;
  ok = w.BeginElement("alarms") && ok;
  ok = w.AttributeFloat("low", alarmlow) && ok;
  ok = w.AttributeFloat("high", alarmhigh) && ok;
  ok = w.EndElement() && ok;
  ok = w.ElementInt("digcount", digcount) && ok;
  ok = w.ElementInt("outputtype", static_cast<std::int32_t>(outputtype)) && ok;
  if (datatype != 0) ok = w.ElementInt("datatype", datatype) && ok;
  if (unittype != 0) ok = w.ElementInt("unittype", unittype) && ok;

  char eq[kEquationWriteMax + 1] = {};
  GetEquation(eq, sizeof(eq));
  ok = w.BeginElement("MATH") && ok;
  ok = w.Attribute("equation", Escaped(eq)) && ok;
  if (lookup != nullptr) ok = w.Attribute("lookupidhash", Hex8(lookup->idhash)) && ok;
  for (const ValueVariable& v : variables) {
    ok = w.BeginElement("VAR") && ok;
    ok = w.Attribute("varID", Escaped(std::string_view(&v.varID, 1))) && ok;
    ok = w.Attribute("type", v.kind == kVariableLink ? "link" : "native") && ok;
    if (v.kind == kVariableLink) ok = w.Attribute("linkIDHash", Hex(v.linkhash)) && ok;
    ok = w.EndElement() && ok;
  }
  ok = w.EndElement() && ok;
  ok = w.EndElement() && ok;
  return ok ? 1 : 0;
}

void ADXValue::ReadXmlChild(AdxXmlIn& in) {
  std::string_view t = in.Text();
  if (in.Is("flags")) {
    flags = ParseHexText(t);
  } else if (in.Is("parentcmdidhash")) {
    parentcmdidhash = ParseHexText(t);
  } else if (in.Is("units")) {
    SetUnits(t.data(), t.size());
  } else if (in.Is("packetoffset")) {
    packetoffset = ParseHexText(t);
  } else if (in.Is("sizeinbits")) {
    sizeinbits = ParseDecText(t);
  } else if (in.Is("range")) {
    if (in.HasAttr("low")) rangelow = static_cast<float>(XmlParseDouble(in.AttrText("low")));
    if (in.HasAttr("high")) rangehigh = static_cast<float>(XmlParseDouble(in.AttrText("high")));
  } else if (in.Is("alarms")) {
    if (in.HasAttr("low")) alarmlow = static_cast<float>(XmlParseDouble(in.AttrText("low")));
    if (in.HasAttr("high")) alarmhigh = static_cast<float>(XmlParseDouble(in.AttrText("high")));
  } else if (in.Is("digcount")) {
    digcount = static_cast<std::uint8_t>(ParseDecText(t) & 0xFF);
  } else if (in.Is("outputtype")) {
    outputtype = static_cast<OutputType>(ParseDecText(t));
  } else if (in.Is("datatype")) {
    datatype = static_cast<std::uint16_t>(ParseDecText(t));
  } else if (in.Is("unittype")) {
    unittype = static_cast<std::uint16_t>(ParseDecText(t));
  } else if (in.Is("MATH")) {
    std::string_view eq = in.AttrText("equation");
    SetEquation(eq.data(), eq.size());
    if (in.HasAttr("lookupidhash")) lookupidhash = ParseHexText(in.AttrText("lookupidhash"));
  } else if (in.Is("VAR")) {
    std::string_view letter = in.AttrText("varID");
    if (letter.empty()) return;
    std::int32_t kind = in.AttrText("type") == "link" ? kVariableLink : kVariableNative;
    std::uint32_t hash = kind == kVariableLink ? ParseHexText(in.AttrText("linkIDHash")) : 0;
    SetVariableSource(letter[0], kind, hash);
  }
}

int ADXBitmask::WriteXml(XmlWriter* writer) const {
  if (writer == nullptr) return 0;
  XmlWriter& w = *writer;
  bool ok = BeginObject(w, *this, ElementOf(objectType));
  ok = Desc(w, *this) && ok;
  if (flags != 0) ok = w.ElementText("flags", Hex8(flags)) && ok;
  ok = w.ElementText("parentcmdidhash", Hex8(parentcmdidhash)) && ok;
  if (!truestring.empty()) ok = TextChild(w, "truestring", truestring) && ok;
  if (!falsestring.empty()) ok = TextChild(w, "falsestring", falsestring) && ok;
  ok = w.BeginElement("ALARMONSET") && ok;
  ok = w.Attribute("color", Hex8(alarmsetcolor)) && ok;
  ok = w.EndElement() && ok;
  ok = w.BeginElement("ALARMONNOTSET") && ok;
  ok = w.Attribute("color", Hex8(alarmnotsetcolor)) && ok;
  ok = w.EndElement() && ok;
  ok = w.ElementText("packetoffset", Hex2(packetoffset)) && ok;
  if (sizeinbits != 8) ok = w.ElementInt("sizeinbits", sizeinbits) && ok;
  if (operand != 0) ok = w.ElementText("operand", Hex8(operand)) && ok;
  if (bitop == kBitopAnd) ok = w.ElementText("bitop", "AND") && ok;
  if (bitop == kBitopXor) ok = w.ElementText("bitop", "XOR") && ok;
  if (result != 0) ok = w.ElementText("result", Hex8(result)) && ok;
  ok = w.EndElement() && ok;
  return ok ? 1 : 0;
}

void ADXBitmask::ReadXmlChild(AdxXmlIn& in) {
  std::string_view t = in.Text();
  if (in.Is("flags")) {
    flags = ParseHexText(t);
  } else if (in.Is("parentcmdidhash")) {
    parentcmdidhash = ParseHexText(t);
  } else if (in.Is("truestring")) {
    SetTrueString(t.data(), t.size());
  } else if (in.Is("falsestring")) {
    SetFalseString(t.data(), t.size());
  } else if (in.Is("ALARMONSET")) {
    if (in.HasAttr("color")) SetColor(kColorAlarmOnSet, ParseHexText(in.AttrText("color")));
  } else if (in.Is("ALARMONNOTSET")) {
    if (in.HasAttr("color")) SetColor(kColorAlarmOnNotSet, ParseHexText(in.AttrText("color")));
  } else if (in.Is("packetoffset")) {
    packetoffset = ParseHexText(t);
  } else if (in.Is("sizeinbits")) {
    sizeinbits = ParseDecText(t);
  } else if (in.Is("operand")) {
    operand = ParseHexText(t);
  } else if (in.Is("bitop")) {
    if (t == "AND") bitop = kBitopAnd;
    if (t == "XOR") bitop = kBitopXor;
  } else if (in.Is("result")) {
    result = ParseHexText(t);
  }
}

int ADXLookupTable::WriteXml(XmlWriter* writer) const {
  if (writer == nullptr) return 0;
  XmlWriter& w = *writer;
  bool ok = BeginObject(w, *this, ElementOf(objectType));
  ok = Desc(w, *this) && ok;
  if (flags != 0) ok = w.ElementText("flags", Hex8(flags)) && ok;
  ok = w.ElementInt("inputtype", inputtype) && ok;
  ok = w.ElementInt("outputtype", outputtype) && ok;
  ok = w.ElementInt("lookupmode", lookupmode) && ok;
  ok = w.ElementInt("entrycount", EntryCount()) && ok;
  for (const LookupEntry& e : entries) {
    ok = w.BeginElement("tableentry") && ok;
    ok = w.AttributeFloat("input", e.input) && ok;
    if (outputtype == kLookupText) {
      ok = w.Attribute("output", Escaped(e.text)) && ok;
    } else {
      ok = w.AttributeFloat("output", e.output) && ok;
    }
    ok = w.EndElement() && ok;
  }
  ok = w.EndElement() && ok;
  return ok ? 1 : 0;
}

void ADXLookupTable::ReadXmlChild(AdxXmlIn& in) {
  std::string_view t = in.Text();
  if (in.Is("flags")) {
    flags = ParseHexText(t);
  } else if (in.Is("inputtype")) {
    inputtype = ParseDecText(t);
  } else if (in.Is("outputtype")) {
    SetOutputType(ParseDecText(t));
  } else if (in.Is("lookupmode")) {
    SetLookupMode(ParseDecText(t));
  } else if (in.Is("tableentry")) {
    float input = static_cast<float>(XmlParseDouble(in.AttrText("input")));
    std::string_view output = in.AttrText("output");
    if (outputtype == kLookupText) {
      AddEntry(input, output.empty() ? "" : output.data(), output.size());
    } else {
      AddEntry(input, static_cast<float>(XmlParseDouble(output)));
    }
  }
}

int ADXListView::WriteXml(XmlWriter* writer) const {
  if (writer == nullptr) return 1;
  XmlWriter& w = *writer;
  bool ok = BeginObject(w, *this, ElementOf(objectType));
  ok = Desc(w, *this) && ok;
  if (flags != 0) ok = w.ElementText("flags", Hex8(flags)) && ok;
  ok = w.ElementInt("entrycount", EntryCount()) && ok;
  for (const ListViewEntry& e : entries) {
    ok = w.BeginElement("ADXLVENTRY") && ok;
    ok = w.AttributeInt("entrytype", e.entrytype) && ok;
    if (e.flags != 0) ok = w.Attribute("flags", Hex8(e.flags)) && ok;
    if (e.itemidhash != 0) ok = w.Attribute("itemidhash", Hex8(e.itemidhash)) && ok;
    if (!e.title.empty()) ok = w.Attribute("title", Escaped(e.title)) && ok;
    if (e.color != 0) ok = w.AttributeFormat("color", "%.8X", static_cast<unsigned>(e.color)) && ok;
    ok = w.EndElement() && ok;
  }
  ok = w.EndElement() && ok;
  return ok ? 1 : 0;
}

void ADXListView::ReadXmlChild(AdxXmlIn& in) {
  if (in.Is("flags")) {
    flags = ParseHexText(in.Text());
  } else if (in.Is("entrycount")) {
    SetEntryCount(ParseDecText(in.Text()));
    in.fill = 0;
  } else if (in.Is("ADXLVENTRY")) {
    if (in.fill >= EntryCount()) return;  // beyond entrycount: dropped
    ListViewEntry e;
    e.entrytype = ParseDecText(in.AttrText("entrytype"));
    e.flags = ParseHexText(in.AttrText("flags"));
    e.itemidhash = ParseHexText(in.AttrText("itemidhash"));
    std::string_view title = in.AttrText("title");
    e.SetTitle(title.data(), title.size());
    e.color = ParseHexText(in.AttrText("color"));
    SetEntry(in.fill++, e);
  }
}

int ADXDashboard::WriteXml(XmlWriter* writer) const {
  if (writer == nullptr) return 1;
  XmlWriter& w = *writer;
  bool ok = BeginObject(w, *this, ElementOf(objectType));
  ok = Desc(w, *this) && ok;
  if (flags != 0) ok = w.ElementText("flags", Hex8(flags)) && ok;
  ok = w.ElementInt("entrycount", EntryCount()) && ok;
  for (const DashboardEntry& e : entries) {
    ok = w.BeginElement("ADXDGENTRY") && ok;
    ok = w.AttributeInt("gaugetype", e.gaugetype) && ok;
    if (e.flags != 0) ok = w.Attribute("flags", Hex8(e.flags)) && ok;
    if (e.item != nullptr) ok = w.Attribute("itemidhash", Hex8(e.item->idhash)) && ok;
    ok = w.AttributeInt("left", e.left) && ok;
    ok = w.AttributeInt("top", e.top) && ok;
    ok = w.AttributeInt("right", e.right) && ok;
    ok = w.AttributeInt("bottom", e.bottom) && ok;
    ok = w.EndElement() && ok;
  }
  ok = w.EndElement() && ok;
  return ok ? 1 : 0;
}

void ADXDashboard::ReadXmlChild(AdxXmlIn& in) {
  if (in.Is("flags")) {
    flags = ParseHexText(in.Text());
  } else if (in.Is("ADXDGENTRY")) {
    DashboardEntry e;
    if (in.HasAttr("gaugetype")) e.gaugetype = ParseDecText(in.AttrText("gaugetype"));
    if (in.HasAttr("flags")) e.flags = ParseHexText(in.AttrText("flags"));
    if (in.HasAttr("itemidhash")) e.itemidhash = ParseHexText(in.AttrText("itemidhash"));
    if (in.HasAttr("left")) e.left = AdxToInt16(ParseDecText(in.AttrText("left")));
    if (in.HasAttr("top")) e.top = AdxToInt16(ParseDecText(in.AttrText("top")));
    if (in.HasAttr("right")) e.right = AdxToInt16(ParseDecText(in.AttrText("right")));
    if (in.HasAttr("bottom")) e.bottom = AdxToInt16(ParseDecText(in.AttrText("bottom")));
    AppendEntry(e);
  }
}

int ADXMonitor::WriteXml(XmlWriter* writer) const {
  if (writer == nullptr) return 1;
  XmlWriter& w = *writer;
  bool ok = BeginObject(w, *this, ElementOf(objectType));
  ok = Desc(w, *this) && ok;
  if (flags != 0) ok = w.ElementText("flags", Hex8(flags)) && ok;
  ok = w.ElementInt("entrycount", EntryCount()) && ok;
  for (const MonitorSeries& s : entries) {
    ok = w.BeginElement("ADXMONSERIES") && ok;
    if (s.flags != 0) ok = w.AttributeFormat("flags", "0x%.4X", static_cast<unsigned>(s.flags)) && ok;
    if (s.linewidth != 1) ok = w.AttributeInt("linewidth", s.linewidth) && ok;
    if (s.linetype != 0) ok = w.AttributeInt("linetype", s.linetype) && ok;
    ok = w.AttributeFormat("linecolor", "0x%.6X", static_cast<unsigned>(s.linecolor)) && ok;
    ok = w.AttributeFormat("axiscolor", "0x%.6X", static_cast<unsigned>(s.axiscolor)) && ok;
    if (s.item != nullptr) ok = w.Attribute("itemidhash", Hex8(s.item->idhash)) && ok;
    ok = w.EndElement() && ok;
  }
  ok = w.EndElement() && ok;
  return ok ? 1 : 0;
}

void ADXMonitor::ReadXmlChild(AdxXmlIn& in) {
  if (in.Is("flags")) {
    flags = ParseHexText(in.Text());
  } else if (in.Is("ADXMONSERIES")) {
    MonitorSeries s;
    if (in.HasAttr("flags")) s.flags = ParseHexText(in.AttrText("flags"));
    if (in.HasAttr("linewidth"))
      s.linewidth = static_cast<std::uint8_t>(ParseDecText(in.AttrText("linewidth")));
    if (in.HasAttr("linetype")) s.linetype = static_cast<std::uint8_t>(ParseDecText(in.AttrText("linetype")));
    if (in.HasAttr("linecolor")) s.linecolor = ParseHexText(in.AttrText("linecolor"));
    if (in.HasAttr("axiscolor")) s.axiscolor = ParseHexText(in.AttrText("axiscolor"));
    if (in.HasAttr("itemidhash")) s.itemidhash = ParseHexText(in.AttrText("itemidhash"));
    AppendEntry(s);
  }
}

int ADXHistogram::WriteXml(XmlWriter* writer) const {
  if (writer == nullptr) return 1;
  XmlWriter& w = *writer;
  bool ok = BeginObject(w, *this, ElementOf(objectType));
  ok = Desc(w, *this) && ok;
  if (flags != 0) ok = w.ElementText("flags", Hex8(flags)) && ok;
  if (parentcmdidhash != 0) ok = w.ElementText("parentcmdidhash", Hex8(parentcmdidhash)) && ok;
  ok = w.ElementInt("rows", rows) && ok;
  ok = w.ElementInt("cols", cols) && ok;
  ok = w.ElementFloat("xmin", xmin) && ok;
  ok = w.ElementFloat("xmax", xmax) && ok;
  ok = w.ElementFloat("ymin", ymin) && ok;
  ok = w.ElementFloat("ymax", ymax) && ok;
  ok = w.ElementInt("historysize", GetHistorySize()) && ok;
  if (xvalue != nullptr) ok = w.ElementText("xidhash", Hex8(xvalue->idhash)) && ok;
  if (yvalue != nullptr) ok = w.ElementText("yidhash", Hex8(yvalue->idhash)) && ok;
  if (zvalue != nullptr) ok = w.ElementText("zidhash", Hex8(zvalue->idhash)) && ok;
  ok = w.EndElement() && ok;
  return ok ? 1 : 0;
}

void ADXHistogram::ReadXmlChild(AdxXmlIn& in) {
  std::string_view t = in.Text();
  if (in.Is("flags")) {
    flags = ParseHexText(t);
  } else if (in.Is("parentcmdidhash")) {
    parentcmdidhash = ParseHexText(t);
  } else if (in.Is("rows")) {
    SetRows(ParseDecText(t));
  } else if (in.Is("cols")) {
    SetCols(ParseDecText(t));
  } else if (in.Is("xmin")) {
    SetXMin(static_cast<float>(XmlParseDouble(t)));
  } else if (in.Is("xmax")) {
    SetXMax(static_cast<float>(XmlParseDouble(t)));
  } else if (in.Is("ymin")) {
    SetYMin(static_cast<float>(XmlParseDouble(t)));
  } else if (in.Is("ymax")) {
    SetYMax(static_cast<float>(XmlParseDouble(t)));
  } else if (in.Is("historysize")) {
    SetHistorySize(ParseDecText(t));
  } else if (in.Is("xidhash")) {
    xidhash = ParseHexText(t);
  } else if (in.Is("yidhash")) {
    yidhash = ParseHexText(t);
  } else if (in.Is("zidhash")) {
    zidhash = ParseHexText(t);
  }
}

int ADXCListenSilence::WriteXml(XmlWriter* writer) const {
  if (writer == nullptr) return 0;
  XmlWriter& w = *writer;
  bool ok = BeginObject(w, *this, ElementOf(objectType));
  ok = Desc(w, *this) && ok;
  ok = w.ElementInt("silencelen", silencelen) && ok;
  ok = w.ElementInt("totaltimeout", totaltimeout) && ok;
  ok = w.EndElement() && ok;
  return ok ? 1 : 0;
}

void ADXCListenSilence::ReadXmlChild(AdxXmlIn& in) {
  if (in.Is("silencelen")) {
    silencelen = ParseDecText(in.Text());
  } else if (in.Is("totaltimeout")) {
    totaltimeout = ParseDecText(in.Text());
  }
}

int ADXCListenChatter::WriteXml(XmlWriter* writer) const {
  if (writer == nullptr) return 0;
  XmlWriter& w = *writer;
  bool ok = BeginCommand(w, *this, ElementOf(objectType), flags);
  ok = Desc(w, *this) && ok;
  ok = w.ElementInt("listentimeout", listentimeout) && ok;
  ok = ByteString(w, *this) && ok;
  ok = w.EndElement() && ok;
  return ok ? 1 : 0;
}

void ADXCListenChatter::ReadXmlStart(const AdxXmlIn& in) {
  flags = ParseHexText(in.AttrText("flags"));
}

void ADXCListenChatter::ReadXmlChild(AdxXmlIn& in) {
  if (in.Is("listentimeout")) {
    listentimeout = ParseDecText(in.Text());
  } else if (in.Is("bytestring")) {
    if (in.HasAttr("size"))
      ReadByteString(*this, ParseHexText(in.AttrText("size")), in.Text(), kChatterBytesMax);
  }
}

int ADXCSendCommand::WriteXml(XmlWriter* writer) const {
  if (writer == nullptr) return 0;
  XmlWriter& w = *writer;
  bool ok = BeginCommand(w, *this, ElementOf(objectType), flags);
  ok = Desc(w, *this) && ok;
  ok = ByteString(w, *this) && ok;
  ok = w.ElementInt("replysize", replysize) && ok;
  ok = w.ElementInt("replytimeout", replytimeout) && ok;
  ok = w.ElementInt("packetoffset", packetoffset) && ok;
  ok = w.ElementInt("packetsize", packetsize) && ok;
  ok = w.EndElement() && ok;
  return ok ? 1 : 0;
}

void ADXCSendCommand::ReadXmlStart(const AdxXmlIn& in) {
  flags = ParseHexText(in.AttrText("flags"));
}

void ADXCSendCommand::ReadXmlChild(AdxXmlIn& in) {
  std::string_view t = in.Text();
  if (in.Is("bytestring")) {
    if (in.HasAttr("size")) ReadByteString(*this, ParseHexText(in.AttrText("size")), t, kSendBytesMax);
  } else if (in.Is("replysize")) {
    replysize = ParseDecText(t);
  } else if (in.Is("replytimeout")) {
    replytimeout = ParseDecText(t);
  } else if (in.Is("packetoffset")) {
    packetoffset = ParseDecText(t);
  } else if (in.Is("packetsize")) {
    packetsize = ParseDecText(t);
  }
}

int ADXC160BaudListen::WriteXml(XmlWriter* writer) const {
  if (writer == nullptr) return 0;
  XmlWriter& w = *writer;
  bool ok = BeginCommand(w, *this, ElementOf(objectType), flags);
  ok = Desc(w, *this) && ok;
  ok = w.ElementInt("packetsize", packetsize) && ok;
  ok = w.EndElement() && ok;
  return ok ? 1 : 0;
}

void ADXC160BaudListen::ReadXmlStart(const AdxXmlIn& in) {
  flags = ParseHexText(in.AttrText("flags"));
}

void ADXC160BaudListen::ReadXmlChild(AdxXmlIn& in) {
  if (in.Is("packetsize")) packetsize = ParseDecText(in.Text());
}

int ADXCTrigger::WriteXml(XmlWriter* writer) const {
  if (writer == nullptr) return 0;
  XmlWriter& w = *writer;
  bool ok = BeginCommand(w, *this, ElementOf(objectType), flags);
  ok = Desc(w, *this) && ok;
  ok = w.ElementText("triggertype", Hex8(triggertype)) && ok;
  ok = w.EndElement() && ok;
  return ok ? 1 : 0;
}

void ADXCTrigger::ReadXmlStart(const AdxXmlIn& in) {
  flags = ParseHexText(in.AttrText("flags"));
}

void ADXCTrigger::ReadXmlChild(AdxXmlIn& in) {
  if (in.Is("triggertype")) triggertype = ParseHexText(in.Text());
}

int ADXMacro::WriteXml(XmlWriter* writer) const {
  if (writer == nullptr) return 0;
  XmlWriter& w = *writer;
  bool ok = BeginObject(w, *this, ElementOf(objectType));
  ok = w.AttributeInt("repeatcount", repeatcount) && ok;
  if (flags != 0) ok = w.Attribute("flags", Hex8(flags)) && ok;
  ok = Desc(w, *this) && ok;
  for (const MacroNode& n : nodes) {
    if (n.command == nullptr) continue;
    ok = w.BeginElement("NODE") && ok;
    if (n.flags != 0) ok = w.Attribute("flags", Hex8(n.flags)) && ok;
    ok = w.Attribute("commandID", adxxml::IdRef(*n.command)) && ok;
    ok = w.AttributeInt("repeatcount", n.repeatcount) && ok;
    ok = w.EndElement() && ok;
  }
  ok = w.EndElement() && ok;
  return ok ? 1 : 0;
}

void ADXMacro::ReadXmlStart(const AdxXmlIn& in) {
  if (in.HasAttr("repeatcount")) repeatcount = ParseDecText(in.AttrText("repeatcount"));
  flags = ParseHexText(in.AttrText("flags"));
}

void ADXMacro::ReadXmlChild(AdxXmlIn& in) {
  if (in.Is("NODE")) {
    MacroNode node;
    if (in.HasAttr("flags")) node.flags = ParseHexText(in.AttrText("flags"));
    if (in.HasAttr("repeatcount")) node.repeatcount = ParseDecText(in.AttrText("repeatcount"));
    std::array<char, 15> id{};
    AdxStoreIdRef(id, in.AttrText("commandID"));
    node.SetCommandId(id.data());
    AppendNode(node);
  }
}
