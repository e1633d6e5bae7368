// The kinds table drives reading and writing: every kind's factory makes an
// object of its own type, its element name is what the writer saves and the
// reader recognises (in any letter case), and an object of every kind comes
// back from a file as the same kind with the same fields.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "definition/ADXDefinition.h"
#include "definition/ADXFile.h"
#include "definition/ADXKinds.h"
#include "definition/ADXObject.h"
#include "tests/definition/AdxSampleDefinitions.h"
#include "tests/definition/AdxTestSupport.h"

namespace {

TEST(AdxKindsTest, EveryKindIsOneRowWithItsOwnTypeAndNames) {
  std::set<std::uint32_t> types;
  std::set<std::string_view> elements;
  std::set<std::string_view> names;
  for (const AdxKind& kind : AdxKinds()) {
    EXPECT_TRUE(types.insert(kind.type).second) << kind.element;
    EXPECT_TRUE(elements.insert(kind.element).second) << kind.element;
    EXPECT_TRUE(names.insert(kind.name).second) << kind.element;
    const auto object = kind.make();
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->objectType, kind.type) << kind.element;
    EXPECT_EQ(FindAdxKind(kind.type), &kind);
    std::string lower(kind.element);
    for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    EXPECT_EQ(FindAdxKindByElement(lower), &kind);
    EXPECT_EQ(MakeAdxObject(kind.type)->objectType, kind.type);
  }
  EXPECT_EQ(AdxKinds().size(), 13u);
  EXPECT_EQ(FindAdxKind(ADX_TYPE_BASE), nullptr);
  EXPECT_EQ(FindAdxKind(ADX_TYPE_ITEMEXTRA), nullptr);
  EXPECT_EQ(FindAdxKindByElement("ADXHEADER"), nullptr);
  EXPECT_EQ(MakeAdxObject(0), nullptr);
}

TEST(AdxKindsTest, EveryKindIsWrittenUnderItsElementAndReadBack) {
  ADXDefinition def;
  BuildFullDefinition(def);
  std::set<std::uint32_t> present;
  for (std::size_t i = 0; i < def.ObjectCount(); ++i) present.insert(def.ObjectAt(i)->objectType);
  for (const AdxKind& kind : AdxKinds())
    EXPECT_TRUE(present.count(kind.type)) << "sample lacks " << kind.element;

  const std::string path = ::testing::TempDir() + "/kinds.adx";
  ASSERT_EQ(SaveAdx(&def, path.c_str(), nullptr), 1);
  const std::string text = ReadWholeFile(path);
  for (const AdxKind& kind : AdxKinds()) {
    EXPECT_NE(text.find("<" + std::string(kind.element)), std::string::npos) << kind.element;
  }
  ADXDefinition again;
  ASSERT_EQ(LoadAdx(&again, path.c_str(), nullptr, 0, nullptr), 1);
  ExpectSameDefinition(def, again);
}

}  // namespace
