// The recording file: its bytes, the background writer, files cut anywhere,
// damaged or of a newer format, and a disk that fills up.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>

#include <fstream>
#include <random>

#include "RecordingFixtures.h"
#include "vantor/record/RecordReader.h"
#include "vantor/record/RecordWriter.h"

namespace vantor::test {
namespace {

using namespace record;
using namespace std::chrono_literals;

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every frame of every readable block, in order.
std::vector<GeneratedFrame> AllFrames(const RecordReader& reader) {
  std::vector<GeneratedFrame> frames;
  DecodedBlock block;
  for (std::size_t i = 0; i < reader.Blocks().size(); ++i) {
    if (!reader.ReadBlock(i, block)) break;
    for (const FrameView& frame : block.frames)
      frames.push_back({frame.kind, frame.arrivalMs, {frame.payload.begin(), frame.payload.end()}});
  }
  return frames;
}

bool SameFrames(const std::vector<GeneratedFrame>& a, const std::vector<GeneratedFrame>& b, std::size_t count) {
  if (a.size() < count || b.size() < count) return false;
  for (std::size_t i = 0; i < count; ++i) {
    if (a[i].kind != b[i].kind || a[i].arrivalMs != b[i].arrivalMs || a[i].payload != b[i].payload) return false;
  }
  return true;
}

TEST(RecordFile, WriterProducesTheDocumentedBytesAndReadsBackFrameForFrame) {
  QTemporaryDir dir;
  const std::filesystem::path path = dir.filePath("mission.vrec").toStdString();
  GeneratedMission mission;
  mission.seconds = 12;
  mission.side = 1;
  const std::vector<GeneratedFrame> frames = GenerateMission(mission);

  WriterOptions options;
  options.flushInterval = 5ms;
  WriteFailure failure;
  auto writer = RecordWriter::Create(path, {kFormatVersion, 1, mission.startMs}, options, failure);
  ASSERT_TRUE(writer);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    writer->Append(frames[i].kind, frames[i].arrivalMs, frames[i].payload);
    // Several blocks, as over a real mission.
    if (i % 5 == 4) std::this_thread::sleep_for(15ms);
  }
  writer->Close();
  EXPECT_FALSE(writer->Failure());

  const std::vector<std::uint8_t> bytes = ReadFile(path);
  EXPECT_EQ(writer->BytesWritten(), bytes.size());
  ASSERT_GE(bytes.size(), kFileHeaderBytes + kBlockHeaderBytes);
  // Header: magic, version 1 little-endian, its size, Red, start time.
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), "VANTORRC");
  EXPECT_EQ(bytes[8], 1);
  EXPECT_EQ(bytes[9], 0);
  EXPECT_EQ(bytes[10], 32);
  EXPECT_EQ(bytes[12], 1);
  EXPECT_EQ(GetU64(&bytes[16]), static_cast<std::uint64_t>(mission.startMs));
  // First block: marker "VBLK", deflated.
  EXPECT_EQ(std::string(bytes.begin() + 32, bytes.begin() + 36), "VBLK");
  EXPECT_EQ(bytes[32 + 28], static_cast<std::uint8_t>(Codec::Zlib));

  OpenFailure openFailure;
  auto reader = RecordReader::Open(path, openFailure);
  ASSERT_TRUE(reader);
  EXPECT_GT(reader->Blocks().size(), 2u);
  EXPECT_FALSE(reader->Truncated());
  EXPECT_EQ(reader->Header().coalition, 1);
  EXPECT_EQ(reader->Header().startMs, mission.startMs);
  EXPECT_EQ(reader->DurationMs(), frames.back().arrivalMs);
  const std::vector<GeneratedFrame> read = AllFrames(*reader);
  ASSERT_EQ(read.size(), frames.size());
  EXPECT_TRUE(SameFrames(read, frames, frames.size()));
}

TEST(RecordFile, FileCutAtAnyByteReadsUpToItsLastCompleteBlock) {
  GeneratedMission mission;
  mission.seconds = 30;
  mission.aircraft = 10;
  const std::vector<GeneratedFrame> frames = GenerateMission(mission);
  const std::vector<std::uint8_t> whole = EncodeRecording(mission, frames);
  OpenFailure failure;
  const auto full = RecordReader::FromBytes(whole, failure);
  ASSERT_TRUE(full);
  // Where each block ends, and how many frames are complete by then.
  std::vector<std::pair<std::uint64_t, std::size_t>> ends;
  std::size_t framesSoFar = 0;
  for (const BlockEntry& entry : full->Blocks()) {
    framesSoFar += entry.header.frameCount;
    ends.emplace_back(entry.offset + kBlockHeaderBytes + entry.header.storedBytes, framesSoFar);
  }

  std::mt19937 random(19);
  std::vector<std::size_t> cuts{0, 7, kFileHeaderBytes - 1, kFileHeaderBytes, kFileHeaderBytes + 5, whole.size() - 1};
  for (int i = 0; i < 150; ++i) cuts.push_back(std::uniform_int_distribution<std::size_t>(0, whole.size())(random));
  for (const auto& [end, count] : ends) cuts.insert(cuts.end(), {end - 1, end, end + 1});
  for (const std::size_t anyCut : cuts) {
    const std::size_t cut = std::min(anyCut, whole.size());
    SCOPED_TRACE(cut);
    std::vector<std::uint8_t> prefix(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
    OpenFailure cutFailure;
    const auto reader = RecordReader::FromBytes(prefix, cutFailure);
    if (cut < kFileHeaderBytes) {
      EXPECT_FALSE(reader);
      EXPECT_EQ(cutFailure.kind, OpenFailure::Kind::NotARecording);
      continue;
    }
    ASSERT_TRUE(reader);
    std::size_t expected = 0;
    for (const auto& [end, count] : ends)
      if (end <= cut) expected = count;
    const std::vector<GeneratedFrame> read = AllFrames(*reader);
    EXPECT_EQ(read.size(), expected);
    EXPECT_TRUE(SameFrames(read, frames, expected));
    const bool atBoundary = cut == kFileHeaderBytes ||
                            std::any_of(ends.begin(), ends.end(), [cut](const auto& e) { return e.first == cut; });
    EXPECT_EQ(reader->Truncated(), !atBoundary);
  }
}

TEST(RecordFile, NewerFormatIsRefusedAndDamageStopsTheReadingThere) {
  GeneratedMission mission;
  mission.seconds = 10;
  mission.aircraft = 5;
  std::vector<std::uint8_t> bytes = EncodeRecording(mission, GenerateMission(mission));

  std::vector<std::uint8_t> newer = bytes;
  newer[8] = 2;
  OpenFailure failure;
  EXPECT_FALSE(RecordReader::FromBytes(newer, failure));
  EXPECT_EQ(failure.kind, OpenFailure::Kind::NewerVersion);
  EXPECT_EQ(failure.version, 2);

  std::vector<std::uint8_t> foreign = bytes;
  foreign[0] = 'X';
  EXPECT_FALSE(RecordReader::FromBytes(foreign, failure));
  EXPECT_EQ(failure.kind, OpenFailure::Kind::NotARecording);

  EXPECT_FALSE(RecordReader::Open("/nonexistent/mission.vrec", failure));
  EXPECT_EQ(failure.kind, OpenFailure::Kind::CannotRead);

  // One flipped bit in the third block's contents: the first two still read.
  const auto good = RecordReader::FromBytes(bytes, failure);
  ASSERT_TRUE(good);
  ASSERT_GE(good->Blocks().size(), 4u);
  const BlockEntry third = good->Blocks()[2];
  bytes[third.offset + kBlockHeaderBytes + 3] ^= 0x10;
  const auto damaged = RecordReader::FromBytes(bytes, failure);
  ASSERT_TRUE(damaged);
  DecodedBlock block;
  EXPECT_TRUE(damaged->ReadBlock(1, block));
  EXPECT_FALSE(damaged->ReadBlock(2, block));
  EXPECT_TRUE(damaged->ReadBlock(3, block));

  // A block header that claims an absurd size ends the index there.
  bytes[third.offset + 4 + 3] = 0x7f;
  const auto cut = RecordReader::FromBytes(bytes, failure);
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->Blocks().size(), 2u);
  EXPECT_TRUE(cut->Truncated());
}

TEST(RecordFile, FullDiskEndsTheRecordingWithAReadableFile) {
  // A device that is always full: the header cannot be written.
  WriteFailure failure;
  EXPECT_FALSE(RecordWriter::Create("/dev/full", {}, {}, failure));
  EXPECT_TRUE(failure.diskFull);
  EXPECT_FALSE(failure.reason.empty());
  EXPECT_FALSE(RecordWriter::Create("/nonexistent/folder/mission.vrec", {}, {}, failure));
  EXPECT_FALSE(failure.diskFull);

  // A file-size limit of 64 KiB reached in the middle of a mission, in a
  // child process so that the limit stays there.
  QTemporaryDir dir;
  const std::filesystem::path path = dir.filePath("limited.vrec").toStdString();
  GeneratedMission mission;
  mission.seconds = 400;
  mission.aircraft = 60;
  const std::vector<GeneratedFrame> frames = GenerateMission(mission);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    rlimit limit{64 * 1024, 64 * 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    WriterOptions options;
    options.flushInterval = 2ms;
    options.syncToDisk = false;
    std::atomic<int> failures{0};
    std::atomic<bool> full{false};
    options.onFailure = [&](const WriteFailure& f) {
      ++failures;
      full = f.diskFull;
    };
    WriteFailure createFailure;
    auto writer = RecordWriter::Create(path, {}, options, createFailure);
    if (!writer) _exit(10);
    for (std::size_t i = 0; i < frames.size(); ++i) {
      writer->Append(frames[i].kind, frames[i].arrivalMs, frames[i].payload);
      if (i % 30 == 0) std::this_thread::sleep_for(3ms);
    }
    writer->Close();
    // Exactly one report, as a full disk, and the size kept to whole blocks.
    if (failures != 1 || !full || !writer->Failure()) _exit(11);
    if (std::filesystem::file_size(path) != writer->BytesWritten()) _exit(12);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "the writer was killed by signal " << WTERMSIG(status);
  ASSERT_EQ(WEXITSTATUS(status), 0);
  OpenFailure openFailure;
  const auto reader = RecordReader::Open(path, openFailure);
  ASSERT_TRUE(reader);
  EXPECT_FALSE(reader->Truncated());
  EXPECT_LE(std::filesystem::file_size(path), 64u * 1024);
  const std::vector<GeneratedFrame> read = AllFrames(*reader);
  EXPECT_GT(read.size(), 10u);
  EXPECT_LT(read.size(), frames.size());
  EXPECT_TRUE(SameFrames(read, frames, read.size()));
}

}  // namespace
}  // namespace vantor::test
