#include "AppendOnlyFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#include <csignal>
#endif

namespace vantor::record {
namespace {

FileError ErrorFromErrno(int code) {
  FileError error;
  error.diskFull = code == ENOSPC || code == EFBIG
#ifdef EDQUOT
                   || code == EDQUOT
#endif
      ;
  error.reason = std::strerror(code);
  return error;
}

}  // namespace

#ifdef _WIN32

std::unique_ptr<AppendOnlyFile> AppendOnlyFile::Create(const std::filesystem::path& path, FileError& error) {
  const int descriptor =
      _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY | _O_APPEND, _S_IREAD | _S_IWRITE);
  if (descriptor < 0) {
    error = ErrorFromErrno(errno);
    return nullptr;
  }
  return std::unique_ptr<AppendOnlyFile>(new AppendOnlyFile(descriptor));
}

AppendOnlyFile::~AppendOnlyFile() { _close(descriptor_); }

bool AppendOnlyFile::Write(std::span<const std::uint8_t> bytes, FileError& error) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const int count = _write(descriptor_, bytes.data() + done, static_cast<unsigned>(bytes.size() - done));
    if (count <= 0) {
      error = ErrorFromErrno(count < 0 ? errno : ENOSPC);
      return false;
    }
    done += static_cast<std::size_t>(count);
  }
  return true;
}

bool AppendOnlyFile::Sync(FileError& error) {
  if (_commit(descriptor_) == 0) return true;
  error = ErrorFromErrno(errno);
  return false;
}

void AppendOnlyFile::Truncate(std::uint64_t size) { (void)_chsize_s(descriptor_, static_cast<__int64>(size)); }

#else

std::unique_ptr<AppendOnlyFile> AppendOnlyFile::Create(const std::filesystem::path& path, FileError& error) {
  // Past a file-size limit the system would end the whole program with
  // SIGXFSZ; ignored, the write fails with EFBIG and the recording stops.
  std::signal(SIGXFSZ, SIG_IGN);
  const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
  if (descriptor < 0) {
    error = ErrorFromErrno(errno);
    return nullptr;
  }
  return std::unique_ptr<AppendOnlyFile>(new AppendOnlyFile(descriptor));
}

AppendOnlyFile::~AppendOnlyFile() { ::close(descriptor_); }

bool AppendOnlyFile::Write(std::span<const std::uint8_t> bytes, FileError& error) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t count = ::write(descriptor_, bytes.data() + done, bytes.size() - done);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) {
      error = ErrorFromErrno(count < 0 ? errno : ENOSPC);
      return false;
    }
    done += static_cast<std::size_t>(count);
  }
  return true;
}

bool AppendOnlyFile::Sync(FileError& error) {
  // Character devices and some file systems cannot sync: nothing is lost
  // by that.
  if (::fdatasync(descriptor_) == 0 || errno == EINVAL || errno == EROFS) return true;
  error = ErrorFromErrno(errno);
  return false;
}

void AppendOnlyFile::Truncate(std::uint64_t size) { (void)::ftruncate(descriptor_, static_cast<off_t>(size)); }

#endif

}  // namespace vantor::record
