#pragma once
// The units catalog and the stock-item catalog of the definition editor. A
// value stores the row numbers it picked (its `datatype` and `unittype`); only
// the editor carries the names.
//
// Thread contract: constant tables; any thread may read them.
#include <cstdint>
#include <span>

struct AdxCatalogRow {
  std::uint32_t identifier;  // equals the row number
  const char* longName;      // shown in the editor's drop-downs
  const char* shortName;     // abbreviation kept with the row
};

constexpr std::uint32_t kUnitsCatalogRows = 95;
constexpr std::uint32_t kStockItemCatalogRows = 61;

// Every row, in row-number order.
std::span<const AdxCatalogRow> UnitsCatalog();
std::span<const AdxCatalogRow> StockItemCatalog();

// The row with the identifier, or nullptr outside the catalog.
const AdxCatalogRow* UnitsCatalogRow(std::uint32_t identifier);
const AdxCatalogRow* StockItemCatalogRow(std::uint32_t identifier);
// The row's names, or nullptr outside the catalog.
const char* UnitsLongName(std::uint32_t identifier);
const char* UnitsShortName(std::uint32_t identifier);
const char* StockItemLongName(std::uint32_t identifier);
const char* StockItemShortName(std::uint32_t identifier);

// The one 32-bit word a value keeps both numbers in: stock item in the upper
// 16 bits, units in the lower 16 bits.
std::uint32_t PackValueTypeWord(std::uint32_t stockItem, std::uint32_t units);
std::uint32_t StockItemOfTypeWord(std::uint32_t word);
std::uint32_t UnitsOfTypeWord(std::uint32_t word);
