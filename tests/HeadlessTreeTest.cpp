#include <gtest/gtest.h>

#include "app/HeadlessTree.h"

namespace orodorev {
namespace {

std::vector<std::string> textsOf(const HeadlessTree& tree, TreeItem parent) {
  std::vector<std::string> texts;
  for (TreeItem item : tree.children(parent)) texts.push_back(tree.itemText(item));
  return texts;
}

TEST(HeadlessTreeTest, FirstChildGoesBeforeAndLastChildAfterItsSiblings) {
  HeadlessTree tree;
  TreeItem root = tree.insertLastChild(kNoTreeItem, "root");
  tree.insertFirstChild(root, "b");
  tree.insertFirstChild(root, "a");
  TreeItem c = tree.insertLastChild(root, "c");

  EXPECT_EQ(textsOf(tree, root), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(tree.itemText(tree.firstChild(root)), "a");
  EXPECT_EQ(tree.parentItem(c), root);
  EXPECT_EQ(tree.parentItem(root), kNoTreeItem);
  EXPECT_EQ(tree.firstChild(c), kNoTreeItem);
  EXPECT_EQ(tree.itemText(kNoTreeItem), "");
  EXPECT_EQ(tree.insertFirstChild(999, "orphan"), kNoTreeItem);
}

TEST(HeadlessTreeTest, KeepsDataBoldAndSelectionUntilDeleteAll) {
  HeadlessTree tree;
  TreeItem item = tree.insertLastChild(kNoTreeItem, "item");
  tree.setItemData(item, 0xDEADBEEF);
  tree.setBold(item, true);
  tree.selectItem(item);
  EXPECT_EQ(tree.itemData(item), 0xDEADBEEFu);
  EXPECT_TRUE(tree.isBold(item));
  EXPECT_EQ(tree.selectedItem(), item);

  tree.deleteAllItems();
  EXPECT_EQ(tree.itemCount(), 0u);
  EXPECT_EQ(tree.selectedItem(), kNoTreeItem);
  EXPECT_EQ(tree.itemText(item), "");
  EXPECT_FALSE(tree.isBold(item));
}

TEST(HeadlessTreeTest, SortIgnoresAsciiCaseAndKeepsEqualTextsInOrder) {
  HeadlessTree tree;
  TreeItem folder = tree.insertLastChild(kNoTreeItem, "folder");
  for (const char* text : {"dbo.b", "dbo.C", "dbo.a", "DBO.A", "dbo.B2"}) tree.insertLastChild(folder, text);
  TreeItem child = tree.insertLastChild(tree.children(folder).front(), "Columns");
  tree.sortChildren(folder);

  EXPECT_EQ(textsOf(tree, folder),
            (std::vector<std::string>{"dbo.a", "DBO.A", "dbo.b", "dbo.B2", "dbo.C"}));
  EXPECT_EQ(tree.itemText(tree.parentItem(child)), "dbo.b");
}

TEST(HeadlessTreeTest, PrintsTwoSpacesPerLevelAndMarksBoldItems) {
  HeadlessTree tree;
  TreeItem root = tree.insertLastChild(kNoTreeItem, "db");
  TreeItem table = tree.insertLastChild(root, "dbo.t");
  tree.insertLastChild(table, "Columns");
  tree.insertLastChild(root, "Views");
  tree.setBold(table, true);

  EXPECT_EQ(tree.print(), "db\n  dbo.t *\n    Columns\n  Views\n");
}

}  // namespace
}  // namespace orodorev
