#include <gtest/gtest.h>

#include <set>

#include "app/HeadlessFrame.h"
#include "app/HeadlessTree.h"
#include "run/ObjectTree.h"

namespace orodorev {
namespace {

using Kind = FrameCallKind;

ObjectRow objectRow(const std::string& name, const std::string& type) {
  ObjectRow row;
  row.name = name;
  row.type = type;
  return row;
}

// Tables whose schema has descriptors, and tables whose schema has data pages.
SchemaPreparer fakeSchemas(std::set<std::string> withDescriptors, std::set<std::string> withPages) {
  return [withDescriptors, withPages](Catalog& catalog, const ObjectRow& object) {
    catalog.schema = TableSchema{};
    if (withPages.count(object.name)) catalog.schema.dataPages.push_back(PageId{1, 80});
    std::vector<ColumnDescriptor> descriptors;
    if (withDescriptors.count(object.name)) descriptors.push_back(makeDescriptor("id", "int(4)", kInt));
    return descriptors;
  };
}

class ObjectTreeTest : public ::testing::Test {
 protected:
  bool build(const std::string& databaseName, const SchemaPreparer& prepare = {}) {
    return objectTree.build(databaseName, catalog, frame, prepare);
  }

  HeadlessTree tree;
  HeadlessFrame frame;
  Catalog catalog;
  ObjectTree objectTree{tree};
};

TEST_F(ObjectTreeTest, GroupsObjectsUnderFoldersInReverseInsertionOrder) {
  for (auto [name, type] : std::vector<std::pair<std::string, std::string>>{
           {"dbo.A", "U "}, {"dbo.B", "U "}, {"V1", "V "}, {"scalar", "FN"}, {"inline", "IF"},
           {"tabular", "TF"}, {"proc", "P "}, {"trig", "TR"}, {"dflt", "D "}, {"sys.x", "S "},
           {"", "U "}, {"PK_A", "PK"}, {"notype", "X "}})
    catalog.objects.push_back(objectRow(name, type));

  ASSERT_TRUE(build("", fakeSchemas({"dbo.B", "sys.x"}, {"dbo.B", "sys.x"})));
  EXPECT_EQ(tree.print(),
            "RepairDataBase\n"
            "  Views\n"
            "    V1\n"
            "  Programmability\n"
            "    Triggers\n"
            "      trig\n"
            "    Default\n"
            "      dflt\n"
            "    Store Procedure\n"
            "      proc\n"
            "    Function\n"
            "      tabular\n"
            "      inline\n"
            "      scalar\n"
            "  Tables\n"
            "    System Tables\n"
            "      sys.x *\n"
            "        Columns\n"
            "    User Tables\n"
            "      dbo.B *\n"
            "        Columns\n"
            "      dbo.A\n"
            "        Columns\n");
  EXPECT_EQ(tree.itemText(objectTree.folders().userTables), "User Tables");
  EXPECT_EQ(tree.itemText(tree.firstChild(objectTree.folders().userTables)), "dbo.B");
}

TEST_F(ObjectTreeTest, TableIsBoldOnlyWithDescriptorsAndDataPages) {
  struct Case {
    bool descriptors;
    bool pages;
    bool bold;
  };
  for (Case c : {Case{false, false, false}, Case{true, false, false}, Case{false, true, false},
                 Case{true, true, true}}) {
    catalog.objects = {objectRow("dbo.t", "U ")};
    std::set<std::string> tables{"dbo.t"};
    ASSERT_TRUE(build("db", fakeSchemas(c.descriptors ? tables : std::set<std::string>{},
                                        c.pages ? tables : std::set<std::string>{})));
    TreeItem table = tree.firstChild(objectTree.folders().userTables);
    EXPECT_EQ(tree.isBold(table), c.bold) << c.descriptors << c.pages;
    EXPECT_FALSE(tree.isBold(tree.firstChild(table)));
    objectTree.clear();
  }
}

TEST_F(ObjectTreeTest, ViewsAndFunctionsHaveNoChildrenAndEveryItemDataIsZero) {
  catalog.objects = {objectRow("V1", "V "), objectRow("f", "FN")};
  ASSERT_TRUE(build("db", fakeSchemas({"V1", "f"}, {"V1", "f"})));
  TreeItem view = tree.firstChild(objectTree.folders().views);
  EXPECT_EQ(tree.itemText(view), "V1");
  EXPECT_TRUE(tree.children(view).empty());
  EXPECT_FALSE(tree.isBold(view));

  std::vector<TreeItem> pending{kNoTreeItem};
  size_t items = 0;
  while (!pending.empty()) {
    TreeItem item = pending.back();
    pending.pop_back();
    for (TreeItem child : tree.children(item)) {
      EXPECT_EQ(tree.itemData(child), 0u) << tree.itemText(child);
      pending.push_back(child);
      ++items;
    }
  }
  EXPECT_EQ(items, tree.itemCount());
}

TEST_F(ObjectTreeTest, ReportsProgressCaptionsAndLines) {
  catalog.objects = {objectRow("dbo.A", "U "), objectRow("", "U "), objectRow("V1", "V ")};
  ASSERT_TRUE(build("db"));
  EXPECT_EQ(frame.calls(), (std::vector<FrameCall>{
                               {Kind::ProgressRange, {}, 0, 3},
                               {Kind::CaptionText, "Creating Tree........."},
                               {Kind::ReportLine, "Creating Tree........."},
                               {Kind::ProgressPosition, {}, 0},
                               {Kind::ProgressPosition, {}, 1},
                               {Kind::ProgressPosition, {}, 3},
                               {Kind::CaptionText, "Process done........."},
                               {Kind::ReportLine, "Process done........."},
                               {Kind::ProgressPosition, {}, 0},
                           }));
}

TEST_F(ObjectTreeTest, WithoutObjectsLeavesOnlyTheFoldersAndFails) {
  EXPECT_FALSE(build("db"));
  EXPECT_EQ(tree.print(),
            "db\n  Views\n  Programmability\n    Triggers\n    Default\n    Store Procedure\n"
            "    Function\n  Tables\n    System Tables\n    User Tables\n");
  EXPECT_TRUE(frame.calls().empty());

  objectTree.clear();
  EXPECT_EQ(tree.itemCount(), 0u);
  EXPECT_EQ(objectTree.folders().root, kNoTreeItem);
}

}  // namespace
}  // namespace orodorev
