#include <gtest/gtest.h>

#include <map>
#include <random>
#include <memory>
#include <string>
#include <vector>

#include "app/ApplicationState.h"
#include "app/Text.h"
#include "rows/LargeObjectPage.h"
#include "rows/LargeObjectPointers.h"
#include "rows/LargeObjectReader.h"
#include "rows/LargeObjectStructures.h"
#include "rows/LargeObjectText.h"
#include "rows/LargeObjectWalk.h"
#include "storage/ByteOrder.h"
#include "storage/DatabaseFile.h"
#include "tests/TestFiles.h"

namespace orodorev {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr int32_t kTextObject = 77;
constexpr uint64_t kBlob = 0x0000123400000000;
constexpr uint64_t kOtherBlob = 0x0000567800000000;

void append16(Bytes& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}
void append32(Bytes& out, uint32_t value) {
  for (int k = 0; k < 4; ++k) out.push_back(static_cast<uint8_t>(value >> (8 * k)));
}
void append64(Bytes& out, uint64_t value) {
  append32(out, static_cast<uint32_t>(value));
  append32(out, static_cast<uint32_t>(value >> 32));
}

Bytes ascii(const std::string& text) { return Bytes(text.begin(), text.end()); }
Bytes utf16(const std::u16string& text) {
  Bytes bytes;
  for (char16_t unit : text) append16(bytes, unit);
  return bytes;
}
Bytes repeated(uint8_t first, size_t count) {
  Bytes bytes(count);
  for (size_t k = 0; k < count; ++k) bytes[k] = static_cast<uint8_t>(first + k);
  return bytes;
}
Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// Status A 0x08 (record type 4) | status B | end offset | blob id | type | body
Bytes textRecord(uint64_t blobId, uint16_t type, const Bytes& body) {
  Bytes record = {0x08, 0};
  append16(record, static_cast<uint16_t>(4 + kLobHeaderSize + body.size()));
  append64(record, blobId);
  append16(record, type);
  record.insert(record.end(), body.begin(), body.end());
  return record;
}

Bytes smallRoot(uint64_t blobId, const Bytes& data, int declaredLength = -1) {
  Bytes body;
  append16(body, static_cast<uint16_t>(declaredLength < 0 ? data.size() : declaredLength));
  append32(body, 0);
  body.insert(body.end(), data.begin(), data.end());
  return textRecord(blobId, kSmallRootType, body);
}

Bytes dataRecord(uint64_t blobId, const Bytes& data) { return textRecord(blobId, kDataType, data); }

struct Link {
  uint32_t offset;
  RecordAddress at;
};

Bytes largeRoot(uint64_t blobId, const std::vector<Link>& links, uint16_t level = 0,
                int curLinks = -1, uint16_t type = 5) {
  Bytes body;
  append16(body, 5);
  append16(body, static_cast<uint16_t>(curLinks < 0 ? links.size() : curLinks));
  append16(body, level);
  append32(body, 1);
  for (const Link& link : links) {
    append32(body, link.offset);
    append32(body, static_cast<uint32_t>(link.at.page.pageNumber));
    append16(body, static_cast<uint16_t>(link.at.page.fileId));
    append16(body, link.at.slot);
  }
  return textRecord(blobId, type, body);
}

Bytes internalNode(uint64_t blobId, const std::vector<Link>& links, uint16_t level = 0,
                   int curLinks = -1) {
  Bytes body;
  append16(body, 501);
  append16(body, static_cast<uint16_t>(curLinks < 0 ? links.size() : curLinks));
  append16(body, level);
  for (const Link& link : links) {
    append32(body, link.offset);
    append32(body, 0);
    append32(body, static_cast<uint32_t>(link.at.page.pageNumber));
    append16(body, static_cast<uint16_t>(link.at.page.fileId));
    append16(body, link.at.slot);
  }
  return textRecord(blobId, kInternalType, body);
}

Bytes textPointerBytes(uint64_t timestamp, RecordAddress at) {
  Bytes bytes;
  append64(bytes, timestamp);
  append32(bytes, static_cast<uint32_t>(at.page.pageNumber));
  append16(bytes, static_cast<uint16_t>(at.page.fileId));
  append16(bytes, at.slot);
  return bytes;
}

Bytes rootPointerBytes(uint8_t type, const std::vector<Link>& links) {
  Bytes bytes = {type, 0, 0, 0};
  append32(bytes, 1);
  append32(bytes, 0x1234);
  for (const Link& link : links) {
    append32(bytes, link.offset);
    append32(bytes, static_cast<uint32_t>(link.at.page.pageNumber));
    append16(bytes, static_cast<uint16_t>(link.at.page.fileId));
    append16(bytes, link.at.slot);
  }
  return bytes;
}

ByteView view(const Bytes& bytes) { return ByteView(bytes.data(), static_cast<int64_t>(bytes.size())); }

// A small database file whose pages from 10 on are text pages holding the records put
// there, one slot per record in the order they were put.
class LargeObjectTest : public ::testing::Test {
 protected:
  static constexpr int kPageCount = 40;

  void SetUp() override { resetApplicationState(); }
  void TearDown() override { resetApplicationState(); }

  RecordAddress put(int32_t page, const Bytes& record) {
    auto& records = pages_[page];
    records.push_back(record);
    return {{1, page}, static_cast<uint16_t>(records.size() - 1)};
  }

  // Replaces the page at a position with these bytes.
  void putRawPage(int32_t position, const Bytes& page) { rawPages_[position] = page; }

  Bytes textPage(int32_t position, const std::vector<Bytes>& records, uint8_t pageType = 3) {
    Bytes page = test::makePage(kTextObject, pageType, position);
    std::vector<uint16_t> slots;
    size_t offset = kPageHeaderSize;
    for (const Bytes& record : records) {
      test::putBytes(page, offset, record);
      slots.push_back(static_cast<uint16_t>(offset));
      offset += record.size();
    }
    test::setSlots(page, slots);
    return page;
  }

  const DatabaseFile& file() {
    if (file_) return *file_;
    Bytes bytes = test::makeDatabaseBytes(kPageCount);
    auto place = [&](int32_t position, const Bytes& page) {
      std::copy(page.begin(), page.end(), bytes.begin() + position * kPageSize);
    };
    for (const auto& [position, records] : pages_) place(position, textPage(position, records));
    for (const auto& [position, page] : rawPages_) place(position, page);
    file_ = std::make_unique<DatabaseFile>(dir_.write("lob.mdf", bytes), false, nullptr);
    return *file_;
  }

  std::string viaTextPointer(uint64_t timestamp, RecordAddress at, LobFlags flags = {},
                             std::vector<XmlChunk>* chunks = nullptr, LobLimits limits = {}) {
    Bytes bytes = textPointerBytes(timestamp, at);
    auto pointer = parseTextPointer(file(), view(bytes), flags);
    EXPECT_TRUE(pointer);
    return pointer ? readTextPointer(*pointer, chunks, limits) : std::string("<no pointer>");
  }

  GatheredValue gather(RecordAddress at, LobLimits limits = {}) {
    LobWalk walk(file(), limits);
    walk.gatherAt(at);
    return walk.take();
  }

  std::map<int32_t, std::vector<Bytes>> pages_;
  std::map<int32_t, Bytes> rawPages_;
  test::TempDir dir_;
  std::unique_ptr<DatabaseFile> file_;
};

// --- Records and pages ---------------------------------------------------------------

TEST_F(LargeObjectTest, TextRecordSplitsHeaderAndData) {
  Bytes record = dataRecord(kBlob, ascii("abc"));
  record[1] = 1;
  TextRecord parsed(view(record), 0, static_cast<int32_t>(record.size()));
  EXPECT_FALSE(parsed.error);
  EXPECT_EQ(parsed.recordType, 4);
  EXPECT_TRUE(parsed.statusBFlag);
  EXPECT_EQ(parsed.endOffset, 17);
  EXPECT_EQ(parsed.blobId, kBlob);
  EXPECT_EQ(parsed.structureType, kDataType);
  EXPECT_EQ(parsed.dataLength, 3);
  ASSERT_TRUE(parsed.payload);
  EXPECT_EQ(parsed.payload->size(), 13u);
}

TEST_F(LargeObjectTest, TextRecordShorterThanItsHeaderHasNoStructure) {
  Bytes record = {0x08, 0, 9, 0, 1, 2, 3, 4, 5};
  TextRecord parsed(view(record), 0, 9);
  ASSERT_TRUE(parsed.payload);
  EXPECT_EQ(parsed.structureType, kNoStructureType);
  EXPECT_EQ(parsed.dataLength, 5);
}

TEST_F(LargeObjectTest, TextRecordEndingOutsideItsWindowKeepsNoPayload) {
  Bytes record = dataRecord(kBlob, ascii("abcdef"));
  TextRecord cut(view(record), 0, static_cast<int32_t>(record.size()) - 1);
  EXPECT_FALSE(cut.payload);
  Bytes empty = {0x08, 0, 4, 0};
  EXPECT_FALSE(TextRecord(view(empty), 0, 4).payload);
  Bytes backwards = {0x08, 0, 2, 0};
  EXPECT_FALSE(TextRecord(view(backwards), 0, 4).payload);
  EXPECT_TRUE(TextRecord(view(record), 4, 100).error);
}

TEST_F(LargeObjectTest, TextMixPageBuildsARecordPerSlotInsideTheRecordArea) {
  Bytes record = dataRecord(kBlob, ascii("xyz"));
  Bytes page = test::makePage(kTextObject, 3, 12);
  test::putBytes(page, 96, record);
  test::putBytes(page, 8170, record);  // runs into the slot array
  test::setSlots(page, {96, 0, 95, 8192, 8170, 200});
  TextMixPage parsed(page, nullptr);
  ASSERT_EQ(parsed.recordCount(), 6u);
  ASSERT_TRUE(parsed.record(0));
  EXPECT_EQ(parsed.record(0)->dataLength, 3);
  EXPECT_FALSE(parsed.record(1));
  EXPECT_FALSE(parsed.record(2));
  EXPECT_FALSE(parsed.record(3));
  ASSERT_TRUE(parsed.record(4));
  EXPECT_FALSE(parsed.record(4)->payload);
  ASSERT_TRUE(parsed.record(5));
  EXPECT_FALSE(parsed.record(5)->payload);  // zero bytes there: end offset 0
  EXPECT_FALSE(parsed.record(6));
}

TEST_F(LargeObjectTest, LoadTextPageReadsAPageCarryingItsOwnNumber) {
  put(12, dataRecord(kBlob, ascii("here")));
  auto page = loadTextPage(file(), {1, 12});
  ASSERT_TRUE(page);
  EXPECT_EQ(page->header().thisPage.pageNumber, 12);
  EXPECT_FALSE(loadTextPage(file(), {1, kPageCount + 5}));
  EXPECT_FALSE(loadTextPage(file(), {3, 12}));
}

TEST_F(LargeObjectTest, LoadTextPageFollowsADisplacedPage) {
  // The page that belongs at 20 sits at 18, and 20 holds the one that names 22.
  putRawPage(18, textPage(20, {dataRecord(kBlob, ascii("moved"))}));
  putRawPage(20, textPage(22, {dataRecord(kBlob, ascii("other"))}));
  auto page = loadTextPage(file(), {1, 20});
  ASSERT_TRUE(page);
  EXPECT_EQ(page->header().thisPage.pageNumber, 20);
  ASSERT_TRUE(page->record(0));
  EXPECT_EQ(LobSData::decode(*page->record(0), &file())->ansiText(), "moved");
}

TEST_F(LargeObjectTest, LoadTextPageRefusesADisplacementThatDoesNotConfirm) {
  putRawPage(20, textPage(22, {dataRecord(kBlob, ascii("other"))}));  // 18 names 18
  putRawPage(25, textPage(0, {dataRecord(kBlob, ascii("zeroed"))}));  // 2r - q = 50
  putRawPage(26, textPage(60, {dataRecord(kBlob, ascii("far"))}));    // 2r - q < 0
  EXPECT_FALSE(loadTextPage(file(), {1, 20}));
  EXPECT_FALSE(loadTextPage(file(), {1, 25}));
  EXPECT_FALSE(loadTextPage(file(), {1, 26}));
}

// --- Structures ----------------------------------------------------------------------

TEST_F(LargeObjectTest, StructuresDecodeTheirFields) {
  Bytes root = largeRoot(kBlob, {{100, {{1, 11}, 2}}, {300, {{1, 12}, 0}}}, 0, -1, 4);
  TextRecord rootRecord(view(root), 0, static_cast<int32_t>(root.size()));
  auto yukon = LargeRootYukon::decode(rootRecord, nullptr);
  ASSERT_TRUE(yukon);
  EXPECT_EQ(yukon->blobId(), kBlob);
  EXPECT_EQ(yukon->maxLinks, 5);
  EXPECT_EQ(yukon->curLinks, 2);
  ASSERT_EQ(yukon->links.size(), 2u);
  EXPECT_EQ(yukon->links[1].offset, 300u);
  EXPECT_EQ(yukon->links[1].page, (PageId{1, 12}));
  EXPECT_FALSE(Internal::decode(rootRecord, nullptr));

  Bytes node = internalNode(kBlob, {{8040, {{1, 13}, 4}}}, 1);
  TextRecord nodeRecord(view(node), 0, static_cast<int32_t>(node.size()));
  auto internal = Internal::decode(nodeRecord, nullptr);
  ASSERT_TRUE(internal);
  EXPECT_EQ(internal->level, 1);
  ASSERT_EQ(internal->links.size(), 1u);
  EXPECT_EQ(internal->links[0].page, (PageId{1, 13}));
  EXPECT_EQ(internal->links[0].slot, 4);
  EXPECT_TRUE(internal->complete);
}

TEST_F(LargeObjectTest, DataRecordTextForms) {
  Bytes record = dataRecord(kBlob, {'A', 0xFC, 0, 'B'});
  TextRecord parsed(view(record), 0, static_cast<int32_t>(record.size()));
  auto leaf = LobSData::decode(parsed, nullptr);
  ASSERT_TRUE(leaf);
  EXPECT_EQ(leaf->ansiText(), "A\xC3\xBC");
  EXPECT_EQ(leaf->hexText(3), "41FC00");
  EXPECT_EQ(leaf->hexText(99), "41FC0042");
}

TEST_F(LargeObjectTest, NodeWhoseLinkCountReachesPastItsRecordKeepsWholeLinksOnly) {
  Bytes node = internalNode(kBlob, {{10, {{1, 11}, 0}}, {20, {{1, 11}, 1}}}, 0, 50);
  TextRecord parsed(view(node), 0, static_cast<int32_t>(node.size()));
  auto internal = Internal::decode(parsed, nullptr);
  ASSERT_TRUE(internal);
  EXPECT_EQ(internal->links.size(), 2u);
  EXPECT_FALSE(internal->complete);
}

// --- Text pointers -------------------------------------------------------------------

TEST_F(LargeObjectTest, TextPointerToSmallRootGivesItsText) {
  RecordAddress at = put(11, smallRoot(kBlob, {'M', 0xFC, 'n', 'c', 'h', 'e', 'n'}));
  EXPECT_EQ(viaTextPointer(kBlob, at), "M\xC3\xBCnchen");
}

TEST_F(LargeObjectTest, TextPointerFieldsAreDecoded) {
  Bytes bytes = textPointerBytes(0x0000007000000000, {{1, 92}, 3});
  auto pointer = parseTextPointer(file(), view(bytes), {true, false, false});
  ASSERT_TRUE(pointer);
  EXPECT_EQ(pointer->timestamp, 0x0000007000000000u);
  EXPECT_EQ(pointer->storedTimestamp, 0u);
  EXPECT_EQ(pointer->page, (PageId{1, 92}));
  EXPECT_EQ(pointer->slot, 3);
  EXPECT_TRUE(pointer->flags.binary);
  bytes[0] = 2;
  EXPECT_FALSE(parseTextPointer(file(), view(bytes), {}));
  bytes.pop_back();
  EXPECT_FALSE(isTextPointer(view(bytes)));
}

TEST_F(LargeObjectTest, TextPointerThatCannotBeFollowedGivesEmptyText) {
  RecordAddress at = put(11, smallRoot(kBlob, ascii("abc")));
  EXPECT_EQ(viaTextPointer(kBlob, {at.page, 5}), "");                // slot beyond the page
  EXPECT_EQ(viaTextPointer(kBlob, {{1, kPageCount + 3}, 0}), "");    // page beyond the file
  EXPECT_EQ(viaTextPointer(kBlob, {{1, 5}, 0}), "");                 // a page without text
  EXPECT_EQ(viaTextPointer(kOtherBlob, at), "");                      // another value's record
}

TEST_F(LargeObjectTest, TextPointerToARecordWithoutDataGivesASpace) {
  RecordAddress empty = put(11, smallRoot(kBlob, {}));
  RecordAddress nothing = put(11, textRecord(kOtherBlob, kNoStructureType, Bytes(70, 0)));
  EXPECT_EQ(viaTextPointer(kBlob, empty), " ");
  EXPECT_EQ(viaTextPointer(kOtherBlob, nothing), " ");
}

TEST_F(LargeObjectTest, SmallRootOfUtf16LatinTextIsReadAsUtf16) {
  RecordAddress at = put(11, smallRoot(kBlob, utf16(u"abc")));
  EXPECT_EQ(viaTextPointer(kBlob, at), "abc");
}

// Narrowing UTF-16 by dropping every high byte turns U+03A9 into 0xA9, shown as "©".
TEST_F(LargeObjectTest, NtextSmallRootKeepsCharactersBeyondLatin1) {
  RecordAddress at = put(11, smallRoot(kBlob, utf16(u"\u03A9mega")));
  EXPECT_EQ(viaTextPointer(kBlob, at, {false, false, true}), "\xCE\xA9mega");
}

// An image of four bytes, two of them zero, must not be narrowed like UTF-16 text.
TEST_F(LargeObjectTest, BinarySmallRootWithHalfZeroBytesKeepsEveryByte) {
  RecordAddress at = put(11, smallRoot(kBlob, {0x01, 0x00, 0x02, 0x00}));
  EXPECT_EQ(viaTextPointer(kBlob, at, {true, false, false}), "01000200");
}

TEST_F(LargeObjectTest, SmallRootWhoseLengthReachesPastItsRecordGivesNothing) {
  RecordAddress at = put(11, smallRoot(kBlob, ascii("short"), 200));
  EXPECT_EQ(viaTextPointer(kBlob, at), " ");
  EXPECT_FALSE(gather(at).complete);
}

// --- Large roots ---------------------------------------------------------------------

// Three data records on two pages under one root.
class LargeRootTest : public LargeObjectTest {
 protected:
  RecordAddress rootOver(const std::vector<Bytes>& pieces, uint16_t type = 5) {
    std::vector<Link> links;
    uint32_t end = 0;
    for (size_t k = 0; k < pieces.size(); ++k) {
      end += static_cast<uint32_t>(pieces[k].size());
      links.push_back({end, put(static_cast<int32_t>(12 + k % 2), dataRecord(kBlob, pieces[k]))});
    }
    return put(11, largeRoot(kBlob, links, 0, -1, type));
  }
};

// Cutting hex text to the children's byte counts would keep half of the digits.
TEST_F(LargeRootTest, BinaryValueKeepsEveryByte) {
  Bytes a = repeated(0x00, 3000), b = repeated(0x40, 3000), c = repeated(0x80, 1500);
  RecordAddress root = rootOver({a, b, c});
  std::string expected = upperHex(concat({a, b, c}));
  EXPECT_EQ(viaTextPointer(kBlob, root, {true, false, false}), expected);
  EXPECT_EQ(expected.size(), 15000u);
}

TEST_F(LargeRootTest, BinaryValueUnderASingleChildKeepsEveryByte) {
  Bytes a = repeated(0x10, 643);
  EXPECT_EQ(viaTextPointer(kBlob, rootOver({a}, 4), {true, false, false}), upperHex(a));
}

// In UTF-8 "ü" takes two bytes; a cut at the stored byte count would drop the end.
TEST_F(LargeRootTest, CodePageTextKeepsItsLastCharacters) {
  RecordAddress root = rootOver({{'G', 'r', 0xFC}, {0xDF, 'e', ' ', 0xE0}});
  EXPECT_EQ(viaTextPointer(kBlob, root), "Gr\xC3\xBC\xC3\x9F" "e \xC3\xA0");
}

// A UTF-16 unit and a double-byte character split between two data records.
TEST_F(LargeRootTest, CharactersSplitBetweenDataRecordsAreJoined) {
  Bytes ntext = utf16(u"\u03A9 and \u00E9");
  Bytes head(ntext.begin(), ntext.begin() + 3), tail(ntext.begin() + 3, ntext.end());
  RecordAddress root = rootOver({head, tail});
  EXPECT_EQ(viaTextPointer(kBlob, root, {false, false, true}), "\xCE\xA9 and \xC3\xA9");
}

TEST_F(LargeRootTest, DoubleByteCharacterSplitBetweenDataRecordsIsJoined) {
  appState().collationFound = true;
  appState().currentCodePage = 932;
  RecordAddress root = rootOver({{0x93, 0xFA, 0x96}, {0x7B}});  // 日本 in Shift-JIS
  EXPECT_EQ(viaTextPointer(kBlob, root), "\xE6\x97\xA5\xE6\x9C\xAC");
}

// The final piece of a value may hold fewer bytes than a structure header.
TEST_F(LargeRootTest, ShortLastDataRecordIsKept) {
  RecordAddress root = rootOver({ascii("first part, "), ascii("end")});
  EXPECT_EQ(viaTextPointer(kBlob, root), "first part, end");
}

TEST_F(LargeRootTest, MissingChildIsSkippedAndTheOthersKept) {
  RecordAddress a = put(12, dataRecord(kBlob, ascii("one ")));
  RecordAddress c = put(12, dataRecord(kBlob, ascii("three")));
  RecordAddress root = put(11, largeRoot(kBlob, {{4, a}, {8, {{1, 12}, 9}}, {13, c}}));
  EXPECT_EQ(viaTextPointer(kBlob, root), "one three");
  EXPECT_FALSE(gather(root).complete);
}

TEST_F(LargeRootTest, ChildOfAnotherValueIsNotTaken) {
  RecordAddress mine = put(12, dataRecord(kBlob, ascii("mine")));
  RecordAddress foreign = put(12, dataRecord(kOtherBlob, ascii("theirs")));
  RecordAddress root = put(11, largeRoot(kBlob, {{4, mine}, {10, foreign}}));
  EXPECT_EQ(viaTextPointer(kBlob, root), "mine");
}

TEST_F(LargeRootTest, ChildOnAPageThatIsNoTextPageIsNotTaken) {
  Bytes dataPage = test::makePage(kTextObject, 1, 14);
  test::putBytes(dataPage, 96, dataRecord(kBlob, ascii("row bytes")));
  test::setSlots(dataPage, {96});
  putRawPage(14, dataPage);
  RecordAddress mine = put(12, dataRecord(kBlob, ascii("text")));
  RecordAddress root = put(11, largeRoot(kBlob, {{4, mine}, {13, {{1, 14}, 0}}}));
  EXPECT_EQ(viaTextPointer(kBlob, root), "text");
}

// Levels: root (level 1) -> Internal -> data records. Cutting to the children's data
// lengths would cut this value to the Internal record's own length.
TEST_F(LargeRootTest, InternalLevelIsWalkedInOrder) {
  std::string expected;
  std::vector<Link> leaves;
  for (int k = 0; k < 4; ++k) {
    std::string piece = std::string(40, static_cast<char>('a' + k));
    expected += piece;
    RecordAddress leaf = put(13 + k % 2, dataRecord(kBlob, ascii(piece)));
    leaves.push_back({static_cast<uint32_t>(expected.size()), leaf});
  }
  RecordAddress node = put(12, internalNode(kBlob, leaves));
  RecordAddress root = put(11, largeRoot(kBlob, {{static_cast<uint32_t>(expected.size()), node}}, 1));
  EXPECT_EQ(viaTextPointer(kBlob, root), expected);
  GatheredValue value = gather(root);
  EXPECT_TRUE(value.complete);
  EXPECT_EQ(value.pieces.size(), 4u);
}

TEST_F(LargeRootTest, InternalNodeStopsAtItsFirstUnreachableChild) {
  RecordAddress a = put(13, dataRecord(kBlob, ascii("kept ")));
  RecordAddress c = put(13, dataRecord(kBlob, ascii("lost")));
  RecordAddress node = put(12, internalNode(kBlob, {{5, a}, {9, {{1, kPageCount + 1}, 0}}, {13, c}}));
  RecordAddress root = put(11, largeRoot(kBlob, {{13, node}}, 1));
  EXPECT_EQ(viaTextPointer(kBlob, root), "kept ");
}

TEST_F(LargeRootTest, InternalNodeWithTooManyLinksFollowsThoseItHolds) {
  RecordAddress a = put(13, dataRecord(kBlob, ascii("alpha ")));
  RecordAddress b = put(13, dataRecord(kBlob, ascii("beta")));
  RecordAddress node = put(12, internalNode(kBlob, {{6, a}, {10, b}}, 0, 400));
  RecordAddress root = put(11, largeRoot(kBlob, {{10, node}}, 1));
  EXPECT_EQ(viaTextPointer(kBlob, root), "alpha beta");
  EXPECT_FALSE(gather(root).complete);
}

TEST_F(LargeRootTest, RootWithTooManyLinksFollowsThoseItHolds) {
  RecordAddress a = put(12, dataRecord(kBlob, ascii("only")));
  RecordAddress root = put(11, largeRoot(kBlob, {{4, a}}, 0, 60));
  EXPECT_EQ(viaTextPointer(kBlob, root), "only");
}

// --- Damaged structures ------------------------------------------------------------

TEST_F(LargeRootTest, RootPointingAtItselfEnds) {
  RecordAddress self{{1, 11}, 0};
  put(11, largeRoot(kBlob, {{10, self}, {20, self}}));
  EXPECT_EQ(viaTextPointer(kBlob, self), " ");
  EXPECT_FALSE(gather(self).complete);
}

TEST_F(LargeRootTest, InternalNodesPointingAtEachOtherEnd) {
  RecordAddress leaf = put(13, dataRecord(kBlob, ascii("once")));
  RecordAddress first{{1, 12}, 0}, second{{1, 12}, 1};
  put(12, internalNode(kBlob, {{4, leaf}, {8, second}}));
  put(12, internalNode(kBlob, {{4, first}, {8, leaf}}));
  RecordAddress root = put(11, largeRoot(kBlob, {{8, first}}, 2));
  EXPECT_EQ(viaTextPointer(kBlob, root), "once");
}

TEST_F(LargeRootTest, SameDataRecordLinkedTwiceIsTakenOnce) {
  RecordAddress leaf = put(12, dataRecord(kBlob, ascii("twice?")));
  RecordAddress root = put(11, largeRoot(kBlob, {{6, leaf}, {12, leaf}}));
  EXPECT_EQ(viaTextPointer(kBlob, root), "twice?");
}

// A chain of Internal nodes, each with one link to the next, ending in data.
class DeepChainTest : public LargeRootTest {
 protected:
  RecordAddress chain(int levels) {
    RecordAddress next = put(12, dataRecord(kBlob, ascii("bottom")));
    for (int k = 0; k < levels; ++k) next = put(13 + k % 3, internalNode(kBlob, {{6, next}}));
    return put(11, largeRoot(kBlob, {{6, next}}, static_cast<uint16_t>(levels)));
  }
};

TEST_F(DeepChainTest, ChainWithinTheDepthLimitIsWalked) {
  EXPECT_EQ(viaTextPointer(kBlob, chain(5)), "bottom");
}

TEST_F(DeepChainTest, ChainBeyondTheDepthLimitStops) {
  RecordAddress root = chain(20);
  EXPECT_EQ(viaTextPointer(kBlob, root), " ");
  GatheredValue value = gather(root);
  EXPECT_FALSE(value.complete);
  EXPECT_TRUE(value.pieces.empty());
  LobLimits deep;
  deep.maxDepth = 21;
  EXPECT_EQ(viaTextPointer(kBlob, root, {}, nullptr, deep), "bottom");
}

TEST_F(LargeRootTest, ByteBudgetStopsTheWalk) {
  RecordAddress root = rootOver({Bytes(60, 'a'), Bytes(60, 'b'), Bytes(60, 'c')});
  LobLimits small;
  small.maxValueBytes = 130;
  LobWalk walk(file(), small);
  walk.gatherAt(root);
  GatheredValue value = walk.take();
  EXPECT_EQ(value.size, 120);
  EXPECT_EQ(value.pieces.size(), 2u);
  EXPECT_FALSE(value.complete);
}

TEST_F(LargeRootTest, RecordBudgetStopsTheWalk) {
  RecordAddress root = rootOver({Bytes(10, 'a'), Bytes(10, 'b'), Bytes(10, 'c')});
  LobLimits few;
  few.maxRecords = 3;
  GatheredValue value = gather(root, few);
  EXPECT_EQ(value.pieces.size(), 2u);
  EXPECT_FALSE(value.complete);
}

// --- Root pointers -------------------------------------------------------------------

TEST_F(LargeObjectTest, RowOverflowPointerGivesItsDataRecord) {
  RecordAddress at = put(11, dataRecord(kBlob, ascii("overflowed value")));
  Bytes pointer = rootPointerBytes(kRowOverflowPointerType, {{16, at}});
  EXPECT_EQ(readRootPointer(file(), view(pointer), {}, nullptr), "overflowed value");
}

TEST_F(LargeObjectTest, InRowRootJoinsItsLinksInOrder) {
  RecordAddress first = put(12, dataRecord(kBlob, ascii("first ")));
  RecordAddress second = put(11, dataRecord(kBlob, ascii("second")));
  Bytes pointer = rootPointerBytes(kInRowRootType, {{6, first}, {12, second}});
  EXPECT_EQ(readRootPointer(file(), view(pointer), {}, nullptr), "first second");
  Bytes binary = rootPointerBytes(kInRowRootType, {{6, first}, {12, second}});
  EXPECT_EQ(readRootPointer(file(), view(binary), {true, false, false}, nullptr),
            upperHex(ascii("first second")));
}

TEST_F(LargeObjectTest, RootPointerTakesOnlyWholeLinks) {
  RecordAddress at = put(11, dataRecord(kBlob, ascii("whole")));
  Bytes pointer = rootPointerBytes(kInRowRootType, {{5, at}});
  pointer.insert(pointer.end(), {9, 0, 0, 0, 11, 0});  // half a link
  auto parsed = parseRootPointer(view(pointer));
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->links.size(), 1u);
  EXPECT_EQ(readRootPointer(file(), view(pointer), {}, nullptr), "whole");
  Bytes header(11, 0);
  EXPECT_FALSE(parseRootPointer(view(header)));
}

TEST_F(LargeObjectTest, RootPointerSkipsEmptyLinksAndReadsFileIdsAbove1000AsThePrimaryFile) {
  RecordAddress at = put(11, dataRecord(kBlob, ascii("found")));
  RecordAddress odd{{1001, 11}, 0};
  Bytes pointer = rootPointerBytes(kInRowRootType, {{0, at}, {5, odd}});
  EXPECT_EQ(readRootPointer(file(), view(pointer), {}, nullptr), "found");
}

// Variant header: base type, version, u16 maximum length for binary types; base type,
// version, u32 collation, u16 maximum length for character types.
TEST_F(LargeObjectTest, OverflowedVariantsAreReadByTheirBaseType) {
  Bytes varbinary = concat({{165, 1, 0x40, 0x1F}, repeated(0xA0, 30)});
  Bytes nvarchar = concat({{231, 1, 8, 0, 0, 0x34, 0x40, 0x1F}, utf16(u"variant text")});
  Bytes integer = {56, 1, 1, 0, 0, 0};
  RecordAddress a = put(11, dataRecord(kBlob, varbinary));
  RecordAddress b = put(11, dataRecord(kBlob, nvarchar));
  RecordAddress c = put(11, dataRecord(kBlob, integer));
  LobFlags variant{false, true, false};
  auto read = [&](RecordAddress at) {
    Bytes pointer = rootPointerBytes(kRowOverflowPointerType, {{1, at}});
    return readRootPointer(file(), view(pointer), variant, nullptr);
  };
  EXPECT_EQ(read(a), upperHex(repeated(0xA0, 30)));
  EXPECT_EQ(read(b), "variant text");
  EXPECT_EQ(read(c), "");
}

// --- Xml chunks ----------------------------------------------------------------------

TEST_F(LargeRootTest, XmlValueYieldsOneChunkPerDataRecord) {
  Bytes a = repeated(1, 50), b = repeated(100, 20);
  RecordAddress root = rootOver({a, b});
  std::vector<XmlChunk> chunks;
  EXPECT_EQ(viaTextPointer(kBlob, root, {}, &chunks), " ");
  ASSERT_EQ(chunks.size(), 2u);
  EXPECT_EQ(chunks[0].length, 50);
  EXPECT_EQ(Bytes(chunks[1].bytes.get(), chunks[1].bytes.get() + 20), b);
}

TEST_F(LargeObjectTest, XmlSmallRootYieldsOneChunkAndNoText) {
  RecordAddress at = put(11, dataRecord(kBlob, ascii("<a/>")));
  Bytes pointer = rootPointerBytes(kInRowRootType, {{4, at}});
  std::vector<XmlChunk> chunks;
  EXPECT_EQ(readRootPointer(file(), view(pointer), {}, &chunks), "");
  ASSERT_EQ(chunks.size(), 1u);
  EXPECT_EQ(chunks[0].length, 4);
}

// --- Structures read directly ------------------------------------------------------

TEST_F(LargeRootTest, ReadStructureOfAHeldRecord) {
  RecordAddress root = rootOver({ascii("held "), ascii("root")});
  auto page = loadTextPage(file(), root.page);
  ASSERT_TRUE(page && page->record(root.slot));
  EXPECT_EQ(readStructure(*page->record(root.slot), file(), {}, nullptr), "held root");
  Bytes shortRecord = {0x08, 0, 9, 0, 'a', 'b', 'c', 'd', 'e'};
  TextRecord parsed(view(shortRecord), 0, 9);
  EXPECT_EQ(readStructure(parsed, file(), {}, nullptr), "");
}

// --- Random damage -------------------------------------------------------------------

// Text pages full of structures whose links, counts, lengths and blob ids are drawn at
// random; every record is read from every kind of reference. Nothing may crash, hang or
// exceed the budgets.
class LargeObjectDamagedPages : public LargeObjectTest, public ::testing::WithParamInterface<unsigned> {
 protected:
  int pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
  // Mostly a plausible count; now and then any count at all.
  int damagedCount(int limit) { return pick(3) == 0 ? pick(limit) : -1; }
  Bytes someBytes(int maxCount) {
    return repeated(static_cast<uint8_t>(random_()), static_cast<size_t>(pick(maxCount)));
  }

  std::vector<Link> randomLinks() {
    std::vector<Link> links(static_cast<size_t>(pick(6)));
    for (Link& link : links) {
      int16_t fileId = static_cast<int16_t>(pick(8) == 0 ? pick(3) : 1);
      RecordAddress at{{fileId, 8 + pick(kPageCount)}, static_cast<uint16_t>(pick(7))};
      link = {static_cast<uint32_t>(random_()), at};
    }
    return links;
  }

  Bytes randomRecord() {
    uint64_t blob = pick(4) == 0 ? kOtherBlob : kBlob;
    Bytes record;
    switch (pick(7)) {
      case 0: record = smallRoot(blob, someBytes(70), damagedCount(9000)); break;
      case 1: record = dataRecord(blob, someBytes(300)); break;
      case 2: record = internalNode(blob, randomLinks(), 0, damagedCount(600)); break;
      case 3:
        record = largeRoot(blob, randomLinks(), 0, damagedCount(600), static_cast<uint16_t>(4 + pick(3)));
        break;
      case 4: record = textRecord(blob, static_cast<uint16_t>(random_()), someBytes(40)); break;
      case 5: record = someBytes(30); break;
      default: record = dataRecord(blob, utf16(u"text")); break;
    }
    if (record.size() >= 4 && pick(6) == 0) writeU32(record.data(), static_cast<uint32_t>(random_()));
    return record;
  }

  std::mt19937 random_{GetParam()};
};

TEST_P(LargeObjectDamagedPages, EveryReferenceEndsWithinItsBudgets) {
  for (int32_t page = 10; page < 30; ++page)
    for (int k = 0; k < 7; ++k) put(page, randomRecord());
  LobLimits limits;
  limits.maxValueBytes = 20000;
  int64_t gathered = 0;
  for (int32_t page = 8; page < 32; ++page) {
    for (uint16_t slot = 0; slot < 8; ++slot) {
      RecordAddress at{{1, page}, slot};
      GatheredValue value = gather(at, limits);
      EXPECT_LE(value.size, limits.maxValueBytes);
      gathered += value.size;
      for (LobFlags flags : {LobFlags{}, LobFlags{true, false, false}, LobFlags{false, true, false},
                             LobFlags{false, false, true}}) {
        viaTextPointer(kBlob, at, flags, nullptr, limits);
        Bytes pointer = rootPointerBytes(kInRowRootType, {{1, at}, {2, {{1, page + 1}, slot}}});
        readRootPointer(file(), view(pointer), flags, nullptr, limits);
      }
      std::vector<XmlChunk> chunks;
      viaTextPointer(kBlob, at, {}, &chunks, limits);
      int64_t total = 0;
      for (const XmlChunk& chunk : chunks) total += chunk.length;
      EXPECT_LE(total, limits.maxValueBytes);
    }
  }
  EXPECT_GT(gathered, 0);
}

INSTANTIATE_TEST_SUITE_P(Seeds, LargeObjectDamagedPages, ::testing::Range(1u, 9u));

// --- Code pages ----------------------------------------------------------------------

TEST_F(LargeObjectTest, CodePageFollowsTheColumnCollationOutsideAListing) {
  appState().collations[53255] = {"Cyrillic_General_CI_AS", 1251};
  appState().currentLargeValueCollation = 53255;
  appState().listing = false;
  RecordAddress at = put(11, smallRoot(kBlob, {0xCF, 0xF0, 0xE8}));
  EXPECT_EQ(viaTextPointer(kBlob, at), "\xD0\x9F\xD1\x80\xD0\xB8");  // При
}

TEST_F(LargeObjectTest, CodePageChoice) {
  appState().collations[53255] = {"Cyrillic_General_CI_AS", 1251};
  appState().currentLargeValueCollation = 0;
  EXPECT_EQ(largeValueCodePage(), 1252);
  appState().collationFound = true;
  appState().currentCollationId = 99;
  appState().currentCodePage = 1250;
  EXPECT_EQ(largeValueCodePage(), 1250);
  appState().currentLargeValueCollation = 99;
  EXPECT_EQ(largeValueCodePage(), 1250);
  appState().currentLargeValueCollation = 53255;
  EXPECT_EQ(largeValueCodePage(), 1251);
  appState().currentLargeValueCollation = 4242;
  EXPECT_EQ(largeValueCodePage(), 1252);
}

TEST(LargeObjectTextTest, TextForms) {
  EXPECT_EQ(upperHex(Bytes{0x00, 0xAB, 0x7F}), "00AB7F");
  EXPECT_EQ(lob::codePageText(Bytes{'a', 'b', 0, 'c'}, 1252), "ab");
  EXPECT_EQ(lob::utf16Text(Bytes{'h', 0, 'i', 0, 0, 0, 'x', 0}), "hi");
  EXPECT_EQ(lob::utf16Text(Bytes{'h', 0, 'i'}), "hi");
  EXPECT_TRUE(lob::looksLikeUtf16(Bytes{'a', 0, 'b', 0}));
  EXPECT_FALSE(lob::looksLikeUtf16(Bytes{'a', 0, 0, 0}));
  EXPECT_FALSE(lob::looksLikeUtf16(Bytes{0}));
  EXPECT_EQ(largeValueText(Bytes{}, {}, {}), "");
}

}  // namespace
}  // namespace orodorev
