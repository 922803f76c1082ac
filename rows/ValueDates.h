#pragma once
// Text forms of stored dates and times: YYYY-MM-DD HH:MM:SS in the proleptic Gregorian
// calendar. Each function takes exactly the bytes of one value and gives empty text
// when their count does not fit the type (or its scale), and " " for a date or time
// outside 0001-01-01 .. 9999-12-31 23:59:59 (datetime: from 1753-01-01).

#include <string>

#include "rows/ValueNumbers.h"

namespace orodorev {

inline const std::string kOutOfRangeText = " ";

// Bytes the time part of time, datetime2 and datetimeoffset takes at a scale of 0 to 7;
// 0 for any other scale.
int timeBytesForScale(int scale);

// datetime: 8 bytes, signed 1/300-second ticks since midnight, signed days from 1900-01-01.
std::string dateTimeText(ValueBytes bytes);
// smalldatetime: 4 bytes, minutes since midnight, unsigned days from 1900-01-01.
std::string smallDateTimeText(ValueBytes bytes);
// date: 3 bytes, days from 0001-01-01.
std::string dateText(ValueBytes bytes);
// time: units of 10^-scale seconds since midnight.
std::string timeText(ValueBytes bytes, int scale);
// datetime2: time as for time, then 3 bytes of date.
std::string dateTime2Text(ValueBytes bytes, int scale);
// datetimeoffset: UTC time and date as for datetime2, then a signed 16-bit offset in
// minutes; shown as local time with the offset, for example 2020-01-01 15:45:00 +5:30.
std::string dateTimeOffsetText(ValueBytes bytes, int scale);

}  // namespace orodorev
