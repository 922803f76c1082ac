#include "tests/TestFiles.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "storage/ByteOrder.h"
#include "storage/PageHeader.h"

namespace orodorev::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "orodorev-test-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::write(const std::string& name, const std::vector<uint8_t>& bytes) const {
  std::string full = path_ + "/" + name;
  std::ofstream out(full, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return full;
}

std::vector<uint8_t> makePage(int32_t objectId, uint8_t pageType, int32_t thisPage,
                              int16_t fileId) {
  std::vector<uint8_t> page(kPageSize, 0);
  page[0] = 1;
  page[1] = pageType;
  writeU32(page.data() + 24, static_cast<uint32_t>(objectId));
  writeU32(page.data() + 32, static_cast<uint32_t>(thisPage));
  writeU16(page.data() + 36, static_cast<uint16_t>(fileId));
  return page;
}

std::vector<uint8_t> makeDatabaseBytes(int count) {
  std::vector<uint8_t> bytes;
  for (int i = 0; i < count; ++i) {
    int32_t owner = (i == 0 || i == 9) ? 99 : 0;
    auto page = makePage(owner, i == 0 ? 15 : 13, i);
    bytes.insert(bytes.end(), page.begin(), page.end());
  }
  return bytes;
}

void setSlots(std::vector<uint8_t>& page, const std::vector<uint16_t>& offsets) {
  writeU16(page.data() + 22, static_cast<uint16_t>(offsets.size()));
  for (size_t j = 0; j < offsets.size(); ++j) writeU16(page.data() + 8190 - 2 * j, offsets[j]);
}

void putBytes(std::vector<uint8_t>& page, size_t offset, const std::vector<uint8_t>& bytes) {
  std::copy(bytes.begin(), bytes.end(), page.begin() + static_cast<std::ptrdiff_t>(offset));
}

std::vector<uint8_t> plainRecord(uint8_t status, const std::vector<uint8_t>& fixed, uint16_t columns,
                                 const std::vector<std::vector<uint8_t>>& varValues) {
  std::vector<uint8_t> record = {status, 0, 0, 0};
  writeU16(record.data() + 2, static_cast<uint16_t>(4 + fixed.size()));
  record.insert(record.end(), fixed.begin(), fixed.end());
  auto append16 = [&](uint16_t v) {
    record.push_back(static_cast<uint8_t>(v));
    record.push_back(static_cast<uint8_t>(v >> 8));
  };
  append16(columns);
  if (status & 0x10) record.insert(record.end(), (columns + 7) / 8, 0);
  if (status & 0x20) {
    append16(static_cast<uint16_t>(varValues.size()));
    size_t end = record.size() + 2 * varValues.size();
    for (const auto& value : varValues) {
      end += value.size();
      append16(static_cast<uint16_t>(end));
    }
    for (const auto& value : varValues) record.insert(record.end(), value.begin(), value.end());
  }
  return record;
}

std::vector<uint8_t> readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string corpusDir() { return ORODOREV_CORPUS_DIR; }

std::vector<std::string> corpusDataFiles() {
  std::vector<std::string> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(corpusDir(), error))
    if (entry.path().extension() == ".mdf") files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace orodorev::test
