#pragma once
// Reads the rows of system base tables straight from their data pages. A system table
// is found only by the object id in the headers of its pages.

#include <cstdint>
#include <functional>
#include <vector>

#include "storage/DatabaseFile.h"
#include "storage/FileRow.h"
#include "storage/Record.h"

namespace orodorev {

constexpr int32_t kSysFiles1Object = 8;

enum class SkippedRecords { TypeFourOnly, TypesThreeAndFour };

// Calls visit for every record of every page of a system object, in page-list order
// and slot order, skipping missing records and the record types named.
void forEachSystemRecord(const DatabaseFile& file, int32_t objectId, SkippedRecords skipped,
                         bool dataPagesOnly,
                         const std::function<void(const CPrimaryRecord&, const CDataPage&)>& visit);

// One file of the database from a sysfiles1 row:
// fixed 0 u32 status | 4 i16 file id | 6 logical name, 128 UTF-16 units |
// 262 physical name, 260 UTF-16 units. Rows shorter than 520 bytes keep initial values.
FileRow decodeFileRow(const CPrimaryRecord& record);

std::vector<FileRow> readFileRows(const DatabaseFile& file);

}  // namespace orodorev
