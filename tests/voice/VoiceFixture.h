#pragma once
// The fixture of every voice test: its own object-name prefix, a stand-in
// that is started on demand, and the library loaded afresh.
//
// Record fields are packed and often misaligned: tests compare them as
// values (`+record.field`), since the assertion macros bind references.

#include "VoiceTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vantor::voice::test {

class VoiceTest : public ::testing::Test {
 protected:
  VoiceTest() : prefix_(UniquePrefix()), scopedPrefix_(prefix_), sim_(prefix_) {}

  void SetUp() override {
    ASSERT_TRUE(lib_.Loaded()) << lib_.ErrorString();
    ASSERT_TRUE(lib_.Missing().empty()) << lib_.Missing();
  }

  void StartSim(const std::vector<std::string>& extra = {}) { ASSERT_TRUE(sim_.Start(extra)) << sim_.Output(); }

  std::string prefix_;
  ScopedPrefix scopedPrefix_;
  ParlixSim sim_;
  PxRemoteLibrary lib_;  // last: unloaded before the stand-in stops
};

}  // namespace vantor::voice::test
