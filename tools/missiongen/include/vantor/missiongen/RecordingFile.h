#pragma once
// The --record file, written beside its name and moved into place once the
// run ends whole: a full disk or an interrupted run never leaves a cut
// recording in place of the previous one.

#include <filesystem>
#include <fstream>
#include <string>

namespace vantor::missiongen {

class RecordingFile {
 public:
  explicit RecordingFile(std::filesystem::path path);
  ~RecordingFile();
  RecordingFile(const RecordingFile&) = delete;
  RecordingFile& operator=(const RecordingFile&) = delete;

  // Creates the file being written ("<path>.partial"); false when it cannot.
  bool Open();
  std::ostream& Stream() { return out_; }
  // Replaces the file at `path` with what was written; false (with a reason
  // in `error`, and the file at `path` as it was) when any write failed.
  bool Commit(std::string* error);

  const std::filesystem::path& Path() const { return path_; }
  const std::filesystem::path& PartialPath() const { return partial_; }

 private:
  void Discard();

  std::filesystem::path path_;
  std::filesystem::path partial_;
  std::ofstream out_;
  bool open_ = false;
};

}  // namespace vantor::missiongen
