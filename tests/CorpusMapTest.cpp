// The page maps of every real database file, checked against a count of its page
// headers made here from the raw bytes.

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "app/ApplicationState.h"
#include "app/HeadlessFrame.h"
#include "storage/ByteOrder.h"
#include "storage/DatabaseFile.h"
#include "tests/TestFiles.h"

namespace orodorev {
namespace {

using Entry = std::tuple<int32_t, int, int, int>;  // owner, file id, position, type

std::set<Entry> entriesOf(const PageMap& map) {
  std::set<Entry> entries;
  for (const auto& [objectId, pages] : map)
    for (const MappedPage& page : pages)
      entries.emplace(objectId, page.fileId, page.pageNumber, page.pageType);
  return entries;
}

struct ExpectedMaps {
  std::set<Entry> system, data, iam;
};

ExpectedMaps countHeaders(const std::vector<uint8_t>& bytes) {
  ExpectedMaps expected;
  for (size_t start = 0, position = 0; start + 8192 <= bytes.size(); start += 8192, ++position) {
    const uint8_t* header = bytes.data() + start;
    int32_t owner = readI32(header + 24);
    int type = header[1];
    int fileId = readI16(header + 36);
    Entry entry{owner, fileId, static_cast<int>(position), type};
    if ((owner >= 0 && owner <= 100) || owner == 2187) expected.system.insert(entry);
    if (owner != 0 && type == 1) expected.data.insert(entry);
    if (owner != 0 && type == 10) expected.iam.insert(entry);
  }
  return expected;
}

TEST(Corpus, EveryFileOpensAndMapsExactlyItsPageHeaders) {
  auto files = test::corpusDataFiles();
  ASSERT_FALSE(files.empty()) << "no .mdf files in " << test::corpusDir();
  for (const std::string& path : files) {
    SCOPED_TRACE(path);
    resetApplicationState();
    HeadlessFrame frame;
    DatabaseFile file(path, false, &frame);
    ASSERT_TRUE(file.opened());
    EXPECT_TRUE(frame.callsOf(FrameCallKind::ScanError).empty());

    auto bytes = test::readWholeFile(path);
    ASSERT_EQ(bytes.size() % 8192, 0u);
    EXPECT_EQ(file.fileSize(), static_cast<int64_t>(bytes.size()));
    EXPECT_EQ(file.pageCount(), static_cast<int64_t>(bytes.size() / 8192));
    EXPECT_EQ(file.dataOffset(), 0);

    ExpectedMaps expected = countHeaders(bytes);
    EXPECT_EQ(entriesOf(file.systemPageMap), expected.system);
    EXPECT_EQ(entriesOf(file.dataPageMap), expected.data);
    EXPECT_EQ(entriesOf(file.iamPageMap), expected.iam);
    EXPECT_FALSE(expected.data.empty());
  }
}

// Files written with torn-page detection keep the two low bits of every sector's last
// byte in the header; once restored, the first slot of each data page points into the
// record area again.
TEST(Corpus, RestoredDataPagesHaveSaneFirstSlots) {
  for (const std::string& path : test::corpusDataFiles()) {
    SCOPED_TRACE(path);
    DatabaseFile file(path, false, nullptr);
    ASSERT_TRUE(file.opened());
    int checked = 0;
    for (const auto& [objectId, pages] : file.dataPageMap) {
      for (const MappedPage& mapped : pages) {
        auto page = file.loadDataPage({mapped.fileId, mapped.pageNumber});
        ASSERT_TRUE(page);
        const CPage_Header& header = page->header();
        if (header.slotCount <= 0 || header.thisPage.pageNumber != mapped.pageNumber) continue;
        int firstSlot = readU16(page->data() + 8190);
        EXPECT_GE(firstSlot, 96) << "page " << mapped.pageNumber;
        EXPECT_LT(firstSlot, 8192 - 2 * header.slotCount) << "page " << mapped.pageNumber;
        ++checked;
      }
    }
    EXPECT_GT(checked, 0);
  }
}

}  // namespace
}  // namespace orodorev
