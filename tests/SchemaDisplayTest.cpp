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

#include "app/HeadlessRecordsView.h"
#include "browser/Listing.h"

namespace orodorev {
namespace {

// Clicks on the tree of a scanned pubs database, as a user would make them.
class ListingClicks : public ::testing::Test {
 protected:
  void SetUp() override {
    resetApplicationState();
    controller = std::make_unique<ScanController>(frame, tree, log);
    RecoveryOptions options;
    options.databasePath = test::corpusDir() + "/v782_pubs_edc.mdf";
    options.logFolder = dir.path();
    options.recoveryMode = RecoveryMode::Standard;
    ASSERT_TRUE(controller->open(options));
    controller->waitForWorker();
    ASSERT_EQ(controller->outcome(), ScanOutcome::Completed);
    listing = std::make_unique<ListingController>(*controller->database(), *controller->catalog(), frame, tree, view,
                                                  controller->scanModuleValues(), false);
  }
  void TearDown() override {
    listing.reset();
    controller.reset();
    resetApplicationState();
  }

  void click(TreeItem item) {
    ASSERT_TRUE(listing->click(item));
    listing->wait();
  }

  TreeItem folder(const std::string& text) {
    const ObjectTreeFolders& f = controller->objectTree().folders();
    for (TreeItem item : {f.userTables, f.systemTables, f.views, f.storedProcedures, f.functions, f.triggers, f.defaults})
      if (tree.itemText(item) == text) return item;
    return kNoTreeItem;
  }

  std::string lastCaption() const { return frame.callsOf(FrameCallKind::CaptionText).back().text; }

  test::TempDir dir;
  HeadlessFrame frame;
  HeadlessTree tree;
  RunLog log;
  HeadlessRecordsView view;
  std::unique_ptr<ScanController> controller;
  std::unique_ptr<ListingController> listing;
};

TEST_F(ListingClicks, TableViewCheckAndFolder) {
  TreeItem titles = childNamed(tree, folder("User Tables"), "dbo.titles");
  click(titles);
  EXPECT_TRUE(view.listVisible);
  EXPECT_EQ(view.pageLabel, "Page1 - [18](1-18) Records");
  EXPECT_EQ(view.columns.size(), 10u);
  EXPECT_EQ(lastCaption(), "dbo.titles[18]");
  EXPECT_EQ(tree.itemText(tree.children(titles).at(1)), "PrimaryKey");
  EXPECT_EQ(appState().busy, 0);

  click(childNamed(tree, folder("Views"), "dbo.titleview"));
  EXPECT_FALSE(view.listVisible);
  EXPECT_TRUE(view.definitionVisible);
  EXPECT_NE(view.definitionText.find("CREATE VIEW titleview"), std::string::npos);
  EXPECT_EQ(lastCaption(), "dbo.titleview[0]");

  TreeItem jobs = childNamed(tree, folder("User Tables"), "dbo.jobs");
  click(jobs);
  TreeItem constraint = childNamed(tree, jobs, "Constraint");
  TreeItem check = kNoTreeItem;
  for (TreeItem item : tree.children(constraint))
    if (tree.itemText(item).find("CK__jobs__min") != std::string::npos) check = item;
  ASSERT_NE(check, kNoTreeItem);
  click(check);
  EXPECT_EQ(view.definitionText.rfind("ALTER TABLE  [dbo].[dbo.jobs] WITH NOCHECK ADD CONSTRAINT[", 0), 0u);

  click(folder("User Tables"));
  EXPECT_FALSE(view.listVisible);
  EXPECT_EQ(lastCaption(), "User Tables[0]");
}

TEST_F(ListingClicks, ClickWhileBusyAsksToWait) {
  appState().busy = 1;
  EXPECT_FALSE(listing->click(folder("Views")));
  EXPECT_EQ(frame.callsOf(FrameCallKind::MessageBox).back().text, "Please wait for the running process.");
  appState().busy = 0;
}

}  // namespace
}  // namespace orodorev
