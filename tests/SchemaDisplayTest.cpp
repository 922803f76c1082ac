#include <gtest/gtest.h>

#include "app/ApplicationState.h"
#include "app/HeadlessFrame.h"
#include "app/HeadlessTree.h"
#include "browser/SchemaDisplay.h"
#include "run/ScanWorker.h"
#include "tests/TestFiles.h"

namespace orodorev {
namespace {

std::vector<std::string> childTexts(const HeadlessTree& tree, TreeItem item) {
  std::vector<std::string> texts;
  for (TreeItem child : tree.children(item)) texts.push_back(tree.itemText(child));
  return texts;
}

TreeItem childNamed(const HeadlessTree& tree, TreeItem parent, const std::string& text) {
  for (TreeItem child : tree.children(parent))
    if (tree.itemText(child) == text) return child;
  return kNoTreeItem;
}

// A scanned pubs database; clicking dbo.titles and dbo.jobs shows their structure.
TEST(SchemaDisplay, ScannedTableShowsKeysConstraintsAndColumns) {
  resetApplicationState();
  test::TempDir dir;
  HeadlessFrame frame;
  HeadlessTree tree;
  RunLog log;
  ScanController controller(frame, tree, log);
  RecoveryOptions options;
  options.databasePath = test::corpusDir() + "/v782_pubs_edc.mdf";
  options.logFolder = dir.path();
  options.recoveryMode = RecoveryMode::Standard;
  ASSERT_TRUE(controller.open(options));
  controller.waitForWorker();
  ASSERT_EQ(controller.outcome(), ScanOutcome::Completed);
  EXPECT_FALSE(controller.scanModuleValues().empty());

  TreeItem userTables = controller.objectTree().folders().userTables;
  TreeItem titles = childNamed(tree, userTables, "dbo.titles");
  ASSERT_NE(titles, kNoTreeItem);
  TreeItem columns = tree.firstChild(titles);
  ASSERT_EQ(tree.itemText(columns), "Columns");
  Catalog& catalog = *controller.catalog();
  for (int click = 0; click < 2; ++click)
    showTableStructure(tree, titles, columns, catalog, "dbo.titles", "U ", controller.scanModuleValues());

  EXPECT_EQ(childTexts(tree, titles),
            (std::vector<std::string>{"Columns", "PrimaryKey", "Constraint", "Unique", "ForeignKey"}));
  auto columnItems = childTexts(tree, columns);
  ASSERT_EQ(columnItems.size(), 10u);
  EXPECT_EQ(columnItems.front(), "pubdate  datetime(8)");
  EXPECT_EQ(columnItems.back(), "title_id  tid(6)[Primary Key]");
  EXPECT_EQ(childTexts(tree, childNamed(tree, titles, "PrimaryKey")),
            (std::vector<std::string>{"dbo.UPKCL_titleidind"}));
  EXPECT_EQ(childTexts(tree, childNamed(tree, titles, "ForeignKey")).size(), 1u);
  TreeItem constraints = childNamed(tree, titles, "Constraint");
  ASSERT_EQ(tree.children(constraints).size(), 2u);  // two defaults
  for (TreeItem item : tree.children(constraints)) EXPECT_EQ(tree.itemData(item), 1u);
  resetApplicationState();
}

}  // namespace
}  // namespace orodorev
