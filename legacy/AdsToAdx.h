// Conversion of a legacy (ADS) definition, as read by LoadAds, into an ADX
// definition: the data commands become send commands (or one 160-baud
// listen), the lookup tables, values and bits become ADXLookupTable,
// ADXValue and ADXBitmask objects, and one list view shows every converted
// item. The dash is not converted.
//
// Thread contract: the function uses only its arguments; the caller makes
// sure that no other thread uses the target definition meanwhile (acquisition
// stopped), as for any load.
#pragma once

#include <string>
#include <vector>

class ADXDefinition;
class ALDLDefinition;

// What a conversion produced, for the import command's summary line and its
// warnings.
struct AdsConversionSummary {
  int commands = 0;  // send commands or the 160-baud listen
  int tables = 0;
  int values = 0;  // separators are not counted: they produce nothing
  int bits = 0;
  int listRows = 0;  // rows of the default list view; 0 when there is none
  bool hasListView = false;
  // Things the user should know about the result: a lookup table that was not
  // found, an equation too long to be saved whole, items left out of the
  // default view. One line each, naming the item.
  std::vector<std::string> notes;
};

// Clears target, then fills it from legacy. Returns 1 on success and 0 when
// either definition is missing (nothing is changed then). Objects are
// appended in this order: commands, tables, values, bits, the list view.
// summary (may be null) receives the counts and notes.
int ConvertAdsToAdx(ADXDefinition* target, const ALDLDefinition* legacy,
                    AdsConversionSummary* summary = nullptr);

// The leading decimal number of a text ("12.50 psi" reads 12.5, "B4" and ""
// read 0): an optional sign, digits, an optional fraction and exponent. Used
// to read back the legacy display of alarm and range limits. Results beyond
// the float range are held at the largest float of that sign.
float LeadingDecimalNumber(const std::string& text);
