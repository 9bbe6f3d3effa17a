// Scratch files and folders for tests, removed when the object goes, and whole-file helpers.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// A unique name in the temporary folder: the process id keeps side-by-side test runs apart.
inline std::filesystem::path temp_name(const std::string& name) {
  static int counter = 0;
  return std::filesystem::temp_directory_path() /
         ("vantrell_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++) + name);
}

inline std::vector<uint8_t> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

class TempFile {
 public:
  explicit TempFile(const std::vector<uint8_t>& bytes, const char* name = "rom.nes")
      : path_(temp_name(std::string("_") + name).string()) {
    write_file(path_, bytes);
  }
  ~TempFile() { std::remove(path_.c_str()); }
  const char* path() const { return path_.c_str(); }

 private:
  std::string path_;
};

class TempDir {
 public:
  TempDir() : path_(temp_name("")) { std::filesystem::create_directories(path_); }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};
