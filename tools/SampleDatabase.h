#pragma once
// Writes the sample database: a SQL Server 2012 (version 706) primary data file built
// from scratch out of the sample content, every byte produced here.
//
// Pages: 0 file header | 1 PFS | 2 GAM | 3 SGAM | 6 DIFF map | 7 minimal-log map |
// 9 boot page | from 10 on, per allocation unit its IAM page and then its one page:
// the system tables first, then each user table's in-row data and large values.

#include <string>

#include "tools/ByteWriter.h"

namespace orodorev::sample {

Bytes buildSampleDatabase();

// Throws std::runtime_error when the file cannot be written.
void writeSampleDatabase(const std::string& path);

}  // namespace orodorev::sample
