#include "tests/definition/DemoEcuDefinition.h"

#include <cstring>
#include <memory>
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

class Builder {
 public:
  explicit Builder(ADXDefinition& def) : def_(def) {}

  template <class T>
  T* Add(const char* id, const char* title) {
    auto object = std::make_unique<T>();
    object->SetId(id);
    object->SetTitle(title, std::strlen(title));
    T* raw = object.get();
    def_.Append(std::move(object));
    return raw;
  }

  ADXCSendCommand* Send(const char* id, const char* title, std::initializer_list<std::uint8_t> bytes,
                        int replysize, int timeout, int packetsize) {
    auto* c = Add<ADXCSendCommand>(id, title);
    std::vector<std::uint8_t> b(bytes);
    c->SetByteString(b.data(), b.size());
    c->replysize = replysize;
    c->replytimeout = timeout;
    c->packetoffset = 0;
    c->packetsize = packetsize;
    c->flags = kSendReadReply | kSendVerifyChecksum;  // every reply of this link ends with its checksum
    return c;
  }

  // A value of the data reply.
  ADXValue* Value(const char* id, const char* title, std::uint32_t offset, int bits, const char* equation,
                  const char* units, OutputType outputtype, int digits, float low, float high) {
    auto* v = Add<ADXValue>(id, title);
    v->parentcmdidhash = data_;
    v->packetoffset = offset;
    v->sizeinbits = bits;
    v->SetEquation(equation, std::strlen(equation));
    if (units) v->SetUnits(units, std::strlen(units));
    v->outputtype = outputtype;
    v->digcount = static_cast<std::uint8_t>(digits);
    v->rangelow = low;
    v->rangehigh = high;
    v->alarmlow = low;
    v->alarmhigh = high;
    return v;
  }

  ADXBitmask* Flag(const char* id, const char* title, std::uint32_t offset, std::uint32_t mask,
                   const char* on, const char* off) {
    auto* b = Add<ADXBitmask>(id, title);
    b->parentcmdidhash = data_;
    b->packetoffset = offset;
    b->operand = mask;
    b->result = mask;
    b->bitop = kBitopAnd;
    b->SetTrueString(on, std::strlen(on));
    b->SetFalseString(off, std::strlen(off));
    return b;
  }

  void SetData(std::uint32_t hash) { data_ = hash; }

 private:
  ADXDefinition& def_;
  std::uint32_t data_ = 0;
};

void Link(ADXValue* v, char letter, const ADXValue* target) {
  v->SetVariableSource(letter, kVariableLink, target->idhash);
}

void Rows(ADXListView* list, std::initializer_list<const ADXObject*> items) {
  for (const ADXObject* item : items) {
    ListViewEntry e;
    e.SetItem(const_cast<ADXObject*>(item));
    list->AppendEntry(e);
  }
}

void Separator(ADXListView* list, const char* title) {
  ListViewEntry e;
  e.entrytype = kListEntrySeparator;
  e.flags = kListEntryBold;
  e.SetTitle(title, std::strlen(title));
  list->AppendEntry(e);
}

void Gauge(ADXDashboard* dash, const ADXObject* item, int type, int left, int top, int right, int bottom) {
  DashboardEntry e;
  e.SetItem(const_cast<ADXObject*>(item));
  e.gaugetype = type;
  e.left = static_cast<std::int16_t>(left);
  e.top = static_cast<std::int16_t>(top);
  e.right = static_cast<std::int16_t>(right);
  e.bottom = static_cast<std::int16_t>(bottom);
  dash->AppendEntry(e);
}

void Series(ADXMonitor* mon, const ADXObject* item, std::uint32_t color) {
  MonitorSeries s;
  s.SetItem(const_cast<ADXObject*>(item));
  s.linecolor = color;
  s.axiscolor = color;
  mon->AppendEntry(s);
}

}  // namespace

void BuildDemoEcuDefinition(ADXDefinition& def) {
  def.Clear();
  Builder b(def);
  def.flags = kHeaderEcho;
  def.baud = 8192;
  def.SetUserVersion("1.0", 3);
  const char* author = "Varnak project";
  def.SetAuthor(author, std::strlen(author));
  const char* desc =
      "Demo ECU: a late-1980s fuel-injected engine on the 8192-baud single-wire link, which echoes every "
      "byte sent. Mode 1 message 0 answers with a 67-byte reply: header F4 92 01, 63 payload bytes, "
      "checksum.";
  def.SetDesc(desc, std::strlen(desc));

  // Commands. Every request sums to 0 modulo 256.
  auto* connect = b.Send("CONNECT", "Mode 8: stop chatter", {0xF4, 0x56, 0x08, 0xAE}, 4, 200, 4);
  const char* connectDesc = "Asks the ECU to stop its idle chatter; answered with the same four bytes.";
  connect->SetDesc(connectDesc, std::strlen(connectDesc));
  auto* data = b.Send("DATA", "Mode 1: data stream", {0xF4, 0x57, 0x01, 0x00, 0xB4}, 67, 300, 67);
  const char* dataDesc = "Message 0 of mode 1: every sensor and status byte in one 67-byte reply.";
  data->SetDesc(dataDesc, std::strlen(dataDesc));
  auto* disconnect = b.Send("DISCONNECT", "Mode 9: resume chatter", {0xF4, 0x56, 0x09, 0xAD}, 4, 200, 4);
  auto* chatter = b.Add<ADXCListenChatter>("IDLECHAT", "Wait for idle chatter");
  const std::uint8_t idleBytes[] = {0xF0, 0x56, 0xF4, 0xC6};
  chatter->SetByteString(idleBytes, sizeof(idleBytes));
  chatter->listentimeout = 600;
  auto* loop = b.Add<ADXMacro>("MONITOR", "Data loop");
  MacroNode node;
  node.SetCommand(data);
  node.flags = kNodeBreakOnFailure;
  loop->AppendNode(node);
  b.SetData(data->idhash);

  // Lookup tables.
  auto* curve = b.Add<ADXLookupTable>("IAT_CURVE", "Air temperature sensor curve");
  curve->inputtype = kLookupInteger;
  curve->SetOutputType(kLookupFloat);
  curve->SetLookupMode(kLookupInterpolate);
  const float curveIn[] = {0, 40, 70, 100, 130, 160, 200, 255};
  for (float x : curveIn) curve->AddEntry(x, x * 0.75f - 40.0f);
  auto* words = b.Add<ADXLookupTable>("TEMP_WORDS", "Coolant temperature words");
  words->SetOutputType(kLookupText);
  words->SetLookupMode(kLookupPrevious);
  words->AddEntry(-40.0f, "Cold", 4);
  words->AddEntry(60.0f, "Warm", 4);
  words->AddEntry(85.0f, "Normal", 6);
  words->AddEntry(105.0f, "Hot", 3);

  // Values of the data reply.
  auto* prom = b.Value("PROMID", "PROM ID", 3, 16, "X", nullptr, kOutputHex, 4, 0, 65535);
  auto* coolant = b.Value("COOLANT", "Coolant temperature", 7, 8, "X*0.75-40",
                          "\xB0"
                          "C",
                          kOutputFloat, 1, -40, 151.25f);
  coolant->flags = kValueAlarmHigh;
  coolant->alarmhigh = 110.0f;
  auto* coolantF = b.Value("COOLANT_F", "Coolant temperature (F)", 7, 8, "C*1.8+32",
                           "\xB0"
                           "F",
                           kOutputFloat, 0, -40, 304.25f);
  Link(coolantF, 'C', coolant);
  auto* coolantWord = b.Value("COOLANT_WORD", "Engine temperature", 7, 8, "X*0.75-40", nullptr, kOutputFloat,
                              0, -40, 151.25f);
  coolantWord->lookupidhash = words->idhash;
  coolantWord->lookup = words;
  auto* iat = b.Value("IAT", "Intake air temperature", 8, 8, "X*0.75-40",
                      "\xB0"
                      "C",
                      kOutputFloat, 1, -40, 151.25f);
  auto* iatCurve = b.Value("IAT_SENSOR", "Intake air (sensor curve)", 8, 8, "X",
                           "\xB0"
                           "C",
                           kOutputFloat, 1, -40, 151.25f);
  iatCurve->lookupidhash = curve->idhash;
  iatCurve->lookup = curve;
  auto* tps = b.Value("TPS", "Throttle position", 9, 8, "X/2.55", "%", kOutputFloat, 1, 0, 100);
  auto* tpsV = b.Value("TPS_V", "Throttle sensor voltage", 9, 8, "X*0.0196", "V", kOutputFloat, 2, 0, 5);
  auto* rpm = b.Value("RPM", "Engine speed", 10, 8, "X*25", "rpm", kOutputInteger, 0, 0, 6375);
  rpm->flags = kValueAlarmHigh;
  rpm->alarmhigh = 5500.0f;
  auto* map = b.Value("MAP", "Manifold pressure", 11, 8, "X*0.4+10", "kPa", kOutputFloat, 1, 10, 112);
  auto* o2 = b.Value("O2", "Oxygen sensor", 12, 8, "X*4.44", "mV", kOutputInteger, 0, 0, 1132);
  auto* o2V = b.Value("O2_V", "Oxygen sensor voltage", 12, 8, "X*0.00444", "V", kOutputFloat, 3, 0, 1.132f);
  auto* spark = b.Value("SPARK", "Spark advance", 13, 8, "X*0.25", "\xB0", kOutputFloat, 1, 0, 63.75f);
  auto* iac = b.Value("IAC", "Idle air control position", 14, 8, "X", "steps", kOutputInteger, 0, 0, 255);
  auto* batt = b.Value("BATT", "Battery voltage", 15, 8, "X*0.1", "V", kOutputFloat, 1, 0, 25.5f);
  batt->flags = kValueAlarmLow | kValueAlarmHigh;
  batt->alarmlow = 12.0f;
  batt->alarmhigh = 15.0f;
  auto* vss = b.Value("VSS", "Vehicle speed", 16, 8, "X", "km/h", kOutputInteger, 0, 0, 255);
  auto* mph =
      b.Value("VSS_MPH", "Vehicle speed (mph)", 16, 8, "K*0.621371", "mph", kOutputInteger, 0, 0, 158);
  Link(mph, 'K', vss);
  auto* blm = b.Value("BLM", "Block learn multiplier", 17, 8, "X", nullptr, kOutputInteger, 0, 0, 255);
  auto* blmPct =
      b.Value("BLM_TRIM", "Long-term fuel trim", 17, 8, "(X-128)/1.28", "%", kOutputFloat, 1, -100, 100);
  auto* integ = b.Value("INT", "Integrator", 18, 8, "X", nullptr, kOutputInteger, 0, 0, 255);
  auto* intPct =
      b.Value("INT_TRIM", "Short-term fuel trim", 18, 8, "(X-128)/1.28", "%", kOutputFloat, 1, -100, 100);
  auto* inj = b.Value("INJ_PW", "Injector pulse width", 19, 16, "X*0.001", "ms", kOutputFloat, 2, 0, 20);
  auto* duty = b.Value("INJ_DUTY", "Injector duty cycle", 19, 16, "P*R/1200", "%", kOutputFloat, 1, 0, 100);
  Link(duty, 'P', inj);
  Link(duty, 'R', rpm);
  auto* runtime = b.Value("RUNTIME", "Engine run time", 21, 16, "X", "s", kOutputUnsigned, 0, 0, 65535);
  auto* knock = b.Value("KNOCK", "Knock counts", 23, 8, "X", nullptr, kOutputInteger, 0, 0, 255);
  auto* egr = b.Value("EGR", "EGR duty cycle", 24, 8, "X/2.56", "%", kOutputFloat, 1, 0, 100);
  auto* baro = b.Value("BARO", "Barometric pressure", 25, 8, "X*0.4+10", "kPa", kOutputFloat, 1, 10, 112);
  auto* idle = b.Value("IDLE_RPM", "Desired idle speed", 27, 8, "X*12.5", "rpm", kOutputInteger, 0, 0, 3187);
  auto* vacuum = b.Value("VACUUM", "Manifold vacuum", 11, 8, "B-M", "kPa", kOutputFloat, 1, 0, 102);
  Link(vacuum, 'B', baro);
  Link(vacuum, 'M', map);
  auto* load = b.Value("LOAD", "Engine load", 11, 8, "M/B*100", "%", kOutputFloat, 0, 0, 110);
  Link(load, 'M', map);
  Link(load, 'B', baro);
  auto* mapPsi =
      b.Value("MAP_PSI", "Manifold pressure (psi)", 11, 8, "M*0.145038", "psi", kOutputFloat, 2, 0, 17);
  Link(mapPsi, 'M', map);
  auto* status1 = b.Value("STATUS1", "Status flags 1", 5, 8, "X", nullptr, kOutputHex, 2, 0, 255);
  auto* malf = b.Value("MALF", "Malfunction flags", 6, 8, "X", nullptr, kOutputHex, 2, 0, 255);
  auto* status2 = b.Value("STATUS2", "Status flags 2", 26, 8, "X", nullptr, kOutputHex, 2, 0, 255);
  (void)prom;
  (void)tpsV;
  (void)o2V;
  (void)intPct;
  (void)runtime;
  (void)knock;
  (void)egr;
  (void)idle;
  (void)mapPsi;
  (void)status1;
  (void)malf;
  (void)status2;
  (void)coolantF;
  (void)mph;
  (void)iatCurve;

  // Bitmasks.
  auto* running = b.Flag("ENGINE_RUN", "Engine running", 5, 0x01, "Running", "Stopped");
  auto* closed = b.Flag("CLOSED_LOOP", "Closed loop", 5, 0x02, "Closed", "Open");
  auto* acReq = b.Flag("AC_REQUEST", "A/C request", 5, 0x04, "On", "Off");
  auto* acClutch = b.Flag("AC_CLUTCH", "A/C clutch", 5, 0x08, "Engaged", "Off");
  auto* fan = b.Flag("FAN", "Cooling fan", 5, 0x10, "On", "Off");
  auto* park = b.Flag("PARK_NEUTRAL", "Park/neutral", 5, 0x20, "P/N", "In gear");
  auto* cel = b.Flag("CHECK_ENGINE", "Check engine lamp", 6, 0x80, "ON", "Off");
  cel->flags = kBitmaskAlarmOnSet;
  auto* tcc = b.Flag("TCC", "Converter clutch", 26, 0x04, "Locked", "Unlocked");
  auto* pe = b.Flag("POWER_ENRICH", "Power enrichment", 26, 0x08, "Active", "Off");
  auto* dfco = b.Flag("DFCO", "Deceleration fuel cut-off", 26, 0x10, "Active", "Off");

  // Views.
  auto* list = b.Add<ADXListView>("ENGINE_LIST", "Engine");
  Separator(list, "Engine");
  Rows(list, {rpm, idle, map, vacuum, load, tps, coolant, coolantWord, iat, spark, iac, batt, vss, baro});
  Separator(list, "Fuel");
  Rows(list, {inj, duty, blm, blmPct, integ, o2, egr, knock});
  Separator(list, "Status");
  Rows(list, {running, closed, pe, dfco, tcc, acReq, acClutch, fan, park, cel});

  auto* dash = b.Add<ADXDashboard>("MAIN_DASH", "Main dash");
  Gauge(dash, rpm, 0, 0, 0, 33, 50);
  Gauge(dash, vss, 0, 33, 0, 66, 50);
  Gauge(dash, coolant, 0, 66, 0, 100, 50);
  Gauge(dash, map, 1, 0, 50, 25, 75);
  Gauge(dash, tps, 1, 25, 50, 50, 75);
  Gauge(dash, batt, 1, 50, 50, 75, 75);
  Gauge(dash, spark, 1, 75, 50, 100, 75);
  Gauge(dash, closed, 2, 0, 75, 33, 100);
  Gauge(dash, fan, 2, 33, 75, 66, 100);
  Gauge(dash, cel, 2, 66, 75, 100, 100);

  auto* sparkMap = b.Add<ADXHistogram>("SPARK_MAP", "Spark advance by speed and load");
  sparkMap->parentcmdidhash = data->idhash;
  sparkMap->SetRows(10);
  sparkMap->SetCols(16);
  sparkMap->SetXMin(500.0f);
  sparkMap->SetXMax(5000.0f);
  sparkMap->SetYMin(20.0f);
  sparkMap->SetYMax(100.0f);
  sparkMap->SetHistorySize(10);
  sparkMap->SetXValue(rpm);
  sparkMap->SetYValue(map);
  sparkMap->SetZValue(spark);
  auto* blmMap = b.Add<ADXHistogram>("BLM_MAP", "Block learn by speed and load");
  blmMap->parentcmdidhash = data->idhash;
  blmMap->SetRows(8);
  blmMap->SetCols(12);
  blmMap->SetXMin(500.0f);
  blmMap->SetXMax(5000.0f);
  blmMap->SetYMin(20.0f);
  blmMap->SetYMax(100.0f);
  blmMap->SetHistorySize(20);
  blmMap->SetXValue(rpm);
  blmMap->SetYValue(map);
  blmMap->SetZValue(blm);

  auto* chart = b.Add<ADXMonitor>("ENGINE_CHART", "Engine chart");
  Series(chart, rpm, 0x000000FF);
  Series(chart, tps, 0x0000C000);
  Series(chart, o2, 0x00FF0000);
  Series(chart, spark, 0x0000C0C0);

  def.connectcmd = connect;
  def.monitorcmd = loop;
  def.disconnectcmd = disconnect;
}
