#include "app/HeadlessRecordsView.h"

#include <algorithm>

namespace orodorev {

void HeadlessRecordsView::insertItem(int index, const std::string& text) {
  size_t at = std::min(static_cast<size_t>(std::max(index, 0)), items.size());
  items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), std::vector<std::string>{text});
}

void HeadlessRecordsView::setSubItem(int index, int subItem, const std::string& text) {
  if (index < 0 || index >= itemCount() || subItem < 1) return;
  auto& item = items[static_cast<size_t>(index)];
  if (item.size() <= static_cast<size_t>(subItem)) item.resize(static_cast<size_t>(subItem) + 1);
  item[static_cast<size_t>(subItem)] = text;
}

void HeadlessRecordsView::deleteItem(int index) {
  if (index >= 0 && index < itemCount()) items.erase(items.begin() + index);
}

void HeadlessRecordsView::insertColumn(int index, const std::string& header) {
  size_t at = std::min(static_cast<size_t>(std::max(index, 0)), columns.size());
  columns.insert(columns.begin() + static_cast<std::ptrdiff_t>(at), header);
}

void HeadlessRecordsView::deleteColumn(int index) {
  if (index >= 0 && index < static_cast<int>(columns.size())) columns.erase(columns.begin() + index);
}

}  // namespace orodorev
