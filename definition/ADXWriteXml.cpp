// The WriteXml operation of every definition class: each object writes itself
// as one element of an ADX file. Every text passes through EscapeText; the
// number formats are those the loader reads back (ADXParser).
#include <cstdio>

#include "ADXBitmask.h"
#include "ADXCommands.h"
#include "ADXDashboard.h"
#include "ADXHistogram.h"
#include "ADXListView.h"
#include "ADXLookupTable.h"
#include "ADXMonitor.h"
#include "ADXValue.h"
#include "ADXXmlOut.h"
#include "XmlWriter.h"
#include "definition/NumberText.h"

using adxxml::BeginObject;
using adxxml::Desc;
using adxxml::Escaped;
using adxxml::Hex;
using adxxml::Hex2;
using adxxml::Hex8;
using adxxml::TextChild;

namespace {

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
  bool ok = BeginObject(w, *this, "ADXVALUE");
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
  ok = w.ElementInt("outputtype", outputtype) && ok;
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

int ADXBitmask::WriteXml(XmlWriter* writer) const {
  if (writer == nullptr) return 0;
  XmlWriter& w = *writer;
  bool ok = BeginObject(w, *this, "ADXBITMASK");
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

int ADXLookupTable::WriteXml(XmlWriter* writer) const {
  if (writer == nullptr) return 0;
  XmlWriter& w = *writer;
  bool ok = BeginObject(w, *this, "ADXLOOKUPTABLE");
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

int ADXListView::WriteXml(XmlWriter* writer) const {
  if (writer == nullptr) return 1;
  XmlWriter& w = *writer;
  bool ok = BeginObject(w, *this, "ADXLISTVIEW");
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

int ADXDashboard::WriteXml(XmlWriter* writer) const {
  if (writer == nullptr) return 1;
  XmlWriter& w = *writer;
  bool ok = BeginObject(w, *this, "ADXDASHBOARD");
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

int ADXMonitor::WriteXml(XmlWriter* writer) const {
  if (writer == nullptr) return 1;
  XmlWriter& w = *writer;
  bool ok = BeginObject(w, *this, "ADXMONITOR");
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

int ADXHistogram::WriteXml(XmlWriter* writer) const {
  if (writer == nullptr) return 1;
  XmlWriter& w = *writer;
  bool ok = BeginObject(w, *this, "ADXHISTOGRAM");
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

int ADXCListenSilence::WriteXml(XmlWriter* writer) const {
  if (writer == nullptr) return 0;
  XmlWriter& w = *writer;
  bool ok = BeginObject(w, *this, "ADXCLISTENSILENCE");
  ok = Desc(w, *this) && ok;
  ok = w.ElementInt("silencelen", silencelen) && ok;
  ok = w.ElementInt("totaltimeout", totaltimeout) && ok;
  ok = w.EndElement() && ok;
  return ok ? 1 : 0;
}

int ADXCListenChatter::WriteXml(XmlWriter* writer) const {
  if (writer == nullptr) return 0;
  XmlWriter& w = *writer;
  bool ok = BeginCommand(w, *this, "ADXCLISTENCHATTER", flags);
  ok = Desc(w, *this) && ok;
  ok = w.ElementInt("listentimeout", listentimeout) && ok;
  ok = ByteString(w, *this) && ok;
  ok = w.EndElement() && ok;
  return ok ? 1 : 0;
}

int ADXCSendCommand::WriteXml(XmlWriter* writer) const {
  if (writer == nullptr) return 0;
  XmlWriter& w = *writer;
  bool ok = BeginCommand(w, *this, "ADXCSENDCOMMAND", flags);
  ok = Desc(w, *this) && ok;
  ok = ByteString(w, *this) && ok;
  ok = w.ElementInt("replysize", replysize) && ok;
  ok = w.ElementInt("replytimeout", replytimeout) && ok;
  ok = w.ElementInt("packetoffset", packetoffset) && ok;
  ok = w.ElementInt("packetsize", packetsize) && ok;
  ok = w.EndElement() && ok;
  return ok ? 1 : 0;
}

int ADXC160BaudListen::WriteXml(XmlWriter* writer) const {
  if (writer == nullptr) return 0;
  XmlWriter& w = *writer;
  bool ok = BeginCommand(w, *this, "ADXCLISTEN160BAUD", flags);
  ok = Desc(w, *this) && ok;
  ok = w.ElementInt("packetsize", packetsize) && ok;
  ok = w.EndElement() && ok;
  return ok ? 1 : 0;
}

int ADXCTrigger::WriteXml(XmlWriter* writer) const {
  if (writer == nullptr) return 0;
  XmlWriter& w = *writer;
  bool ok = BeginCommand(w, *this, "ADXCTRIGGER", flags);
  ok = Desc(w, *this) && ok;
  ok = w.ElementText("triggertype", Hex8(triggertype)) && ok;
  ok = w.EndElement() && ok;
  return ok ? 1 : 0;
}

int ADXMacro::WriteXml(XmlWriter* writer) const {
  if (writer == nullptr) return 0;
  XmlWriter& w = *writer;
  bool ok = BeginObject(w, *this, "ADXMACRO");
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
