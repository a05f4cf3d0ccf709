#pragma once
// A fresh folder under the system's temporary folder, removed with its
// content when the test ends.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace vennik::testing {

class TempFolder {
 public:
  TempFolder() {
    // A name no one else has: made only where none stood.
    std::random_device seed;
    std::mt19937_64 random(seed());
    std::error_code ec;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      const auto candidate = std::filesystem::temp_directory_path() / ("vennik-test-" + std::to_string(random()));
      if (std::filesystem::create_directory(candidate, ec)) path_ = candidate.string();
    }
  }
  ~TempFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder with a trailing "/".
  std::string folder() const { return path_ + "/"; }

 private:
  std::string path_;
};

// Every byte of a file; empty when it cannot be read.
inline std::string fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace vennik::testing
