#pragma once
// A tree without a window: keeps the items in memory for tests and the command line.
// Safe to call from the worker and the user-interface thread alike.

#include <map>
#include <mutex>

#include "app/TreePort.h"

namespace orodorev {

class HeadlessTree : public TreePort {
 public:
  TreeItem insertFirstChild(TreeItem parent, const std::string& text) override;
  TreeItem insertLastChild(TreeItem parent, const std::string& text) override;
  std::string itemText(TreeItem item) const override;
  void setItemData(TreeItem item, uint32_t data) override;
  uint32_t itemData(TreeItem item) const override;
  void setBold(TreeItem item, bool bold) override;
  bool isBold(TreeItem item) const override;
  TreeItem parentItem(TreeItem item) const override;
  TreeItem firstChild(TreeItem item) const override;
  std::vector<TreeItem> children(TreeItem item) const override;
  TreeItem selectedItem() const override;
  void selectItem(TreeItem item) override;
  void deleteAllItems() override;
  void sortChildren(TreeItem parent) override;

  size_t itemCount() const;
  // One line per item in display order, two spaces of indent per level, bold items
  // followed by " *".
  std::string print() const;

 private:
  struct Node {
    std::string text;
    TreeItem parent = kNoTreeItem;
    std::vector<TreeItem> children;
    uint32_t data = 0;
    bool bold = false;
  };

  TreeItem insert(TreeItem parent, const std::string& text, bool first);
  // The children list of an item, or of the top level; nullptr for an unknown item.
  std::vector<TreeItem>* childList(TreeItem parent);
  const Node* find(TreeItem item) const;
  Node* find(TreeItem item);
  void printLevel(std::string& out, const std::vector<TreeItem>& items, size_t depth) const;

  mutable std::mutex mutex_;
  std::map<TreeItem, Node> nodes_;
  std::vector<TreeItem> topLevel_;
  TreeItem nextHandle_ = 1;
  TreeItem selected_ = kNoTreeItem;
};

}  // namespace orodorev
