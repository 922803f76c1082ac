#include "rows/ValueDates.h"

#include <cstdint>
#include <cstdlib>

namespace orodorev {
namespace {

// Day numbers count from 0001-01-01 = day 0.
constexpr int64_t kDay1900 = 693595;
constexpr int64_t kDay1753 = 639905;  // first day a datetime can hold
constexpr int64_t kDay1970 = 719162;
constexpr int64_t kLastDay = 3652058;  // 9999-12-31
constexpr int64_t kSecondsPerDay = 86400;
constexpr int64_t kTicksPerSecond = 300;  // datetime's 1/300-second ticks
constexpr int64_t kDateBytes = 3;
constexpr int64_t kOffsetBytes = 2;
constexpr int kMaxScale = 7;
constexpr int kMaxOffsetMinutes = 14 * 60;

struct CivilDate {
  int64_t year;
  int month;
  int day;
};

// Proleptic Gregorian date of a day number (H. Hinnant's civil_from_days).
CivilDate civilFromDay(int64_t day) {
  int64_t z = day - kDay1970 + 719468;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t dayOfEra = z - era * 146097;
  int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
  int dayOfMonth = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, dayOfMonth};
}

std::string padded(int64_t value, size_t width) {
  std::string text = std::to_string(value);
  if (text.size() < width) text.insert(0, width - text.size(), '0');
  return text;
}

std::string civilText(int64_t day) {
  CivilDate date = civilFromDay(day);
  return padded(date.year, 4) + "-" + padded(date.month, 2) + "-" + padded(date.day, 2);
}

std::string clockText(int64_t seconds) {
  return padded(seconds / 3600, 2) + ":" + padded(seconds / 60 % 60, 2) + ":" +
         padded(seconds % 60, 2);
}

bool inRange(int64_t day, int64_t seconds, int64_t firstDay = 0) {
  return day >= firstDay && day <= kLastDay && seconds >= 0 && seconds < kSecondsPerDay;
}

std::string momentText(int64_t day, int64_t seconds, int64_t firstDay = 0) {
  if (!inRange(day, seconds, firstDay)) return kOutOfRangeText;
  return civilText(day) + " " + clockText(seconds);
}

uint64_t unitsPerSecond(int scale) {
  uint64_t units = 1;
  for (int i = 0; i < scale; ++i) units *= 10;
  return units;
}

struct TimeOfDay {
  int64_t seconds;
  std::string fraction;  // "" at scale 0, else "." and scale digits
};

TimeOfDay timeOfDay(ValueBytes bytes, int scale) {
  uint64_t count = readUnsigned(bytes);
  uint64_t units = unitsPerSecond(scale);
  std::string fraction = scale > 0 ? "." + padded(static_cast<int64_t>(count % units), scale) : "";
  return {static_cast<int64_t>(count / units), fraction};
}

int64_t floorDivide(int64_t value, int64_t divisor) {
  int64_t quotient = value / divisor;
  return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

std::string offsetText(int64_t minutes) {
  int64_t magnitude = std::llabs(minutes);
  return (minutes < 0 ? "-" : "+") + std::to_string(magnitude / 60) + ":" +
         std::to_string(magnitude % 60);
}

}  // namespace

int timeBytesForScale(int scale) {
  if (scale < 0 || scale > kMaxScale) return 0;
  return scale <= 2 ? 3 : scale <= 4 ? 4 : 5;
}

std::string dateTimeText(ValueBytes bytes) {
  if (bytes.size() != 8) return {};
  int64_t ticks = readSigned(bytes.first(4));
  int64_t day = kDay1900 + readSigned(bytes.subspan(4, 4));
  if (ticks < 0) return kOutOfRangeText;
  return momentText(day, ticks / kTicksPerSecond, kDay1753);
}

std::string smallDateTimeText(ValueBytes bytes) {
  if (bytes.size() != 4) return {};
  int64_t minutes = readSigned(bytes.first(2));
  int64_t day = kDay1900 + static_cast<int64_t>(readUnsigned(bytes.subspan(2, 2)));
  return momentText(day, minutes * 60);
}

std::string dateText(ValueBytes bytes) {
  if (bytes.size() != kDateBytes) return {};
  int64_t day = static_cast<int64_t>(readUnsigned(bytes));
  return day <= kLastDay ? civilText(day) : kOutOfRangeText;
}

std::string timeText(ValueBytes bytes, int scale) {
  int timeBytes = timeBytesForScale(scale);
  if (timeBytes == 0 || bytes.size() != static_cast<size_t>(timeBytes)) return {};
  TimeOfDay time = timeOfDay(bytes, scale);
  if (time.seconds >= kSecondsPerDay) return kOutOfRangeText;
  return clockText(time.seconds) + time.fraction;
}

std::string dateTime2Text(ValueBytes bytes, int scale) {
  size_t timeBytes = static_cast<size_t>(timeBytesForScale(scale));
  if (timeBytes == 0 || bytes.size() != timeBytes + kDateBytes) return {};
  TimeOfDay time = timeOfDay(bytes.first(timeBytes), scale);
  int64_t day = static_cast<int64_t>(readUnsigned(bytes.subspan(timeBytes, kDateBytes)));
  std::string text = momentText(day, time.seconds);
  return text == kOutOfRangeText ? text : text + time.fraction;
}

// The stored clock is UTC; the local clock is shifted by the offset, across midnight
// into the previous or next day when it has to be.
std::string dateTimeOffsetText(ValueBytes bytes, int scale) {
  size_t timeBytes = static_cast<size_t>(timeBytesForScale(scale));
  if (timeBytes == 0 || bytes.size() != timeBytes + kDateBytes + kOffsetBytes) return {};
  TimeOfDay time = timeOfDay(bytes.first(timeBytes), scale);
  int64_t day = static_cast<int64_t>(readUnsigned(bytes.subspan(timeBytes, kDateBytes)));
  int64_t offset = readSigned(bytes.subspan(timeBytes + kDateBytes, kOffsetBytes));
  if (std::llabs(offset) > kMaxOffsetMinutes) return {};
  if (!inRange(day, time.seconds)) return kOutOfRangeText;
  int64_t local = time.seconds + offset * 60;
  int64_t localDay = day + floorDivide(local, kSecondsPerDay);
  int64_t localSeconds = local - floorDivide(local, kSecondsPerDay) * kSecondsPerDay;
  std::string text = momentText(localDay, localSeconds);
  if (text == kOutOfRangeText) return text;
  return text + time.fraction + (scale > 0 ? "  " : " ") + offsetText(offset);
}

}  // namespace orodorev
