#include "FileFaults.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace vantor::test {
namespace {

// Sets or clears the folder's immutable flag; an error text on failure.
std::string SetImmutable(const std::filesystem::path& folder, bool on) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return std::string("cannot open the folder: ") + std::strerror(errno);
  int flags = 0;
  std::string error;
  if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) {
    error = std::string("cannot read the folder's flags: ") + std::strerror(errno);
  } else {
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) != 0) {
      error = std::string("cannot make the folder immutable: ") + std::strerror(errno);
    }
  }
  ::close(fd);
  return error;
}

}  // namespace

FileSizeLimit::FileSizeLimit(std::uint64_t bytes) {
  previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  previous_ = limit.rlim_cur;
  limit.rlim_cur = static_cast<rlim_t>(bytes);
  ::setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = static_cast<rlim_t>(previous_);
  ::setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, previousHandler_);
}

ReadOnlyFolder::ReadOnlyFolder(std::filesystem::path folder) : folder_(std::move(folder)) {
  std::error_code error;
  std::filesystem::permissions(folder_,
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                                   std::filesystem::perms::group_read | std::filesystem::perms::group_exec,
                               error);
  if (error) failed_ = "cannot change the folder's permissions: " + error.message();
  if (::geteuid() == 0 && failed_.empty()) {
    failed_ = SetImmutable(folder_, true);
    immutable_ = failed_.empty();
  }
}

ReadOnlyFolder::~ReadOnlyFolder() {
  if (immutable_) SetImmutable(folder_, false);
  std::error_code ignored;
  std::filesystem::permissions(folder_, std::filesystem::perms::owner_all, ignored);
}

}  // namespace vantor::test
