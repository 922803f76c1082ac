#include "rows/BinaryXmlDates.h"

#include <chrono>
#include <cstdlib>

#include "storage/ByteOrder.h"

namespace orodorev::binxml {
namespace {

namespace chr = std::chrono;

constexpr int64_t kSecondsPerDay = 86'400;
constexpr int64_t kTicksPerSecond = 10'000'000;  // version 2 values in 100 ns units
constexpr int64_t kTicksPerDay = kSecondsPerDay * kTicksPerSecond;
constexpr int64_t kSqlTicksPerDay = 300 * kSecondsPerDay;  // datetime counts 1/300 seconds
constexpr int kMaxZoneMinutes = 14 * 60;

constexpr chr::sys_days kFirstDay{chr::year{1} / chr::January / 1};
constexpr int64_t kLastDayNumber =
    (chr::sys_days{chr::year{9999} / chr::December / 31} - kFirstDay).count();
constexpr int64_t kDayNumberOf1900 =
    (chr::sys_days{chr::year{1900} / chr::January / 1} - kFirstDay).count();

std::string padded(uint64_t value, size_t width) {
  std::string text = std::to_string(value);
  if (text.size() < width) text.insert(0, width - text.size(), '0');
  return text;
}

std::string dateText(const chr::year_month_day& date) {
  const int year = static_cast<int>(date.year());
  return (year < 0 ? "-" : "") + padded(static_cast<uint64_t>(std::abs(year)), 4) + "-" +
         padded(static_cast<unsigned>(date.month()), 2) + "-" +
         padded(static_cast<unsigned>(date.day()), 2);
}

std::string clockText(int64_t secondsOfDay) {
  const auto seconds = static_cast<uint64_t>(secondsOfDay);
  return padded(seconds / 3600, 2) + ":" + padded(seconds / 60 % 60, 2) + ":" +
         padded(seconds % 60, 2);
}

// ".digits" with trailing zeros dropped, or nothing when the fraction is zero.
std::string fractionText(uint64_t value, size_t digits) {
  if (value == 0) return "";
  std::string text = padded(value, digits);
  while (text.back() == '0') text.pop_back();
  return "." + text;
}

std::string zoneText(int offsetMinutes) {
  if (offsetMinutes == 0) return "Z";
  const auto magnitude = static_cast<uint64_t>(std::abs(offsetMinutes));
  return (offsetMinutes < 0 ? "-" : "+") + padded(magnitude / 60, 2) + ":" +
         padded(magnitude % 60, 2);
}

chr::year_month_day dateOfDayNumber(int64_t dayNumber) {
  return chr::year_month_day{kFirstDay + chr::days{dayNumber}};
}

// XSD date fields packed as day - 1 + 31 * (month - 1 + 12 * (year + 9999)).
std::optional<chr::year_month_day> unpackXsdDate(uint64_t packed) {
  const auto day = static_cast<unsigned>(packed % 31 + 1);
  const auto month = static_cast<unsigned>(packed / 31 % 12 + 1);
  const uint64_t shiftedYear = packed / 31 / 12;
  if (shiftedYear > 2 * 9999) return std::nullopt;
  const int year = static_cast<int>(shiftedYear) - 9999;
  chr::year_month_day date{chr::year{year}, chr::month{month}, chr::day{day}};
  if (!date.ok()) return std::nullopt;
  return date;
}

// XSD-DATETIME: 8 bytes, 2 + 4 * (ms + 1000 * (s + 60 * (min + 60 * (h + 24 * packed date)))),
// in UTC.
std::optional<std::string> readXsdDateTime(Cursor& cursor) {
  auto raw = cursor.readU64();
  if (!raw || (*raw & 3) != 2) return std::nullopt;
  const uint64_t milliseconds = (*raw >> 2) % 1000;
  const uint64_t seconds = (*raw >> 2) / 1000;
  auto date = unpackXsdDate(seconds / kSecondsPerDay);
  if (!date) return std::nullopt;
  return dateText(*date) + "T" + clockText(static_cast<int64_t>(seconds % kSecondsPerDay)) +
         fractionText(milliseconds, 3) + "Z";
}

// XSD-DATE: 8 bytes, 1 + 4 * (840 + adjust + 1740 * packed date), where adjust is minus the
// zone offset in minutes.
std::optional<std::string> readXsdDate(Cursor& cursor) {
  auto raw = cursor.readU64();
  if (!raw || (*raw & 3) != 1) return std::nullopt;
  const int adjust = static_cast<int>((*raw >> 2) % 1740) - kMaxZoneMinutes;
  auto date = unpackXsdDate((*raw >> 2) / 1740);
  if (!date || std::abs(adjust) > kMaxZoneMinutes) return std::nullopt;
  return dateText(*date) + zoneText(-adjust);
}

// XSD-TIME: 8 bytes, 4 * (ms + 1000 * (s + 60 * (min + 60 * h))), in UTC.
std::optional<std::string> readXsdTime(Cursor& cursor) {
  auto raw = cursor.readU64();
  if (!raw || (*raw & 3) != 0) return std::nullopt;
  const uint64_t seconds = (*raw >> 2) / 1000;
  if (seconds >= static_cast<uint64_t>(kSecondsPerDay)) return std::nullopt;
  return clockText(static_cast<int64_t>(seconds)) + fractionText((*raw >> 2) % 1000, 3) + "Z";
}

std::optional<std::string> sqlDateTimeText(int64_t daysSince1900, uint64_t milliseconds) {
  const int64_t dayNumber = kDayNumberOf1900 + daysSince1900;
  if (dayNumber < 0 || dayNumber > kLastDayNumber) return std::nullopt;
  const uint64_t fraction = milliseconds % 1000;
  return dateText(dateOfDayNumber(dayNumber)) + "T" +
         clockText(static_cast<int64_t>(milliseconds / 1000)) +
         (fraction == 0 ? "" : "." + padded(fraction, 3));
}

// SQL-DATETIME: signed 4-byte days since 1900-01-01, then unsigned 4-byte 1/300 s ticks.
std::optional<std::string> readSqlDateTime(Cursor& cursor) {
  auto days = cursor.readU32();
  auto ticks = cursor.readU32();
  if (!days || !ticks || *ticks >= kSqlTicksPerDay) return std::nullopt;
  // Nearest millisecond: a third rounds down, two thirds round up (.003, .007, .010).
  const uint64_t milliseconds = (static_cast<uint64_t>(*ticks) * 10 + 1) / 3;
  return sqlDateTimeText(static_cast<int32_t>(*days), milliseconds);
}

// SQL-SMALLDATETIME: unsigned 2-byte days since 1900-01-01, unsigned 2-byte minutes.
std::optional<std::string> readSqlSmallDateTime(Cursor& cursor) {
  auto days = cursor.readU16();
  auto minutes = cursor.readU16();
  if (!days || !minutes || *minutes >= 24 * 60) return std::nullopt;
  return sqlDateTimeText(*days, static_cast<uint64_t>(*minutes) * 60'000);
}

// Version 2 time: scale byte (0-7), then an unsigned little-endian count of 10^-scale
// seconds in 3 (scale 0-2), 4 (3-4) or 5 (5-7) bytes. Returned in 100 ns ticks.
std::optional<int64_t> readTimeTicks(Cursor& cursor) {
  auto scale = cursor.readByte();
  if (!scale || *scale > 7) return std::nullopt;
  auto bytes = cursor.readBytes(*scale <= 2 ? 3 : *scale <= 4 ? 4 : 5);
  if (!bytes) return std::nullopt;
  int64_t ticks = 0;
  for (size_t k = bytes->size(); k > 0; --k) ticks = (ticks << 8) | (*bytes)[k - 1];
  for (int k = *scale; k < 7; ++k) ticks *= 10;
  return ticks;
}

// Version 2 date: unsigned 3-byte count of days since 0001-01-01.
std::optional<int64_t> readDayNumber(Cursor& cursor) {
  auto bytes = cursor.readBytes(3);
  if (!bytes) return std::nullopt;
  const int64_t days = (*bytes)[0] | ((*bytes)[1] << 8) | ((*bytes)[2] << 16);
  if (days > kLastDayNumber) return std::nullopt;
  return days;
}

// Version 2 zone: signed 2-byte minutes east of UTC.
std::optional<int> readZone(Cursor& cursor) {
  auto raw = cursor.readU16();
  if (!raw) return std::nullopt;
  const int minutes = static_cast<int16_t>(*raw);
  if (std::abs(minutes) > kMaxZoneMinutes) return std::nullopt;
  return minutes;
}

enum class Shown { Date, Time, DateTime };

std::optional<std::string> instantText(int64_t ticks, Shown shown, std::optional<int> zone) {
  if (ticks < 0 || ticks / kTicksPerDay > kLastDayNumber) return std::nullopt;
  const int64_t timeOfDay = ticks % kTicksPerDay;
  std::string text;
  if (shown != Shown::Time) text += dateText(dateOfDayNumber(ticks / kTicksPerDay));
  if (shown == Shown::DateTime) text += "T";
  if (shown != Shown::Date) {
    text += clockText(timeOfDay / kTicksPerSecond) +
            fractionText(static_cast<uint64_t>(timeOfDay % kTicksPerSecond), 7);
  }
  if (zone) text += zoneText(*zone);
  return text;
}

// Layouts: DATE2 = date; DATETIME2 and TIME2 = time date; the offset forms = time date zone,
// with the time in UTC. The date of DATEOFFSET is the local one and its time is ignored.
std::optional<std::string> readVersion2Value(uint8_t token, Cursor& cursor) {
  if (token == kXsdDate2) {
    auto day = readDayNumber(cursor);
    if (!day) return std::nullopt;
    return instantText(*day * kTicksPerDay, Shown::Date, std::nullopt);
  }
  auto time = readTimeTicks(cursor);
  auto day = readDayNumber(cursor);
  if (!time || !day) return std::nullopt;
  const int64_t ticks = *day * kTicksPerDay + *time;
  if (token == kXsdDateTime2) return instantText(ticks, Shown::DateTime, std::nullopt);
  if (token == kXsdTime2) return instantText(ticks, Shown::Time, std::nullopt);
  auto zone = readZone(cursor);
  if (!zone) return std::nullopt;
  if (token == kXsdDateOffset) return instantText(*day * kTicksPerDay, Shown::Date, zone);
  const int64_t zoneTicks = *zone * 60 * kTicksPerSecond;
  if (token == kXsdDateTimeOffset) return instantText(ticks + zoneTicks, Shown::DateTime, zone);
  const int64_t localTime = ((*time + zoneTicks) % kTicksPerDay + kTicksPerDay) % kTicksPerDay;
  return instantText(localTime, Shown::Time, zone);
}

}  // namespace

bool isDateToken(uint8_t token) {
  return token == kSqlDateTime || token == kSqlSmallDateTime || token == kXsdTime ||
         token == kXsdDateTime || token == kXsdDate ||
         (token >= kXsdTimeOffset && token <= kXsdDate2);
}

std::optional<std::string> readDateValue(uint8_t token, Cursor& cursor, int version) {
  switch (token) {
    case kSqlDateTime: return readSqlDateTime(cursor);
    case kSqlSmallDateTime: return readSqlSmallDateTime(cursor);
    case kXsdDateTime: return readXsdDateTime(cursor);
    case kXsdDate: return readXsdDate(cursor);
    case kXsdTime: return readXsdTime(cursor);
    default: break;
  }
  if (!isDateToken(token) || version < 2) return std::nullopt;
  return readVersion2Value(token, cursor);
}

}  // namespace orodorev::binxml
