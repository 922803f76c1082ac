#pragma once
// Stored forms of the literal values the sample writes.
//
// int       4 bytes, two's complement
// bit       one bit of a shared byte, placed by the table layout
// money     8 bytes: the value in ten-thousandths as a signed 64-bit integer
// datetime  u32 1/300-second ticks since midnight | i32 days since 1900-01-01
// decimal   u8 sign (1 positive, 0 negative) | the unscaled magnitude, 4, 8, 12 or 16
//           bytes for precision up to 9, 19, 28, 38
// nvarchar, ntext  UTF-16LE; varchar  code page 1252 (the sample's collation)

#include <cstdint>
#include <string>

#include "tools/ByteWriter.h"
#include "tools/SampleContent.h"

namespace orodorev::sample {

// Width of a fixed-length column in the record, 0 for variable-length and bit columns.
size_t fixedWidth(const ColumnDefinition& column);
int16_t decimalStorageBytes(uint8_t precision);

Bytes encodeInt(const std::string& literal);
Bytes encodeMoney(const std::string& literal);
Bytes encodeDateTime(const std::string& literal);  // "YYYY-MM-DD HH:MM:SS"
Bytes encodeDecimal(const std::string& literal, uint8_t precision, uint8_t scale);
bool bitValue(const std::string& literal);

// The stored bytes of a fixed-length or in-row variable-length value.
Bytes encodeValue(const ColumnDefinition& column, const std::string& literal);

}  // namespace orodorev::sample
