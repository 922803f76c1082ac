#pragma once
// A records view without a window: keeps what a user would see.

#include <vector>

#include "app/RecordsViewPort.h"

namespace orodorev {

class HeadlessRecordsView : public RecordsViewPort {
 public:
  void deleteAllItems() override { items.clear(); }
  void insertItem(int index, const std::string& text) override;
  void setSubItem(int index, int subItem, const std::string& text) override;
  void deleteItem(int index) override;
  int itemCount() const override { return static_cast<int>(items.size()); }
  void insertColumn(int index, const std::string& header) override;
  void deleteColumn(int index) override;
  void setDefinitionText(const std::string& text) override { definitionText = text; }
  void setPageLabel(const std::string& text) override { pageLabel = text; }
  void showList(bool visible) override { listVisible = visible; }
  void showDefinition(bool visible) override { definitionVisible = visible; }
  void showPageLabel(bool visible) override { pageLabelVisible = visible; }
  void showButtons(bool visible) override { buttonsVisible = visible; }
  void enablePrevious(bool enabled) override { previousEnabled = enabled; }
  void enableNext(bool enabled) override { nextEnabled = enabled; }
  void repaint() override {}

  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> items;  // text, then sub-items
  std::string definitionText;
  std::string pageLabel;
  bool listVisible = false;
  bool definitionVisible = true;
  bool pageLabelVisible = false;
  bool buttonsVisible = false;
  bool previousEnabled = false;
  bool nextEnabled = false;
};

}  // namespace orodorev
