// The two catalogs: sizes, shared first rows, exact names and the packed word.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "editor/catalogs/AdxCatalogs.h"

namespace {

TEST(Catalogs, RowsAreNumberedByPositionAndShareTheirFirstFour) {
  ASSERT_EQ(UnitsCatalog().size(), kUnitsCatalogRows);
  ASSERT_EQ(StockItemCatalog().size(), kStockItemCatalogRows);
  for (std::size_t i = 0; i < UnitsCatalog().size(); ++i) EXPECT_EQ(UnitsCatalog()[i].identifier, i);
  for (std::size_t i = 0; i < StockItemCatalog().size(); ++i) EXPECT_EQ(StockItemCatalog()[i].identifier, i);
  const char* shared[][2] = {{"{None}", "{None}"},
                             {"{Externally Defined}", "{Ext}"},
                             {"{Undefined}", "{Undef}"},
                             {"{Unknown}", "{Unknown}"}};
  for (std::uint32_t i = 0; i < 4; ++i) {
    EXPECT_STREQ(UnitsLongName(i), shared[i][0]);
    EXPECT_STREQ(StockItemLongName(i), shared[i][0]);
    EXPECT_STREQ(UnitsShortName(i), shared[i][1]);
    EXPECT_STREQ(StockItemShortName(i), shared[i][1]);
  }
}

TEST(Catalogs, NamesAreKeptAsWritten) {
  // The spellings are the catalog's own, odd ones included.
  EXPECT_STREQ(UnitsLongName(13), "Degrees Ferenheit");
  EXPECT_STREQ(UnitsLongName(14), "Degrees Celcius");
  EXPECT_STREQ(UnitsShortName(64), "l. oz.");
  EXPECT_STREQ(UnitsLongName(94), "Pascal-Second");
  EXPECT_STREQ(UnitsShortName(94), "Pa-s");
  EXPECT_STREQ(StockItemLongName(37), "Fuel Trim, Course");
  EXPECT_STREQ(StockItemShortName(13), "Strt Coolnt. Tmp");
  EXPECT_STREQ(StockItemLongName(60), "Vacuum");
  EXPECT_STREQ(StockItemShortName(60), "Vac.");
  // No two rows of a catalog share a long name (a shifted row would show up).
  for (auto rows : {UnitsCatalog(), StockItemCatalog()}) {
    std::set<std::string> names;
    for (const AdxCatalogRow& row : rows) EXPECT_TRUE(names.insert(row.longName).second) << row.longName;
  }
}

TEST(Catalogs, OutsideTheCatalogThereIsNoRow) {
  EXPECT_EQ(UnitsCatalogRow(95), nullptr);
  EXPECT_EQ(StockItemCatalogRow(61), nullptr);
  EXPECT_EQ(UnitsLongName(0xFFFFFFFFu), nullptr);
  EXPECT_EQ(StockItemShortName(1000), nullptr);
}

TEST(Catalogs, TypeWordHoldsStockItemHighAndUnitsLow) {
  const std::uint32_t word = PackValueTypeWord(6, 4);
  EXPECT_EQ(word, 0x00060004u);
  EXPECT_EQ(StockItemOfTypeWord(word), 6u);
  EXPECT_EQ(UnitsOfTypeWord(word), 4u);
  EXPECT_EQ(PackValueTypeWord(0x1FFFF, 0x10002), 0xFFFF0002u) << "each number keeps 16 bits";
}

}  // namespace
