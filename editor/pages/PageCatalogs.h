#pragma once
// The long names of the stock-item and units catalogs, in row order, as the
// value page's drop-downs list them (the row number is each entry's data).
//
// Thread contract: pure functions.
#include <string>
#include <vector>

std::vector<std::string> StockItemCatalogNames();
std::vector<std::string> UnitsCatalogNames();
