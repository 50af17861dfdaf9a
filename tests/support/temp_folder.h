// A folder of the test's own under the system's temporary directory, removed again when
// the test ends. CTest runs tests as parallel processes, so the name must be one no other
// process can hold at the same moment: it is claimed with create_directory, which fails
// when the name exists, and a new random name is tried then.
#pragma once

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

namespace pelloram::testing {

class TempFolder {
 public:
  explicit TempFolder(std::string_view purpose = "test") {
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error) return;
    std::random_device entropy;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      const std::filesystem::path candidate =
          base / ("pelloram-" + std::string(purpose) + "-" + std::to_string(entropy()) + "-" +
                  std::to_string(entropy()));
      if (std::filesystem::create_directory(candidate, error) && !error) path_ = candidate;
    }
  }
  ~TempFolder() { Remove(); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Empty when no folder could be made.
  const std::filesystem::path& path() const { return path_; }
  // The path as UTF-8, the tool's text form.
  std::string Utf8() const {
    const std::u8string bytes = path_.u8string();
    return std::string(bytes.begin(), bytes.end());
  }

  // Never throws, also when something else removed the folder first; false when anything
  // was left behind.
  bool Remove() {
    if (path_.empty()) return true;
    std::error_code error;
    std::filesystem::remove_all(path_, error);
    const bool removed = !std::filesystem::exists(path_, error) && !error;
    if (!removed) std::fprintf(stderr, "could not remove %s\n", Utf8().c_str());
    path_.clear();
    return removed;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace pelloram::testing
