#pragma once
// Small database-shaped files for tests, written to a private temporary folder.

#include <cstdint>
#include <string>
#include <vector>

namespace orodorev::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const;

 private:
  std::string path_;
};

// A zeroed 8 KB page whose header names its owner, type and own address.
std::vector<uint8_t> makePage(int32_t objectId, uint8_t pageType, int32_t thisPage,
                              int16_t fileId = 1);

// Pages numbered 0..count-1, each carrying its own number; page 0 and 9 belong to
// system objects so the file maps.
std::vector<uint8_t> makeDatabaseBytes(int count);

// Writes the slot array (entry j at 8190 - 2j) and the header's slot count.
void setSlots(std::vector<uint8_t>& page, const std::vector<uint16_t>& offsets);
void putBytes(std::vector<uint8_t>& page, size_t offset, const std::vector<uint8_t>& bytes);

// A plain record: status A, fixed data, column count, optional null bitmap and
// variable columns with their end offsets.
std::vector<uint8_t> plainRecord(uint8_t status, const std::vector<uint8_t>& fixed, uint16_t columns,
                                 const std::vector<std::vector<uint8_t>>& varValues = {});

std::vector<uint8_t> readWholeFile(const std::string& path);

// Folder of the real database files beside the checkout.
std::string corpusDir();
std::vector<std::string> corpusDataFiles();

}  // namespace orodorev::test
