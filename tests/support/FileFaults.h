#pragma once
// Disk faults for the tests of every program that writes files (POSIX): a
// full disk and a read-only folder, both without mounting anything.

#include <cstdint>
#include <filesystem>
#include <string>

namespace vantor::test {

// A full disk: while the object lives, no file of this process (or of a
// child started meanwhile, which inherits it) may grow past `bytes`. A write
// beyond fails with EFBIG, as on a full disk, instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(std::uint64_t bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  std::uint64_t previous_ = 0;
  void (*previousHandler_)(int) = nullptr;
};

// A folder in which nothing can be created, renamed or removed, even by
// root (who ignores permissions: the folder is then made immutable).
// Failed() tells why the folder could not be made so; tests fail on it.
class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(std::filesystem::path folder);
  ~ReadOnlyFolder();
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

  const std::string& Failed() const { return failed_; }

 private:
  std::filesystem::path folder_;
  bool immutable_ = false;
  std::string failed_;
};

}  // namespace vantor::test
