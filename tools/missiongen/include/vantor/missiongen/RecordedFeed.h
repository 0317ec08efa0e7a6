#pragma once
// A feed captured to a file (by --record, or from a real simulator's
// connection) cut back into the batches it was sent in. The text carries no
// timestamps, so a batch ends where an object id comes round again.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::missiongen {

struct RecordedFeed {
  std::string clockRecord;  // the capture's first "Mission start time" record, or empty
  std::vector<std::string> batches;
  std::size_t unfinishedTailBytes = 0;  // bytes after the last "##", not replayed

  // Fails (with `error`) when the text holds no object record at all, or a
  // NUL byte (which no feed holds).
  static std::optional<RecordedFeed> Parse(std::string_view text, std::string* error);
  static std::optional<RecordedFeed> Load(const std::string& path, std::string* error);
};

}  // namespace vantor::missiongen
