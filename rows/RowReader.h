#pragma once
// Turns the records of one data page into rows of value texts. A row is a copy of the
// table's column descriptors with each value text filled from one record.

#include <vector>

#include "catalog/Catalog.h"
#include "storage/DatabaseFile.h"
#include "storage/RecordPage.h"

namespace orodorev {

using Row = std::vector<ColumnDescriptor>;

// Tables whose catalog lists rowset columns are read with their physical layout (the
// rowset reader); SQL 2000 catalogs by the column offsets of syscolumns (the legacy reader).
bool usesRowsetReader(const Catalog& catalog);

// The rows of one data page of a table. The descriptors are the working row and may
// be changed (a descriptor's ordinal beyond every record is replaced by its column id).
std::vector<Row> readDataPageRows(const DatabaseFile& file, PageId page, std::vector<ColumnDescriptor>& columns,
                                  bool rowsetReader);

std::vector<Row> readRowsetRows(const PrimaryRecordPage& page, std::vector<ColumnDescriptor>& columns);
std::vector<Row> readLegacyRows(const PrimaryRecordPage& page, std::vector<ColumnDescriptor>& columns);

// The module-text readers read sysobjvalues (syscomments) rows for definitions.
std::vector<Row> readModuleRowsetRows(const PrimaryRecordPage& page, std::vector<ColumnDescriptor>& columns);
std::vector<Row> readModuleLegacyRows(const PrimaryRecordPage& page, std::vector<ColumnDescriptor>& columns);

// Varbinary and CLR values carry "0x" exactly once.
void applyBinaryPrefix(int32_t kind, std::string& text);

}  // namespace orodorev
