#pragma once
// The real BASIC programs of the shared corpus that CI places beside the
// clone (VENNIK_CORPUS_DIR), sorted; none when the folder is missing.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

namespace vennik::testing {

inline std::vector<std::filesystem::path> corpusPrograms() {
  namespace fs = std::filesystem;
  std::vector<fs::path> files;
  if (!fs::is_directory(VENNIK_CORPUS_DIR)) return files;
  for (const auto& e : fs::recursive_directory_iterator(VENNIK_CORPUS_DIR)) {
    std::string ext = e.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (e.is_regular_file() && ext == ".bas") files.push_back(e.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace vennik::testing
