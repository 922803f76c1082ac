#include <gtest/gtest.h>

#include "app/ApplicationState.h"
#include "app/HeadlessFrame.h"
#include "browser/Definition.h"
#include "tests/TestFiles.h"

namespace orodorev {
namespace {

TEST(ModuleValueText, HexPairsAsUtf16OrEightBitText) {
  const std::tuple<std::string, std::string, bool> cases[] = {
      {"0x41004200", "AB", true},  {"0x4142", "AB", false},       {"0xe9", "\xC3\xA9", false},
      {"0x", "", false},           {"x", "", false},              {"0x4", "", false},
      {"0x410", "A", false},       {"0x3100", "1", true}};
  for (const auto& [value, text, wide] : cases) {
    DecodedModuleText decoded = decodeModuleValue(value);
    EXPECT_EQ(decoded.text, text) << value;
    EXPECT_EQ(decoded.wide, wide) << value;
  }
}

TEST(CheckStatement, NamesTableConstraintAndCondition) {
  EXPECT_EQ(checkStatement("dbo.jobs", "CK_min", "([min_lvl] >= 10)"),
            "ALTER TABLE  [dbo].[dbo.jobs] WITH NOCHECK ADD CONSTRAINT[CK_min] CHECK ([min_lvl] >= 10)");
}

// Real modules, keys and checks of pubs.
TEST(CorpusDefinitions, ViewsKeysAndChecksOfPubs) {
  resetApplicationState();
  std::string path = test::corpusDir() + "/v782_pubs_edc.mdf";
  HeadlessFrame frame;
  DatabaseFile file(path, false, &frame);
  ASSERT_TRUE(file.opened());
  Catalog catalog(&file);
  loadCatalog(file, catalog, path);
  Definitions definitions(file, catalog, frame);
  auto view = definitionOf(catalog, definitions, "dbo.titleview");
  ASSERT_TRUE(view);
  EXPECT_NE(view->find("CREATE VIEW titleview"), std::string::npos) << *view;
  auto lines = frame.callsOf(FrameCallKind::ReportLine);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, "Retrieving Objects of Sysobjvalues System Tables...........");
  EXPECT_EQ(lines[1].text, "Retrieving  Objects of Sysobjvalues System Tables has been done...........");

  std::string pk, check;
  for (const ObjectRow& object : catalog.objects) {
    if (object.type == "PK" && object.name.find("titleid") != std::string::npos) pk = object.name;
    if (object.type == "C " && object.name.find("min_lvl") != std::string::npos) check = object.name;
  }
  EXPECT_EQ(definitionOf(catalog, definitions, pk), "ALTER TABLE dbo.titles ADD PRIMARY KEY ( title_id )");
  EXPECT_EQ(definitionOf(catalog, definitions, check),
            "ALTER TABLE  [dbo].[dbo.jobs] WITH NOCHECK ADD CONSTRAINT[" + check + "] CHECK ([min_lvl]>=(10))");
  EXPECT_FALSE(definitionOf(catalog, definitions, "dbo.nothing"));
  resetApplicationState();
}

}  // namespace
}  // namespace orodorev
