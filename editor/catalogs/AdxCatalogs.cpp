// The two fixed catalogs a value can name: what quantity it is (stock items)
// and in which unit it is measured. Rows are kept in row-number order so that
// a row's identifier is its index.
#include "editor/catalogs/AdxCatalogs.h"

namespace {

constexpr AdxCatalogRow kUnitsRows[] = {
    {0, "{None}", "{None}"},
    {1, "{Externally Defined}", "{Ext}"},
    {2, "{Undefined}", "{Undef}"},
    {3, "{Unknown}", "{Unknown}"},
    {4, "Revolutions Per Minute", "RPM"},
    {5, "Miles Per Hour", "MPH"},
    {6, "Kilometers Per Hour", "KPH"},
    {7, "Knots", "kts"},
    {8, "Feet Per Second", "Ft/s"},
    {9, "Meters Per Second", "M/s"},
    {10, "Grams Per Second", "Gr/s"},
    {11, "Pounds Per Hour", "Lb/Hr"},
    {12, "Kilograms Per Hour", "Kg/Hr"},
    {13, "Degrees Ferenheit", "Deg F"},
    {14, "Degrees Celcius", "Deg C"},
    {15, "Degrees Kelvin", "Deg K"},
    {16, "Kilopascal", "KPa"},
    {17, "Pounds Per Square Inch", "PSI"},
    {18, "Bar", "Bar"},
    {19, "Millibar", "mBar"},
    {20, "Air Fuel Ratio", "AFR"},
    {21, "Lambda", "Lambda"},
    {22, "Rotational Degrees", "Deg"},
    {23, "Load Value (LV8)", "LV8"},
    {24, "Count", "Count"},
    {25, "Steps", "Steps"},
    {26, "Hertz", "Hz"},
    {27, "Kilohertz", "KHz"},
    {28, "Megahertz", "MHz"},
    {29, "Decibels", "dB"},
    {30, "Volts", "V"},
    {31, "Millivolts", "mV"},
    {32, "Watts", "W"},
    {33, "Kilowatts", "KW"},
    {34, "Megawatts", "MW"},
    {35, "Milliwatts", "mW"},
    {36, "Ohms", "Ohms"},
    {37, "Milliohms", "mOhms"},
    {38, "Amps", "A"},
    {39, "Milliamps", "mA"},
    {40, "Kilometers", "km"},
    {41, "Miles", "mi"},
    {42, "Nautical Mile", "nmi"},
    {43, "Meters", "m"},
    {44, "Centimeters", "cm"},
    {45, "Millimeters", "mm"},
    {46, "Square Miles", "Sq. Miles"},
    {47, "Square Yards", "Sq. yds"},
    {48, "Square Feet", "Sq. ft"},
    {49, "Square Inches", "Sq. in"},
    {50, "Square Kilometers", "Sq. km"},
    {51, "Square Meters", "Sq. m"},
    {52, "Square Centimeters", "Sq. cm"},
    {53, "Square Millimeters", "Sq. mm"},
    {54, "Cubic Yards", "Cu. Yds"},
    {55, "Cubic Feet", "Cu. ft"},
    {56, "Cubic Inches", "Cu. in"},
    {57, "Cubic Meters", "Cu. m"},
    {58, "Cubic Centimeters", "Cu. cm"},
    {59, "Cubic Millimeters", "Cu. mm"},
    {60, "Liters", "L"},
    {61, "Quarts", "Qts"},
    {62, "Pints", "Pts"},
    {63, "Gallons", "G"},
    {64, "Fluid Ounces", "l. oz."},
    {65, "Percent", "%"},
    {66, "Duty Cycle", "%DC"},
    {67, "Pulse Width", "PW"},
    {68, "Horsepower", "HP"},
    {69, "Newtons", "N"},
    {70, "Joules", "J"},
    {71, "Newton-Meters", "NM"},
    {72, "Newton-Centimeters", "Ncm"},
    {73, "Foot-Pounds", "Ft-Lbs"},
    {74, "Inch-Pounds", "In-Lbs"},
    {75, "Miles Per Gallon", "MPG"},
    {76, "Liters Per 100KM", "L/100km"},
    {77, "Kilometers Per Liter", "KM/L"},
    {78, "Years", "Years"},
    {79, "Days", "Days"},
    {80, "Hours", "Hrs"},
    {81, "Minutes", "Min."},
    {82, "Seconds", "Sec."},
    {83, "Milliseconds", "mS"},
    {84, "Microseconds", "uS"},
    {85, "Tons", "T"},
    {86, "Pounds", "lbs"},
    {87, "Ounces", "Oz."},
    {88, "Milligrams", "mg"},
    {89, "Grams", "g"},
    {90, "Kilograms", "Kg"},
    {91, "Tonne", "t"},
    {92, "Poise", "P"},
    {93, "Centipoise", "cP"},
    {94, "Pascal-Second", "Pa-s"},
};

constexpr AdxCatalogRow kStockItemRows[] = {
    {0, "{None}", "{None}"},
    {1, "{Externally Defined}", "{Ext}"},
    {2, "{Undefined}", "{Undef}"},
    {3, "{Unknown}", "{Unknown}"},
    {4, "Calibration Version", "Cal Ver"},
    {5, "Vehicle Speed", "Veh. Spd"},
    {6, "Engine Speed", "Eng. Spd"},
    {7, "Wheel Speed", "Wh. Spd"},
    {8, "Wheel Speed, Front-Left", "Wh. Spd FL"},
    {9, "Wheel Speed, Front-Right", "Wh. Spd FR"},
    {10, "Wheel Speed, Rear-Left", "Wh. Spd RL"},
    {11, "Wheel Speed, Rear-Right", "Wh. Spd RR"},
    {12, "Coolant Temp", "Coolnt. Tmp"},
    {13, "Startup Coolant Temp", "Strt Coolnt. Tmp"},
    {14, "Exhaust Temp", "Exh. Tmp"},
    {15, "Exhaust Temp, Left Bank", "Exh. Tmp LB"},
    {16, "Exhaust Temp, Right Bank", "Exh. Tmp RB"},
    {17, "Manifold Air Temp", "MAT"},
    {18, "Transmission Temp", "Trans Tmp"},
    {19, "Oil Temp", "Oil Tmp"},
    {20, "Power Steering Temp", "PS Tmp"},
    {21, "Load", "Load"},
    {22, "Mass Air Pressure", "MAP"},
    {23, "Airflow", "AirFl"},
    {24, "Mass Air Flow", "MAF"},
    {25, "Air Fuel Ratio", "AFR"},
    {26, "Target Air Fuel Ratio", "Target AFR"},
    {27, "Actual Air Fuel Ratio", "Actual AFR"},
    {28, "Lambda", "Lambda"},
    {29, "Target Lambda", "Targ. Lambda"},
    {30, "Actual Lambda", "Actual Lambda"},
    {31, "Knock Count", "Knock Cnt"},
    {32, "Knock Retard", "Knock Retard"},
    {33, "Idle Air Control Position", "IAC Pos."},
    {34, "Idle Speed", "Idle Spd."},
    {35, "Spark Angle, TDC", "Spark TDC"},
    {36, "Spark Angle, Reference", "Spark Ref."},
    {37, "Fuel Trim, Course", "Crs Fuel Trim"},
    {38, "Fuel Trim, Fine", "Fine Fuel Trim"},
    {39, "Injector Pulse Width", "Inj. PW"},
    {40, "Injector Base Pulse Width", "Inj. BPW"},
    {41, "Injector Final Pulse Width", "Inj. FPW"},
    {42, "Fuel Economy", "Econ."},
    {43, "Average Fuel Economy", "Avg. Econ."},
    {44, "Instant Fuel Economy", "Inst. Econ."},
    {45, "Throttle Position", "Th. Pos."},
    {46, "Oxygen Sensor", "O2"},
    {47, "Oxygen Sensor, Left", "Left O2"},
    {48, "Oxygen Sensor, Right", "Right O2"},
    {49, "Oxygen Sensor, Wide-band", "WBO2"},
    {50, "Oxygen Sensor, Wide-band, Left", "Left WBO2"},
    {51, "Oxygen Sensor, Wide-band, Right", "Right WBO2"},
    {52, "Transmission Gear", "Gear"},
    {53, "NV Ratio", "NVRatio"},
    {54, "Battery Voltage", "Batt. V."},
    {55, "Fuel Pump Voltage", "Fuel Pump V"},
    {56, "Fuel Pressure", "Fuel Press."},
    {57, "Oil Pressure", "Oil Press."},
    {58, "Power Steering Pressure", "PS Press."},
    {59, "Boost", "Boost"},
    {60, "Vacuum", "Vac."},
};

const AdxCatalogRow* RowOf(std::span<const AdxCatalogRow> rows, std::uint32_t identifier) {
  return identifier < rows.size() ? &rows[identifier] : nullptr;
}

}  // namespace

std::span<const AdxCatalogRow> UnitsCatalog() {
  return kUnitsRows;
}
std::span<const AdxCatalogRow> StockItemCatalog() {
  return kStockItemRows;
}

const AdxCatalogRow* UnitsCatalogRow(std::uint32_t identifier) {
  return RowOf(kUnitsRows, identifier);
}
const AdxCatalogRow* StockItemCatalogRow(std::uint32_t identifier) {
  return RowOf(kStockItemRows, identifier);
}

const char* UnitsLongName(std::uint32_t identifier) {
  const AdxCatalogRow* row = UnitsCatalogRow(identifier);
  return row ? row->longName : nullptr;
}
const char* UnitsShortName(std::uint32_t identifier) {
  const AdxCatalogRow* row = UnitsCatalogRow(identifier);
  return row ? row->shortName : nullptr;
}
const char* StockItemLongName(std::uint32_t identifier) {
  const AdxCatalogRow* row = StockItemCatalogRow(identifier);
  return row ? row->longName : nullptr;
}
const char* StockItemShortName(std::uint32_t identifier) {
  const AdxCatalogRow* row = StockItemCatalogRow(identifier);
  return row ? row->shortName : nullptr;
}

std::uint32_t PackValueTypeWord(std::uint32_t stockItem, std::uint32_t units) {
  return ((stockItem & 0xFFFFu) << 16) | (units & 0xFFFFu);
}
std::uint32_t StockItemOfTypeWord(std::uint32_t word) {
  return word >> 16;
}
std::uint32_t UnitsOfTypeWord(std::uint32_t word) {
  return word & 0xFFFFu;
}
