#pragma once
// A file written only at its end, with the system's own calls so that a
// failure is seen at once and the file can be cut back to a known size.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

namespace vantor::record {

struct FileError {
  bool diskFull = false;
  std::string reason;
};

class AppendOnlyFile {
 public:
  // Creates or empties the file.
  static std::unique_ptr<AppendOnlyFile> Create(const std::filesystem::path& path, FileError& error);
  ~AppendOnlyFile();
  AppendOnlyFile(const AppendOnlyFile&) = delete;
  AppendOnlyFile& operator=(const AppendOnlyFile&) = delete;

  bool Write(std::span<const std::uint8_t> bytes, FileError& error);
  bool Sync(FileError& error);
  // Cuts the file back to `size` bytes (best effort: the file is already
  // failing).
  void Truncate(std::uint64_t size);

 private:
  explicit AppendOnlyFile(int descriptor) : descriptor_(descriptor) {}
  int descriptor_;
};

}  // namespace vantor::record
