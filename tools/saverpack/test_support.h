// Helpers for the saverpack tests: a temporary folder removed afterwards,
// and whole-file reads and writes.
#pragma once

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace saverpack::testing {

class TempFolder {
 public:
  // A new folder with a random name, so that tests running at the same time
  // never share one.
  TempFolder() {
    std::random_device random;
    const std::filesystem::path temp = std::filesystem::temp_directory_path();
    do {
      path_ = temp / ("saverpack_test_" + std::to_string(random()));
    } while (!std::filesystem::create_directory(path_));
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string Path(const std::string& name) const { return (path_ / name).string(); }

  // The names of the files in the folder, sorted.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::filesystem::path path_;
};

inline void PutFile(const std::string& path, const std::string& bytes, const char* mode) {
  std::FILE* file = std::fopen(path.c_str(), mode);
  if (file == nullptr) return;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  PutFile(path, bytes, "wb");
}

inline void AppendToFile(const std::string& path, const std::string& bytes) {
  PutFile(path, bytes, "ab");
}

// The file's bytes; empty when it cannot be read.
inline std::string ReadFile(const std::string& path) {
  std::string bytes;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return bytes;
  char buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0) bytes.append(buffer, got);
  std::fclose(file);
  return bytes;
}

// `size` bytes that differ from position to position, none forming a
// package signature.
inline std::string PatternBytes(size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<char>((i * 131 + seed * 7 + (i >> 9)) & 0xff);
  }
  return bytes;
}

}  // namespace saverpack::testing
