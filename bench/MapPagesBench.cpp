// Times the open sequence (alignment check and mapping pass) over a large generated
// file: pages per second, and the bytes the page maps keep per page.
//
//   map_pages_bench [PAGES] [FILE]   default 131072 pages (1 GiB) in a temporary file

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/ApplicationState.h"
#include "storage/ByteOrder.h"
#include "storage/DatabaseFile.h"

using namespace orodorev;

namespace {

void writeFile(const std::string& path, int64_t pages) {
  std::ofstream out(path, std::ios::binary);
  std::vector<uint8_t> page(kPageSize, 0);
  for (int64_t i = 0; i < pages; ++i) {
    int32_t owner = i % 8 == 0 ? static_cast<int32_t>(i % 97) : 1000 + static_cast<int32_t>(i % 50);
    page[1] = i % 64 == 1 ? kIamPageType : kDataPageType;
    writeU32(page.data() + 24, static_cast<uint32_t>(owner));
    writeU32(page.data() + 32, static_cast<uint32_t>(i));
    writeU16(page.data() + 36, 1);
    out.write(reinterpret_cast<const char*>(page.data()), kPageSize);
  }
}

size_t mapBytes(const PageMap& map) {
  size_t bytes = 0;
  for (const auto& [id, pages] : map) bytes += pages.capacity() * sizeof(MappedPage);
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  int64_t pages = argc > 1 ? std::atoll(argv[1]) : 131072;
  std::string path = argc > 2 ? argv[2] : (std::filesystem::temp_directory_path() / "orodorev-bench.mdf").string();
  bool generated = argc <= 2;
  if (generated) writeFile(path, pages);

  auto start = std::chrono::steady_clock::now();
  DatabaseFile file(path, false, nullptr);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (generated) std::filesystem::remove(path);
  if (!file.opened()) {
    std::fprintf(stderr, "the file did not open\n");
    return 1;
  }
  size_t bytes = mapBytes(file.systemPageMap) + mapBytes(file.dataPageMap) + mapBytes(file.iamPageMap);
  std::printf("pages %lld  seconds %.3f  pages/s %.0f  MiB/s %.0f  map bytes/page %.1f\n",
              static_cast<long long>(file.pageCount()), seconds, file.pageCount() / seconds,
              file.pageCount() * 8192.0 / (1 << 20) / seconds, static_cast<double>(bytes) / file.pageCount());
  return 0;
}
