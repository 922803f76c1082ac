#include "app/HeadlessTree.h"

#include <algorithm>

namespace orodorev {

const HeadlessTree::Node* HeadlessTree::find(TreeItem item) const {
  auto found = nodes_.find(item);
  return found == nodes_.end() ? nullptr : &found->second;
}

HeadlessTree::Node* HeadlessTree::find(TreeItem item) {
  auto found = nodes_.find(item);
  return found == nodes_.end() ? nullptr : &found->second;
}

std::vector<TreeItem>* HeadlessTree::childList(TreeItem parent) {
  if (parent == kNoTreeItem) return &topLevel_;
  Node* node = find(parent);
  return node ? &node->children : nullptr;
}

TreeItem HeadlessTree::insert(TreeItem parent, const std::string& text, bool first) {
  std::lock_guard lock(mutex_);
  std::vector<TreeItem>* siblings = childList(parent);
  if (!siblings) return kNoTreeItem;
  TreeItem item = nextHandle_++;
  siblings->insert(first ? siblings->begin() : siblings->end(), item);
  nodes_[item] = Node{text, parent, {}, 0, false};
  return item;
}

TreeItem HeadlessTree::insertFirstChild(TreeItem parent, const std::string& text) {
  return insert(parent, text, true);
}

TreeItem HeadlessTree::insertLastChild(TreeItem parent, const std::string& text) {
  return insert(parent, text, false);
}

std::string HeadlessTree::itemText(TreeItem item) const {
  std::lock_guard lock(mutex_);
  const Node* node = find(item);
  return node ? node->text : std::string();
}

void HeadlessTree::setItemData(TreeItem item, uint32_t data) {
  std::lock_guard lock(mutex_);
  if (Node* node = find(item)) node->data = data;
}

uint32_t HeadlessTree::itemData(TreeItem item) const {
  std::lock_guard lock(mutex_);
  const Node* node = find(item);
  return node ? node->data : 0;
}

void HeadlessTree::setBold(TreeItem item, bool bold) {
  std::lock_guard lock(mutex_);
  if (Node* node = find(item)) node->bold = bold;
}

bool HeadlessTree::isBold(TreeItem item) const {
  std::lock_guard lock(mutex_);
  const Node* node = find(item);
  return node && node->bold;
}

TreeItem HeadlessTree::parentItem(TreeItem item) const {
  std::lock_guard lock(mutex_);
  const Node* node = find(item);
  return node ? node->parent : kNoTreeItem;
}

TreeItem HeadlessTree::firstChild(TreeItem item) const {
  std::lock_guard lock(mutex_);
  const Node* node = find(item);
  return node && !node->children.empty() ? node->children.front() : kNoTreeItem;
}

std::vector<TreeItem> HeadlessTree::children(TreeItem item) const {
  std::lock_guard lock(mutex_);
  if (item == kNoTreeItem) return topLevel_;
  const Node* node = find(item);
  return node ? node->children : std::vector<TreeItem>{};
}

TreeItem HeadlessTree::selectedItem() const {
  std::lock_guard lock(mutex_);
  return selected_;
}

void HeadlessTree::selectItem(TreeItem item) {
  std::lock_guard lock(mutex_);
  if (item == kNoTreeItem || find(item)) selected_ = item;
}

void HeadlessTree::deleteAllItems() {
  std::lock_guard lock(mutex_);
  nodes_.clear();
  topLevel_.clear();
  selected_ = kNoTreeItem;
}

void HeadlessTree::sortChildren(TreeItem parent) {
  std::lock_guard lock(mutex_);
  std::vector<TreeItem>* siblings = childList(parent);
  if (!siblings) return;
  std::stable_sort(siblings->begin(), siblings->end(), [this](TreeItem a, TreeItem b) {
    return treeSortsBefore(nodes_.at(a).text, nodes_.at(b).text);
  });
}

size_t HeadlessTree::itemCount() const {
  std::lock_guard lock(mutex_);
  return nodes_.size();
}

void HeadlessTree::printLevel(std::string& out, const std::vector<TreeItem>& items,
                              size_t depth) const {
  for (TreeItem item : items) {
    const Node& node = nodes_.at(item);
    out.append(2 * depth, ' ');
    out += node.text;
    if (node.bold) out += " *";
    out += '\n';
    printLevel(out, node.children, depth + 1);
  }
}

std::string HeadlessTree::print() const {
  std::lock_guard lock(mutex_);
  std::string out;
  printLevel(out, topLevel_, 0);
  return out;
}

}  // namespace orodorev
