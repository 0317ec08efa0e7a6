// What the Win32 kernel objects do that POSIX semaphores cannot show: a
// mutex abandoned by a stand-in that died holding it, objects that vanish
// with their last handle, objects found under their exact names (also when
// the library has to create the events), and names taken by objects of the
// wrong kind.
#include "VoiceFixture.h"

#include <vantor/voice/ParlixObjectNames.h>

#include <windows.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <thread>

namespace vantor::voice::test {
namespace {

constexpr const char* kMutexTimeout = "ERROR -1106 WHILE CONNECTIONG TO PARLIX";

// Owns one kernel handle.
class KernelHandle {
 public:
  explicit KernelHandle(HANDLE handle = nullptr) : handle_(handle) {}
  ~KernelHandle() {
    if (handle_ != nullptr) CloseHandle(handle_);
  }
  KernelHandle(const KernelHandle&) = delete;
  KernelHandle& operator=(const KernelHandle&) = delete;
  HANDLE Get() const { return handle_; }
  void Close() {
    if (handle_ != nullptr) CloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HANDLE handle_;
};

// A view of a named file mapping, kept open by the test.
class MappedArea {
 public:
  MappedArea(const std::string& name, std::size_t size, bool create) {
    mapping_ = create ? CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, static_cast<DWORD>(size),
                                           name.c_str())
                      : OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name.c_str());
    if (mapping_ != nullptr) view_ = static_cast<char*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, size));
    size_ = size;
  }
  ~MappedArea() { Close(); }
  MappedArea(const MappedArea&) = delete;
  MappedArea& operator=(const MappedArea&) = delete;

  bool Valid() const { return view_ != nullptr; }
  char* Data() { return view_; }
  std::string Bytes() const { return std::string(view_, size_); }
  void Close() {
    if (view_ != nullptr) UnmapViewOfFile(view_);
    if (mapping_ != nullptr) CloseHandle(mapping_);
    view_ = nullptr;
    mapping_ = nullptr;
  }

 private:
  HANDLE mapping_ = nullptr;
  char* view_ = nullptr;
  std::size_t size_ = 0;
};

using CrashedStandIn = VoiceTest;

// The stand-in is killed while it holds the mutex and a call is waiting for
// it: the wait ends abandoned at once, not after 3 s; the call reports -1106
// and writes nothing into the area; a new stand-in then serves normally.
TEST_F(CrashedStandIn, MutexAbandonedDuringACallGivesMinus1106AndWritesNothing) {
  StartSim({"--hold-mutex", "60000"});
  ASSERT_TRUE(sim_.WaitForOutput("holding the operation mutex"));
  const ParlixObjectNames names = ParlixObjectNames::ForPrefix(prefix_);
  // The test's own view keeps the area alive past the stand-in's end.
  MappedArea area(names.sharedMemory, 4096, false);
  ASSERT_TRUE(area.Valid());
  std::memcpy(area.Data(), "UNTOUCHED", 10);
  const std::string before = area.Bytes();

  std::atomic<int32_t> result{1};
  std::atomic<long long> elapsed{0};
  std::thread call([&] { elapsed = MillisecondsOf([&] { result = lib_.disconnect(); }); });
  std::this_thread::sleep_for(std::chrono::milliseconds(700));  // the call now waits for the mutex
  sim_.Kill();
  call.join();

  EXPECT_EQ(result.load(), -1106);
  EXPECT_EQ(lib_.LastError(), kMutexTimeout);
  EXPECT_GE(elapsed.load(), 600);
  EXPECT_LT(elapsed.load(), 2500) << "the wait ends with the owner's death, not at its time-out";
  EXPECT_EQ(area.Bytes(), before) << "nothing may be written without the mutex";
  area.Close();
  EXPECT_FALSE(ObjectsPresent(prefix_).Any()) << "the library closed every handle it had";

  ParlixSim restarted(prefix_);
  ASSERT_TRUE(restarted.Start()) << restarted.Output();
  long long next = 0;
  next = MillisecondsOf([&] { EXPECT_EQ(lib_.disconnect(), 0) << lib_.LastError(); });
  EXPECT_LT(next, 1500) << "the new stand-in's mutex is free";
  EXPECT_THAT(restarted.CommandsWithoutVersion(), ::testing::ElementsAre("DISCONNECT"));
}

// Kernel objects vanish with their last handle: a killed stand-in leaves
// nothing behind, so the next call finds no Parlix at once.
TEST_F(CrashedStandIn, KilledStandInTakesItsObjectsWithIt) {
  StartSim();
  ASSERT_EQ(lib_.disconnect(), 0);
  sim_.Kill();
  EXPECT_FALSE(ObjectsPresent(prefix_).Any());
  const long long elapsed = MillisecondsOf([&] { EXPECT_EQ(lib_.disconnect(), -1000); });
  EXPECT_LT(elapsed, 500);

  ParlixSim restarted(prefix_);
  ASSERT_TRUE(restarted.Start()) << restarted.Output();
  EXPECT_EQ(lib_.disconnect(), 0);
  EXPECT_EQ(restarted.Stop(), 0);
  EXPECT_FALSE(ObjectsPresent(prefix_).Any());
}

TEST(Win32ObjectNames, NamesAreUsedAsTheyStand) {
  const ParlixObjectNames real = ParlixObjectNames::ForPrefix("");
  EXPECT_EQ(real.operationMutex, "parlix_Operation_Start_Mutex");
  EXPECT_EQ(real.executeEvent, "parlix_Execute_Event");
  EXPECT_EQ(real.doneEvent, "parlix_Done_Event");
  EXPECT_EQ(real.sharedMemory, "parlix_File_Mapping");
  // A prefix cannot move the objects into another namespace ("Global\").
  EXPECT_EQ(ParlixObjectNames::ForPrefix("Global\\t/").operationMutex, "Global_t_parlix_Operation_Start_Mutex");
}

// A Parlix made by hand under the real names, which creates only what it
// must (mutex and area): the library creates the two events, auto-reset and
// not signalled, signals the execute event once, and reads the reply.
TEST(Win32ObjectNames, LibraryFindsTheRealNamesAndCreatesTheEvents) {
  const ScopedPrefix noPrefix("");
  PxRemoteLibrary lib;
  ASSERT_TRUE(lib.Loaded()) << lib.ErrorString();
  ASSERT_FALSE(ObjectsPresent("").Any()) << "a Parlix client runs on this machine: the real names are taken";

  MappedArea area("parlix_File_Mapping", 4096, true);
  ASSERT_TRUE(area.Valid());
  KernelHandle mutex(CreateMutexA(nullptr, FALSE, "parlix_Operation_Start_Mutex"));
  ASSERT_NE(mutex.Get(), nullptr);
  ASSERT_FALSE(ObjectsPresent("").executeEvent || ObjectsPresent("").doneEvent);

  std::atomic<int32_t> result{1};
  std::thread call([&] {
    PxrVersionInfo version{};
    result = lib.getVersion(&version);
  });
  // The events appear when the library asks for them.
  HANDLE found = nullptr;
  for (int i = 0; i < 200 && found == nullptr; ++i) {
    found = OpenEventA(SYNCHRONIZE | EVENT_MODIFY_STATE, FALSE, "parlix_Execute_Event");
    if (found == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  const KernelHandle execute(found);
  if (execute.Get() == nullptr) call.join();
  ASSERT_NE(execute.Get(), nullptr);
  const DWORD signalled = WaitForSingleObject(execute.Get(), 400);
  if (signalled != WAIT_OBJECT_0) call.join();
  ASSERT_EQ(signalled, WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(execute.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "auto-reset";
  EXPECT_STREQ(area.Data(), "GET_VERSION");
  std::memcpy(area.Data(), "OK\r2.0.32.60", 13);
  const KernelHandle done(OpenEventA(EVENT_MODIFY_STATE, FALSE, "parlix_Done_Event"));
  EXPECT_NE(done.Get(), nullptr);
  SetEvent(done.Get());
  call.join();
  EXPECT_EQ(result.load(), 0) << lib.LastError();
}

// Names taken by objects of the wrong kind, and an area that cannot be
// mapped for writing: each step fails with its own code and nothing stays
// open.
TEST(Win32BrokenParlix, EachUnusableObjectHasItsOwnError) {
  const std::string prefix = UniquePrefix();
  const ScopedPrefix scoped(prefix);
  PxRemoteLibrary lib;
  ASSERT_TRUE(lib.Loaded()) << lib.ErrorString();
  const ParlixObjectNames names = ParlixObjectNames::ForPrefix(prefix);
  KernelHandle mutex(CreateMutexA(nullptr, FALSE, names.operationMutex.c_str()));
  ASSERT_NE(mutex.Get(), nullptr);
  const std::pair<int, int> before = OpenResources();
  {
    const KernelHandle squatter(CreateMutexA(nullptr, FALSE, names.executeEvent.c_str()));
    EXPECT_EQ(lib.disconnect(), -1101);
    EXPECT_EQ(lib.LastError(), "ERROR -1101 WHILE CONNECTIONG TO PARLIX");
  }
  {
    const KernelHandle squatter(CreateMutexA(nullptr, FALSE, names.doneEvent.c_str()));
    EXPECT_EQ(lib.disconnect(), -1102);
    EXPECT_EQ(lib.LastError(), "ERROR -1102 WHILE CONNECTIONG TO PARLIX");
  }
  EXPECT_EQ(lib.disconnect(), -1103);
  EXPECT_EQ(lib.LastError(), "ERROR -1103 WHILE CONNECTIONG TO PARLIX");
  EXPECT_FALSE(ObjectsPresent(prefix).sharedMemory) << "the library never creates the area";
  {
    // An area over a file opened for reading only cannot be mapped for
    // writing.
    const TemporaryFolder folder;
    const std::filesystem::path file = folder.File("area.bin");
    ASSERT_TRUE(WriteFile(file, std::string(4096, '\0')));
    const KernelHandle reader(
        CreateFileW(file.wstring().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(reader.Get(), INVALID_HANDLE_VALUE);
    const KernelHandle readOnly(
        CreateFileMappingA(reader.Get(), nullptr, PAGE_READONLY, 0, 0, names.sharedMemory.c_str()));
    ASSERT_NE(readOnly.Get(), nullptr);
    EXPECT_EQ(lib.disconnect(), -1104);
    EXPECT_EQ(lib.LastError(), "ERROR -1104 WHILE CONNECTIONG TO PARLIX");
  }
  EXPECT_EQ(OpenResources(), before) << "every failed step closes what was opened before it";
}

}  // namespace
}  // namespace vantor::voice::test
