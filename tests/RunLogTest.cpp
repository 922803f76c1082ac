#include <gtest/gtest.h>

#include <filesystem>

#include "app/Text.h"
#include "run/RunLog.h"
#include "tests/TestFiles.h"

namespace orodorev {
namespace {

std::tm timeOf(int day, int month, int year, int hour, int minute, int second) {
  std::tm when{};
  when.tm_mday = day;
  when.tm_mon = month - 1;
  when.tm_year = year - 1900;
  when.tm_hour = hour;
  when.tm_min = minute;
  when.tm_sec = second;
  return when;
}

std::string bytesOf(const std::string& path) {
  auto bytes = test::readWholeFile(path);
  return std::string(bytes.begin(), bytes.end());
}

const std::string kByteOrderMark = "\xFF\xFE";
const std::string kSeparator = utf8ToUtf16le("\r\n" + std::string(80, '*') + "\r\n");

TEST(RunLogNameTest, DayMonthYearHourMinuteSecondWithoutPadding) {
  struct Case {
    std::optional<std::tm> when;
    std::string name;
  };
  const Case cases[] = {
      {timeOf(5, 3, 2024, 14, 7, 9), "TarvelSQLDbRec_log_5-3-2024-14-7-9.txt"},
      {timeOf(31, 12, 1999, 0, 0, 0), "TarvelSQLDbRec_log_31-12-1999-0-0-0.txt"},
      {timeOf(1, 1, 2000, 23, 59, 59), "TarvelSQLDbRec_log_1-1-2000-23-59-59.txt"},
      {std::nullopt, "TarvelSQLDbRec_log_0-0-0--1--1--1.txt"},
  };
  for (const Case& c : cases) EXPECT_EQ(runLogFileName(c.when ? &*c.when : nullptr), c.name);
}

TEST(RunLogNameTest, FolderWithOrWithoutSeparator) {
  std::tm when = timeOf(5, 3, 2024, 14, 7, 9);
  EXPECT_EQ(runLogPath("/logs", &when), "/logs/TarvelSQLDbRec_log_5-3-2024-14-7-9.txt");
  EXPECT_EQ(runLogPath("/logs/", &when), "/logs/TarvelSQLDbRec_log_5-3-2024-14-7-9.txt");
  EXPECT_EQ(runLogPath("", &when), "TarvelSQLDbRec_log_5-3-2024-14-7-9.txt");
}

TEST(RunLogTest, NewFileStartsWithByteOrderMarkThenSeparatorAndUtf16Lines) {
  test::TempDir dir;
  std::tm when = timeOf(5, 3, 2024, 14, 7, 9);
  RunLog log([when] { return std::optional<std::tm>(when); });
  ASSERT_TRUE(log.open(dir.path()));
  log.appendLine("Scanning of file starts...");
  log.appendLine("Stra\xC3\x9F" "e \xE2\x82\xAC \xF0\x9F\x98\x80");  // ß, euro sign, U+1F600
  log.close();

  EXPECT_EQ(log.path(), dir.path() + "/TarvelSQLDbRec_log_5-3-2024-14-7-9.txt");
  std::string expected = kByteOrderMark + kSeparator + utf8ToUtf16le("Scanning of file starts...\r\n") +
                         std::string("S\0t\0r\0a\0\xDF\0e\0 \0\xAC\x20 \0\x3D\xD8\x00\xDE\r\0\n\0", 26);
  EXPECT_EQ(bytesOf(log.path()), expected);
}

TEST(RunLogTest, SameNameAgainAppendsSeparatorAndLinesWithoutSecondMark) {
  test::TempDir dir;
  std::tm when = timeOf(5, 3, 2024, 14, 7, 9);
  RunLog log;
  ASSERT_TRUE(log.openAt(dir.path() + "/", &when));
  log.appendLine("first run");
  ASSERT_TRUE(log.openAt(dir.path(), &when));
  log.appendLine("second run");
  log.close();

  EXPECT_EQ(bytesOf(log.path()), kByteOrderMark + kSeparator + utf8ToUtf16le("first run\r\n") +
                                     kSeparator + utf8ToUtf16le("second run\r\n"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(RunLogTest, LogThatCannotBeCreatedDropsItsLines) {
  test::TempDir dir;
  RunLog log([] { return std::optional<std::tm>(); });
  EXPECT_FALSE(log.open(dir.path() + "/missing-folder"));
  EXPECT_FALSE(log.isOpen());
  log.appendLine("goes nowhere");
  EXPECT_EQ(log.path(), dir.path() + "/missing-folder/TarvelSQLDbRec_log_0-0-0--1--1--1.txt");
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/missing-folder"));
}

TEST(Utf16Test, MalformedUtf8BecomesReplacementCharacter) {
  struct Case {
    std::string utf8;
    std::string utf16;
  };
  const Case cases[] = {
      {"A", std::string("A\0", 2)},
      {"\xFF", "\xFD\xFF"},                               // never a lead byte
      {"\xC3", "\xFD\xFF"},                               // cut short
      {"\xC0\xAF", "\xFD\xFF\xFD\xFF"},                   // overlong
      {"\xED\xA0\x80", "\xFD\xFF\xFD\xFF\xFD\xFF"},       // an encoded surrogate
      {"\xE2\x82\xAC", "\xAC\x20"},
  };
  for (const Case& c : cases) EXPECT_EQ(utf8ToUtf16le(c.utf8), c.utf16) << c.utf8;
}

}  // namespace
}  // namespace orodorev
