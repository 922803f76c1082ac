#pragma once
// The records view as the workers see it: the records list, the definition box, the
// page label and the two paging buttons.

#include <string>

namespace orodorev {

class RecordsViewPort {
 public:
  virtual ~RecordsViewPort() = default;
  virtual void deleteAllItems() = 0;
  virtual void insertItem(int index, const std::string& text) = 0;
  virtual void setSubItem(int index, int subItem, const std::string& text) = 0;
  virtual void deleteItem(int index) = 0;
  virtual int itemCount() const = 0;
  virtual void insertColumn(int index, const std::string& header) = 0;
  virtual void deleteColumn(int index) = 0;
  virtual void setDefinitionText(const std::string& text) = 0;
  virtual void setPageLabel(const std::string& text) = 0;
  virtual void showList(bool visible) = 0;
  virtual void showDefinition(bool visible) = 0;
  virtual void showPageLabel(bool visible) = 0;
  virtual void showButtons(bool visible) = 0;
  virtual void enablePrevious(bool enabled) = 0;
  virtual void enableNext(bool enabled) = 0;
  virtual void repaint() = 0;
};

}  // namespace orodorev
