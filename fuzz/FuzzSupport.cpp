#include "FuzzSupport.h"

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <system_error>

namespace vantor::fuzz {
namespace {

class Scratch {
 public:
  Scratch() {
    // Memory, not disk: every input is written out, and a disk file system
    // may flush a file replaced by truncation or renaming.
    const char* base = std::getenv("VANTOR_FUZZ_SCRATCH");
    std::string folder = base != nullptr && *base != '\0' ? base : "/dev/shm";
    if (!std::filesystem::is_directory(folder)) folder = "/tmp";
    std::string pattern = folder + "/vantor-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace

const std::filesystem::path& ScratchFolder() {
  static const Scratch kScratch;
  return kScratch.Path();
}

std::filesystem::path WriteScratchFile(std::string_view name, std::string_view bytes) {
  const std::filesystem::path path = ScratchFolder() / name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  FUZZ_CHECK(out.good());
  return path;
}

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace vantor::fuzz
