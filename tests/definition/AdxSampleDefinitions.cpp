#include "tests/definition/AdxSampleDefinitions.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDashboard.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXHistogram.h"
#include "definition/ADXListView.h"
#include "definition/ADXLookupTable.h"
#include "definition/ADXMonitor.h"
#include "definition/ADXValue.h"

namespace {

template <class T>
T* Add(ADXDefinition& def, const char* id, const char* title) {
  auto object = std::make_unique<T>();
  object->SetId(id);
  object->SetTitle(title, std::strlen(title));
  T* raw = object.get();
  def.Append(std::move(object));
  return raw;
}

}  // namespace

void BuildFullDefinition(ADXDefinition& def) {
  def.Clear();
  def.flags = 0x01;
  def.SetUserVersion("1.2b", 4);
  def.SetAuthor("R. & J. \"Test\"", 14);
  const char* desc = "Every object <once>\r\nwith 'quotes' & more";
  def.SetDesc(desc, std::strlen(desc));
  def.baud = 9600;

  auto* send = Add<ADXCSendCommand>(def, "SEND_DATA_LONG1", "Data & \"more\"");
  send->SetDesc("Mode 1", 6);
  send->baseflags = 0x10;
  const std::uint8_t request[] = {0xF4, 0x57, 0x01, 0x00, 0xB4};
  send->SetByteString(request, sizeof(request));
  send->replysize = 67;
  send->replytimeout = 300;
  send->packetoffset = 1;
  send->packetsize = 66;
  send->flags = 0x1;

  auto* silence = Add<ADXCListenSilence>(def, "SILENCE", "Wait for silence");
  silence->SetDesc("quiet", 5);
  silence->baseflags = 0x20;
  silence->silencelen = 20;
  silence->totaltimeout = 500;

  auto* chatter = Add<ADXCListenChatter>(def, "CHATTER", "Chatter");
  chatter->SetDesc("idle talk", 9);
  std::uint8_t talk[12];
  for (int i = 0; i < 12; ++i) talk[i] = static_cast<std::uint8_t>(0xF0 + i);
  chatter->SetByteString(talk, sizeof(talk));
  chatter->listentimeout = 1000;
  chatter->flags = 0x2;

  auto* slow = Add<ADXC160BaudListen>(def, "SLOW", "160 baud");
  slow->SetDesc("slow", 4);
  slow->flags = 0x3;
  slow->packetsize = 25;

  auto* trigger = Add<ADXCTrigger>(def, "TRIG", "Update lists");
  trigger->SetDesc("lists and dashes", 16);
  trigger->triggertype = kTriggerListViews | kTriggerDashboards;
  trigger->flags = 0x4;

  auto* macro = Add<ADXMacro>(def, "MONITOR", "Monitor loop");
  macro->SetDesc("loop", 4);
  macro->repeatcount = 3;
  macro->flags = 0x5;
  MacroNode n1;
  n1.SetCommand(send);
  n1.flags = kNodeBreakOnFailure;
  n1.repeatcount = 2;
  macro->AppendNode(n1);
  MacroNode n2;
  n2.SetCommand(trigger);
  n2.flags = kNodeBreakOnSuccess;
  macro->AppendNode(n2);

  auto* numbers = Add<ADXLookupTable>(def, "TBL_NUM", "Numbers");
  numbers->SetDesc("numeric", 7);
  numbers->baseflags = 0x7;
  numbers->flags = 0x1;
  numbers->inputtype = 1;
  numbers->SetOutputType(1);
  numbers->SetLookupMode(kLookupPrevious);
  numbers->AddEntry(0.0f, -40.0f);
  numbers->AddEntry(100.5f, 20.25f);
  numbers->AddEntry(255.0f, 150.0f);

  auto* words = Add<ADXLookupTable>(def, "TBL_TXT", "Words");
  words->SetOutputType(kLookupText);
  words->SetLookupMode(kLookupNext);
  words->AddEntry(0.0f, "Park & \"Neutral\"", 16);
  words->AddEntry(1.0f, "Drive <D>", 9);
  words->AddEntry(2.0f, "", 0);

  auto* other = Add<ADXValue>(def, "BATT", "Battery");
  other->SetEquation("X/10", 4);
  other->packetoffset = 15;
  other->parentcmdidhash = send->idhash;

  auto* value = Add<ADXValue>(def, "COOLANT", "Coolant <temp>");
  value->SetDesc("Engine coolant", 14);
  value->baseflags = 0x8;
  value->flags = kValueSigned | kValueLsbFirst | kValueAlarmHigh | kValueAlarmLow;
  value->parentcmdidhash = send->idhash;
  value->SetUnits(
      "\xB0"
      "C",
      2);
  value->packetoffset = 0x1A;
  value->sizeinbits = 16;
  value->outputtype = kOutputInteger;
  value->digcount = 3;
  value->SetEquation("X*0.75-Y", 8);
  value->SetVariableSource('Y', kVariableLink, other->idhash);
  value->alarmlow = -10.5f;
  value->alarmhigh = 110.25f;
  value->rangelow = -40.0f;
  value->rangehigh = 150.0f;
  value->unittype = 3;
  value->datatype = 4;
  value->lookupidhash = numbers->idhash;
  value->lookup = numbers;

  auto* mask = Add<ADXBitmask>(def, "CLOSEDLOOP", "Closed loop");
  mask->SetDesc("O2 loop", 7);
  mask->baseflags = 0x9;
  mask->flags = kBitmaskLsbFirst | kBitmaskAlarmOnSet | kBitmaskAlarmOnNotSet;
  mask->parentcmdidhash = send->idhash;
  mask->SetTrueString("Closed & on", 11);
  mask->SetFalseString("Open \"off\"", 10);
  mask->SetColor(kColorAlarmOnSet, 0x00123456);
  mask->SetColor(kColorAlarmOnNotSet, 0x00654321);
  mask->packetoffset = 5;
  mask->sizeinbits = 16;
  mask->operand = 0x80;
  mask->result = 0x80;
  mask->bitop = kBitopXor;

  auto* list = Add<ADXListView>(def, "LIST", "Engine list");
  list->SetDesc("rows", 4);
  list->baseflags = 0x2;
  list->flags = 0x1;
  ListViewEntry sep;
  sep.entrytype = kListEntrySeparator;
  sep.flags = kListEntryBold;
  sep.SetTitle("Engine & \"body\"", 15);
  list->AppendEntry(sep);
  ListViewEntry row;
  row.SetItem(value);
  row.color = 0x000080FF;
  row.flags = 0x2;
  row.SetTitle("Coolant row", 11);
  list->AppendEntry(row);
  ListViewEntry row2;
  row2.SetItem(mask);
  list->AppendEntry(row2);

  auto* dash = Add<ADXDashboard>(def, "DASH", "Dash");
  dash->SetDesc("gauges", 6);
  dash->baseflags = 0x3;
  dash->flags = 0x1;
  DashboardEntry gauge;
  gauge.SetItem(value);
  gauge.gaugetype = 2;
  gauge.flags = 0x1;
  gauge.left = -5;
  gauge.top = 10;
  gauge.right = 50;
  gauge.bottom = 60;
  dash->AppendEntry(gauge);
  DashboardEntry lamp;
  lamp.SetItem(mask);
  lamp.gaugetype = 4;
  dash->AppendEntry(lamp);

  auto* monitor = Add<ADXMonitor>(def, "MON", "Strip chart");
  monitor->SetDesc("chart", 5);
  monitor->baseflags = 0x4;
  monitor->flags = 0x1;
  MonitorSeries series;
  series.SetItem(value);
  series.flags = 0x3;
  series.linewidth = 2;
  series.linetype = 1;
  series.linecolor = 0x00FF0000;
  series.axiscolor = 0x0000FF00;
  monitor->AppendEntry(series);

  auto* hist = Add<ADXHistogram>(def, "HIST", "Spark map");
  hist->SetDesc("map", 3);
  hist->baseflags = 0x5;
  hist->flags = 0x1;
  hist->parentcmdidhash = send->idhash;
  hist->SetRows(8);
  hist->SetCols(10);
  hist->SetXMin(-1.5f);
  hist->SetXMax(6000.0f);
  hist->SetYMin(10.0f);
  hist->SetYMax(100.0f);
  hist->SetHistorySize(20);
  hist->SetXValue(value);
  hist->SetYValue(other);
  hist->SetZValue(value);
  hist->xidhash = value->idhash;
  hist->yidhash = other->idhash;
  hist->zidhash = value->idhash;

  def.connectcmd = send;
  def.monitorcmd = macro;
  def.disconnectcmd = silence;
}

void BuildLargeDefinition(ADXDefinition& def, int objects) {
  def.Clear();
  def.flags = 0x01;
  def.SetAuthor("bench", 5);
  const int commands = objects / 20 + 1;
  std::vector<ADXCSendCommand*> sends;
  char id[16];
  char title[64];
  for (int i = 0; i < commands; ++i) {
    std::snprintf(id, sizeof(id), "CMD%d", i);
    std::snprintf(title, sizeof(title), "Request message %d", i);
    auto* c = Add<ADXCSendCommand>(def, id, title);
    const std::uint8_t request[] = {0xF4, 0x57, 0x01, static_cast<std::uint8_t>(i), 0xB4};
    c->SetByteString(request, sizeof(request));
    c->replysize = 67;
    c->packetsize = 67;
    c->flags = 1;
    sends.push_back(c);
  }
  auto* table = Add<ADXLookupTable>(def, "CURVE", "Sensor curve");
  for (int i = 0; i < 32; ++i) table->AddEntry(static_cast<float>(i * 8), static_cast<float>(i * i) * 0.5f);
  ADXValue* previous = nullptr;
  std::vector<ADXObject*> items;
  int made = commands + 1;
  for (int i = 0; made < objects - 3; ++i, ++made) {
    std::snprintf(id, sizeof(id), "ITEM%d", i);
    std::snprintf(title, sizeof(title), "Engine item number %d", i);
    if (i % 4 == 3) {
      auto* b = Add<ADXBitmask>(def, id, title);
      b->parentcmdidhash = sends[static_cast<std::size_t>(i) % sends.size()]->idhash;
      b->packetoffset = static_cast<std::uint32_t>(i % 60);
      b->operand = 1u << (i % 8);
      b->result = b->operand;
      b->SetTrueString("On", 2);
      b->SetFalseString("Off", 3);
      items.push_back(b);
    } else {
      auto* v = Add<ADXValue>(def, id, title);
      v->parentcmdidhash = sends[static_cast<std::size_t>(i) % sends.size()]->idhash;
      v->packetoffset = static_cast<std::uint32_t>(i % 60);
      v->SetUnits("kPa", 3);
      if (previous != nullptr && i % 4 == 1) {
        v->SetEquation("X*0.4+10-Y/2", 12);
        v->SetVariableSource('Y', kVariableLink, previous->idhash);
      } else {
        v->SetEquation("X*0.75-40", 9);
      }
      if (i % 10 == 0) {
        v->lookup = table;
        v->lookupidhash = table->idhash;
      }
      previous = v;
      items.push_back(v);
    }
  }
  auto* list = Add<ADXListView>(def, "LIST", "All items");
  auto* dash = Add<ADXDashboard>(def, "DASH", "Gauges");
  auto* mon = Add<ADXMonitor>(def, "MON", "Chart");
  for (std::size_t i = 0; i < items.size() && i < 255; ++i) {
    ListViewEntry e;
    e.SetItem(items[i]);
    list->AppendEntry(e);
    DashboardEntry d;
    d.SetItem(items[i]);
    dash->AppendEntry(d);
    MonitorSeries s;
    s.SetItem(items[i]);
    mon->AppendEntry(s);
  }
  def.connectcmd = sends.front();
  def.monitorcmd = sends.back();
}
