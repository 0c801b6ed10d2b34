// The built programs themselves, run as a user would run them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace {

using testing_support::Bytes;
using testing_support::ReadBytes;
using testing_support::RunBinary;
using testing_support::RunResult;
using testing_support::ScratchFolder;
using testing_support::WriteBytes;
using ::testing::HasSubstr;
using ::testing::StartsWith;

constexpr std::string_view kTableText = "00 01 04 09 10 19 24 31 C0 CF DC E7 F0 F7 FC FF ";

TEST(TovrelProgram, PrintsItsUsageWithoutArguments) {
  const ScratchFolder folder;
  const RunResult run = RunBinary(TOVREL_BINARY, {}, folder.path());
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_THAT(run.out, testing::EndsWith("Usage:\r\nTovrel [INPUTFILE (must be 8bit signed 11khz PCM wav)]\r\n"));
  EXPECT_TRUE(folder.Names().empty());
}

TEST(TovrelProgram, EncodesARelativePathIntoTheCurrentFolder) {
  const ScratchFolder folder;
  WriteBytes(folder / "in.wav", testing_support::PlainWave(Bytes(956, 0x80)));
  const RunResult run = RunBinary(TOVREL_BINARY, {"in.wav"}, folder.path());
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.out, std::string(kTableText) + "D800");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(ReadBytes(folder / "in.wav.dmp").size(), 511U);
}

// A file size limit makes the write fail partway, also for root.
TEST(TovrelProgram, AWriteThatFailsPartwayLeavesTheEarlierRecordUntouched) {
  const ScratchFolder folder;
  WriteBytes(folder / "in.wav", testing_support::PlainWave(testing_support::RandomBytes(20000, 3)));
  const Bytes earlier(100, 0x11);
  WriteBytes(folder / "in.wav.dmp", earlier);

  const RunResult run = RunBinary(TOVREL_BINARY, {"in.wav"}, folder.path(), 4096);

  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.out, kTableText);
  EXPECT_EQ(run.err, "Tovrel: in.wav.dmp: File too large\n");
  EXPECT_EQ(ReadBytes(folder / "in.wav.dmp"), earlier);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"in.wav", "in.wav.dmp"}));
}

}  // namespace
