#include "vantor/missiongen/RecordingFile.h"

#include <system_error>

namespace vantor::missiongen {

RecordingFile::RecordingFile(std::filesystem::path path) : path_(std::move(path)), partial_(path_) {
  partial_ += ".partial";
}

RecordingFile::~RecordingFile() {
  // Not committed: whatever was written is no whole recording.
  if (open_) Discard();
}

bool RecordingFile::Open() {
  out_.open(partial_, std::ios::binary | std::ios::trunc);
  open_ = out_.is_open();
  return open_;
}

bool RecordingFile::Commit(std::string* error) {
  if (!open_) return false;
  out_.flush();
  out_.close();
  if (!out_) {
    Discard();
    if (error) *error = "a write failed (disk full?)";
    return false;
  }
  std::error_code failure;
  std::filesystem::rename(partial_, path_, failure);
  if (failure) {
    Discard();
    if (error) *error = failure.message();
    return false;
  }
  open_ = false;
  return true;
}

void RecordingFile::Discard() {
  if (out_.is_open()) out_.close();
  std::error_code ignored;
  std::filesystem::remove(partial_, ignored);
  open_ = false;
}

}  // namespace vantor::missiongen
