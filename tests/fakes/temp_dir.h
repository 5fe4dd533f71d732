// A fresh directory per test, removed afterwards, with file helpers.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace k7::test {

class TempDir {
 public:
  TempDir() {
    std::random_device rd;
    dir_ = std::filesystem::temp_directory_path() / ("k7-test-" + std::to_string(rd()));
    std::filesystem::create_directories(dir_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
    return Path(name);
  }

  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  std::filesystem::path dir_;
};

}  // namespace k7::test
