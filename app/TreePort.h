#pragma once
// What the object tree and the schema display may do with the tree control. Every
// call returns after the tree has handled it, so a worker can rely on its order.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace orodorev {

// A handle of one tree item; kNoTreeItem names no item, or the level above the
// top-level items where a parent is expected.
using TreeItem = uint64_t;
constexpr TreeItem kNoTreeItem = 0;

// The order of sortChildren: by text, ASCII letters compared without case.
inline bool treeSortsBefore(const std::string& a, const std::string& b) {
  auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) {
    return static_cast<unsigned char>(fold(x)) < static_cast<unsigned char>(fold(y));
  });
}

class TreePort {
 public:
  virtual ~TreePort() = default;

  // Inserts an item before or after its future siblings; kNoTreeItem as parent inserts
  // a top-level item. Returns kNoTreeItem when the parent is not an item of the tree.
  virtual TreeItem insertFirstChild(TreeItem parent, const std::string& text) = 0;
  virtual TreeItem insertLastChild(TreeItem parent, const std::string& text) = 0;

  // Empty for kNoTreeItem or an unknown item.
  virtual std::string itemText(TreeItem item) const = 0;
  virtual void setItemData(TreeItem item, uint32_t data) = 0;
  virtual uint32_t itemData(TreeItem item) const = 0;
  virtual void setBold(TreeItem item, bool bold) = 0;
  virtual bool isBold(TreeItem item) const = 0;

  virtual TreeItem parentItem(TreeItem item) const = 0;
  virtual TreeItem firstChild(TreeItem item) const = 0;
  // The children in display order; kNoTreeItem gives the top-level items.
  virtual std::vector<TreeItem> children(TreeItem item) const = 0;

  virtual TreeItem selectedItem() const = 0;
  virtual void selectItem(TreeItem item) = 0;

  // Removes every item; the selection becomes kNoTreeItem.
  virtual void deleteAllItems() = 0;
  // Orders the children by text, ignoring the case of ASCII letters; equal texts keep
  // their order.
  virtual void sortChildren(TreeItem parent) = 0;
};

}  // namespace orodorev
