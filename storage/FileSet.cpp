#include "storage/FileSet.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "app/ApplicationState.h"
#include "storage/ByteOrder.h"
#include "storage/FileCheck.h"
#include "storage/SequentialPageReader.h"

namespace orodorev {
namespace {

constexpr int32_t kSecondarySystemObjects[] = {3, 4, 5, 7, 8, 13, 34, 41, 50, 54, 55, 60, 74};

bool isSecondarySystemObject(int32_t objectId) {
  return std::find(std::begin(kSecondarySystemObjects), std::end(kSecondarySystemObjects),
                   objectId) != std::end(kSecondarySystemObjects);
}

std::string lowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// Names recorded on Windows ignore case; on this file system they do not.
std::string findIgnoringCase(const std::string& path) {
  std::error_code error;
  if (std::filesystem::exists(path, error)) return path;
  std::filesystem::path wanted(path);
  std::string wantedName = lowerCase(wanted.filename().string());
  auto folder = wanted.parent_path().empty() ? std::filesystem::path(".") : wanted.parent_path();
  for (const auto& entry : std::filesystem::directory_iterator(folder, error))
    if (lowerCase(entry.path().filename().string()) == wantedName) return entry.path().string();
  return path;
}

struct SecondaryFile {
  ReadOnlyFile file;
  int64_t size;
  int64_t dataOffset;
  int64_t pageCount;
};

std::optional<SecondaryFile> openSecondary(const std::string& path) {
  auto file = ReadOnlyFile::open(path);
  if (!file) return std::nullopt;
  int64_t size = file->size();
  int64_t offset = size % kPageSize;
  return SecondaryFile{std::move(*file), size, offset, (size - offset) / kPageSize};
}

// Adds a secondary file's pages to the maps. A fixed file id replaces the ids in the
// page headers; without one, the headers' ids are kept. Returns the file id of the
// first data page of a secondary file, or 0.
int32_t scanSecondaryPages(DatabaseFile& database, const SecondaryFile& secondary,
                           int32_t fixedFileId) {
  FramePort& frame = database.frame();
  frame.setProgressRange(0, secondary.pageCount);
  frame.setProgressPosition(0);
  int64_t step = std::max<int64_t>(1, (secondary.pageCount + 99) / 100);
  int32_t firstDataFileId = 0;
  SequentialPageReader reader(secondary.file, secondary.dataOffset);
  for (int64_t i = 0; i < secondary.pageCount; ++i) {
    if (stopRequested()) break;
    const uint8_t* page = reader.next();
    int32_t objectId = readI32(page + 24);
    int32_t pageType = page[1];
    int16_t headerFileId = readI16(page + 36);
    int16_t fileId = fixedFileId > 0 ? static_cast<int16_t>(fixedFileId) : headerFileId;
    MappedPage entry{fileId, readI16(page + 6), static_cast<int32_t>(i), pageType};
    if (isSecondarySystemObject(objectId)) database.systemPageMap[objectId].push_back(entry);
    if (objectId > 0 && pageType == kDataPageType) {
      database.dataPageMap[objectId].push_back(entry);
      if (firstDataFileId == 0 && headerFileId > 1) firstDataFileId = headerFileId;
    }
    if ((i + 1) % step == 0) frame.setProgressPosition(i + 1);
  }
  frame.setProgressPosition(secondary.pageCount);
  return firstDataFileId;
}

void completeRow(FileRow& row, const SecondaryFile& secondary) {
  row.fileSize = secondary.size;
  row.dataOffset = static_cast<int32_t>(secondary.dataOffset);
  row.pageCount = secondary.pageCount;
}

void discoverFromFileList(DatabaseFile& database, std::vector<FileRow>& fileList,
                          const std::string& folder) {
  for (FileRow& row : fileList)
    if (row.fileId > 1) row.physicalName = findIgnoringCase(secondaryFilePath(folder, row.physicalName));
  for (FileRow& row : fileList) {
    if (row.fileId <= 1) continue;
    auto secondary = openSecondary(row.physicalName);
    if (!secondary) continue;
    completeRow(row, *secondary);
    database.secondaryFileMap[row.fileId] = row;
    scanSecondaryPages(database, *secondary, row.fileId);
  }
}

std::vector<std::string> ndfFilesIn(const std::string& folder) {
  std::vector<std::string> paths;
  std::error_code error;
  auto where = folder.empty() ? std::filesystem::path(".") : std::filesystem::path(folder);
  for (const auto& entry : std::filesystem::directory_iterator(where, error))
    if (entry.is_regular_file(error) && lowerCase(entry.path().extension().string()) == ".ndf")
      paths.push_back(entry.path().string());
  std::sort(paths.begin(), paths.end());
  return paths;
}

void discoverFromFolder(DatabaseFile& database, std::vector<FileRow>& fileList,
                        const std::string& folder) {
  fileList.clear();
  for (const std::string& path : ndfFilesIn(folder)) {
    FileRow row;
    row.physicalName = path;
    auto secondary = openSecondary(path);
    if (!secondary) continue;
    secondary->dataOffset = checkFileCorruption(secondary->file, secondary->pageCount,
                                                secondary->dataOffset, database.frame());
    completeRow(row, *secondary);
    row.fileId = scanSecondaryPages(database, *secondary, 0);
    if (row.fileId <= 1) continue;
    fileList.push_back(row);
    database.secondaryFileMap[row.fileId] = row;
  }
}

}  // namespace

std::string folderOf(const std::string& path) {
  std::string normal = path;
  for (size_t at; (at = normal.find("\\\\")) != std::string::npos;) normal.erase(at, 1);
  size_t separator = normal.find_last_of("/\\");
  return separator == std::string::npos ? std::string() : normal.substr(0, separator + 1);
}

std::string secondaryFilePath(const std::string& folder, const std::string& physicalName) {
  size_t separator = physicalName.find_last_of("\\/");
  std::string name = separator == std::string::npos ? physicalName : physicalName.substr(separator + 1);
  size_t dot = name.rfind('.');
  std::string base = dot == std::string::npos ? std::string() : name.substr(0, dot);
  return folder + (base.empty() ? name : base + ".ndf");
}

void discoverSecondaryFiles(DatabaseFile& file, std::vector<FileRow>& fileList,
                            const std::string& primaryPath) {
  std::string folder = folderOf(primaryPath);
  if (fileList.empty()) {
    discoverFromFolder(file, fileList, folder);
  } else {
    discoverFromFileList(file, fileList, folder);
  }
}

}  // namespace orodorev
