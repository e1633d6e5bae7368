#include "tests/app/panes/PanesTestDefinition.h"

#include <cstring>
#include <memory>

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

ADXValue* AddValue(ADXDefinition& def, const char* id, const char* title, const char* units,
                   const char* equation, std::uint32_t offset, float low, float high,
                   std::uint32_t commandHash) {
  ADXValue* v = Add<ADXValue>(def, id, title);
  v->SetEquation(equation, std::strlen(equation));
  v->SetUnits(units, std::strlen(units));
  v->packetoffset = offset;
  v->rangelow = low;
  v->rangehigh = high;
  v->outputtype = kOutputFloat;
  v->digcount = 1;
  v->parentcmdidhash = commandHash;
  return v;
}

ADXBitmask* AddBitmask(ADXDefinition& def, const char* id, const char* title, std::uint32_t bit,
                       const char* on, const char* off, std::uint32_t commandHash) {
  ADXBitmask* b = Add<ADXBitmask>(def, id, title);
  b->packetoffset = 3;
  b->operand = bit;
  b->result = bit;
  b->SetTrueString(on, std::strlen(on));
  b->SetFalseString(off, std::strlen(off));
  b->parentcmdidhash = commandHash;
  return b;
}

}  // namespace

PanesTestDefinition::PanesTestDefinition() {
  command = Add<ADXCSendCommand>(def, "DATA", "Read data");
  const std::uint32_t cmd = command->idhash;
  rpm = AddValue(def, "RPM", "Engine Speed", "RPM", "X*25", 0, 0.0f, 6000.0f, cmd);
  rpm->digcount = 0;
  rpm->outputtype = kOutputInteger;
  rpm->flags |= kValueAlarmHigh;
  rpm->alarmhigh = 5000.0f;
  coolant = AddValue(def, "CLT", "Coolant Temp", "Deg C", "X-40", 1, -40.0f, 150.0f, cmd);
  coolant->flags |= kValueAlarmHigh | kValueAlarmLow;
  coolant->alarmhigh = 110.0f;
  coolant->alarmlow = 0.0f;
  map = AddValue(def, "MAP", "Manifold Pressure", "kPa", "X/2", 2, 0.0f, 105.0f, cmd);
  closedLoop = AddBitmask(def, "CL", "Closed Loop", 0x01, "Closed", "Open", cmd);
  closedLoop->flags |= kBitmaskAlarmOnNotSet;
  closedLoop->alarmnotsetcolor = 0x00FF00FFu;  // magenta
  fan = AddBitmask(def, "FAN", "Fan", 0x02, "Fan On", "Fan Off", cmd);

  dash = Add<ADXDashboard>(def, "DASH1", "Main Dash");
  auto entry = [&](int type, ADXObject* item, int top, int left, int bottom, int right) {
    DashboardEntry e;
    e.gaugetype = type;
    e.SetItem(item);
    e.top = static_cast<std::int16_t>(top);
    e.left = static_cast<std::int16_t>(left);
    e.bottom = static_cast<std::int16_t>(bottom);
    e.right = static_cast<std::int16_t>(right);
    dash->AppendEntry(e);
  };
  entry(0, rpm, 0, 0, 60, 50);
  entry(1, coolant, 0, 50, 30, 100);
  entry(2, closedLoop, 30, 50, 60, 100);
  entry(1, map, 60, 0, 100, 100);
  Add<ADXDashboard>(def, "DASH2", "Empty Dash");

  list = Add<ADXListView>(def, "LIST1", "Engine");
  ListViewEntry sep;
  sep.entrytype = kListEntrySeparator;
  sep.flags = kListEntryBold;
  sep.SetTitle("Engine Data", 11);
  list->AppendEntry(sep);
  for (ADXObject* o : std::initializer_list<ADXObject*>{rpm, coolant, map, closedLoop, fan}) {
    ListViewEntry e;
    e.SetItem(o);
    e.color = 0x00800000u;  // navy
    list->AppendEntry(e);
  }
  ListViewEntry empty;  // neither a separator nor an item: not shown
  list->AppendEntry(empty);

  histogram = Add<ADXHistogram>(def, "HIST1", "Fuel Map");
  histogram->SetRows(4);
  histogram->SetCols(5);
  histogram->SetYMin(-40.0f);
  histogram->SetYMax(110.0f);
  histogram->SetXMin(0.0f);
  histogram->SetXMax(6000.0f);
  histogram->SetYValue(coolant);
  histogram->SetXValue(rpm);
  histogram->SetZValue(map);

  engine = Add<ADXMonitor>(def, "MON1", "Engine");
  MonitorSeries s;
  s.SetItem(rpm);
  s.linecolor = s.axiscolor = 0x0000FFu;
  engine->AppendEntry(s);
  s.SetItem(map);
  s.linecolor = s.axiscolor = 0x009600u;
  engine->AppendEntry(s);
  temps = Add<ADXMonitor>(def, "MON2", "Temperatures");
  s.SetItem(coolant);
  s.linecolor = s.axiscolor = 0xFF0000u;
  temps->AppendEntry(s);
}

std::array<std::uint8_t, 4> PanesTestDefinition::Packet(int rpmValue, int coolantValue, int mapValue,
                                                        bool closed, bool fanOn) {
  return {static_cast<std::uint8_t>(rpmValue / 25), static_cast<std::uint8_t>(coolantValue + 40),
          static_cast<std::uint8_t>(mapValue * 2),
          static_cast<std::uint8_t>((closed ? 0x01 : 0) | (fanOn ? 0x02 : 0))};
}
