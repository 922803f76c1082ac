#pragma once
// Compressed records can only be expanded with the column layout of the table being
// listed. The layer that knows that layout installs an expander while it lists; pages
// built meanwhile use it. Without one, compressed records stay as they are cut.

#include <cstddef>

namespace orodorev {

class CPrimaryRecord;
class PrimaryRecordPage;

class RecordExpander {
 public:
  virtual ~RecordExpander() = default;
  // Columns of the current table: a page takes no more anchor values than this.
  virtual size_t columnCount() const = 0;
  virtual void expand(CPrimaryRecord& record, const PrimaryRecordPage& page) const = 0;
};

void setRecordExpander(const RecordExpander* expander);
const RecordExpander* recordExpander();

}  // namespace orodorev
