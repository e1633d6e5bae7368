// A small engine definition and hand-made logs for the analysis tests.
//
// The definition has two send commands: FAST, whose reply of 8 bytes holds a
// 6-byte packet from offset 2, and SLOW, a 4-byte reply read whole. Values:
// RPM (FAST, 16 bits, X*0.25), MAP (FAST, X*0.5), SPARK (FAST, signed, X*0.5),
// TEMP (SLOW, X-40, alarms at 100 and -20), LOAD (FAST, X + T with T linked to
// TEMP), GEAR (FAST, lookup table to texts); bitmask KNOCK (FAST). Histograms:
// SPKMAP (FAST: RPM by MAP of SPARK), TEMPMAP (any command: RPM by TEMP of
// LOAD) and SLOWH (SLOW: TEMP by TEMP of TEMP).
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXFile.h"
#include "definition/ADXHistogram.h"
#include "definition/ADXLookupTable.h"
#include "definition/ADXValue.h"
#include "tests/datalog/XdlTestSupport.h"

namespace analysistest {

using xdltest::Bytes;

inline ADXValue* AddValue(ADXDefinition& def, const char* id, const char* title, const char* units,
                          std::uint32_t command, std::uint32_t offset, int bits, const char* equation) {
  auto v = std::make_unique<ADXValue>();
  v->SetId(id);
  v->SetTitle(title, std::strlen(title));
  v->SetUnits(units, std::strlen(units));
  v->parentcmdidhash = command;
  v->packetoffset = offset;
  v->sizeinbits = bits;
  v->SetEquation(equation, std::strlen(equation));
  v->outputtype = kOutputFloat;
  v->digcount = 2;
  ADXValue* raw = v.get();
  def.Append(std::move(v));
  return raw;
}

inline ADXHistogram* AddHistogram(ADXDefinition& def, const char* id, std::uint32_t command, ADXValue* x,
                                  ADXValue* y, ADXValue* z, int cols, float xmin, float xmax, int rows,
                                  float ymin, float ymax) {
  auto h = std::make_unique<ADXHistogram>();
  h->SetId(id);
  h->parentcmdidhash = command;
  h->SetXMin(xmin);
  h->SetXMax(xmax);
  h->SetYMin(ymin);
  h->SetYMax(ymax);
  h->SetCols(cols);
  h->SetRows(rows);
  h->SetHistorySize(4);
  h->xidhash = x->idhash;
  h->yidhash = y->idhash;
  h->zidhash = z->idhash;
  h->SetXValue(x);
  h->SetYValue(y);
  h->SetZValue(z);
  ADXHistogram* raw = h.get();
  def.Append(std::move(h));
  return raw;
}

struct EngineDefinition {
  std::uint32_t fast = 0;
  std::uint32_t slow = 0;
};

// Fills def; `variant` changes it for the diff tests: 1 = MAP's equation is
// X*0.5+1, LOAD removed and BOOST added.
inline EngineDefinition BuildEngineDefinition(ADXDefinition& def, int variant = 0) {
  EngineDefinition out;
  auto fast = std::make_unique<ADXCSendCommand>();
  fast->SetId("FAST");
  fast->flags = kSendReadReply;
  fast->replysize = 8;
  fast->packetoffset = 2;
  fast->packetsize = 6;
  out.fast = fast->idhash;
  def.Append(std::move(fast));
  auto slow = std::make_unique<ADXCSendCommand>();
  slow->SetId("SLOW");
  slow->flags = kSendReadReply;
  slow->replysize = 4;
  slow->packetoffset = 0;
  slow->packetsize = 4;
  out.slow = slow->idhash;
  def.Append(std::move(slow));

  auto table = std::make_unique<ADXLookupTable>();
  table->SetId("GEARS");
  table->SetOutputType(kLookupText);
  table->AddEntry(0.0f, "N", 1);
  table->AddEntry(1.0f, "1st", 3);
  table->AddEntry(2.0f, "2nd", 3);
  table->AddEntry(3.0f, "3rd", 3);
  ADXLookupTable* gears = table.get();
  def.Append(std::move(table));

  ADXValue* rpm = AddValue(def, "RPM", "Engine Speed", "rpm", out.fast, 0, 16, "X*0.25");
  ADXValue* map =
      AddValue(def, "MAP", "Manifold, Pressure", "kPa", out.fast, 2, 8, variant == 1 ? "X*0.5+1" : "X*0.5");
  ADXValue* spark = AddValue(def, "SPARK", "Spark \"Advance\"", "deg", out.fast, 3, 8, "X*0.5");
  spark->flags |= 0x1;  // signed
  ADXValue* temp = AddValue(def, "TEMP", "Coolant", "degC", out.slow, 0, 8, "X-40");
  temp->flags |= kValueAlarmHigh | kValueAlarmLow;
  temp->alarmhigh = 100.0f;
  temp->alarmlow = -20.0f;
  ADXValue* load = nullptr;
  if (variant != 1) {
    load = AddValue(def, "LOAD", "Load", "%", out.fast, 2, 8, "X+T");
    load->SetVariableSource('T', kVariableLink, temp->idhash);
  }
  ADXValue* gear = AddValue(def, "GEAR", "Gear", "", out.fast, 5, 8, "X");
  gear->lookupidhash = gears->idhash;
  gear->lookup = gears;
  if (variant == 1) AddValue(def, "BOOST", "Boost", "kPa", out.fast, 2, 8, "X*0.5-100");

  auto knock = std::make_unique<ADXBitmask>();
  knock->SetId("KNOCK");
  knock->SetTitle("Knock", 5);
  knock->parentcmdidhash = out.fast;
  knock->packetoffset = 4;
  knock->operand = 0x01;
  knock->result = 0x01;
  knock->SetTrueString("YES", 3);
  knock->SetFalseString("no", 2);
  def.Append(std::move(knock));

  AddHistogram(def, "SPKMAP", out.fast, rpm, map, spark, 5, 0.0f, 2000.0f, 4, 0.0f, 120.0f);
  AddHistogram(def, "TEMPMAP", 0, rpm, temp, load != nullptr ? load : map, 3, 0.0f, 3000.0f, 3, -40.0f,
               200.0f);
  AddHistogram(def, "SLOWH", out.slow, temp, temp, temp, 2, -40.0f, 200.0f, 1, 0.0f, 1.0f);
  return out;
}

// The log's entries: FAST (8-byte replies) and SLOW (4 bytes).
inline std::vector<xdltest::RawEntry> EngineEntries(const EngineDefinition& e) {
  return {{e.fast, "FAST", ADX_TYPE_SENDCOMMAND, 8, 8, xdltest::AllOnes(15)},
          {e.slow, "SLOW", ADX_TYPE_SENDCOMMAND, 4, 4, xdltest::AllOnes(15)}};
}

// n records, mostly FAST with every fourth SLOW, 25 ms apart, random bytes.
inline std::vector<xdltest::RawRecord> EngineRecords(std::size_t n, unsigned seed = 7) {
  std::mt19937 random(seed);
  std::vector<xdltest::RawRecord> records;
  for (std::size_t i = 0; i < n; ++i) {
    xdltest::RawRecord r;
    r.timeMs = static_cast<std::uint32_t>(i * 25);
    r.entryIndex = i % 4 == 3 ? 1 : 0;
    const std::size_t size = r.entryIndex == 0 ? 8 : 4;
    for (std::size_t b = 0; b < size; ++b) r.payload.push_back(static_cast<std::uint8_t>(random()));
    if (r.entryIndex == 0) r.payload[7] = static_cast<std::uint8_t>(r.payload[7] % 4);  // gear 0..3
    records.push_back(std::move(r));
  }
  return records;
}

}  // namespace analysistest
