// The built programs themselves, run as a user would run them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "codec/wave_file.h"
#include "tests/test_support.h"

namespace {

using testing_support::Bytes;
using testing_support::ReadBytes;
using testing_support::RunBinary;
using testing_support::RunResult;
using testing_support::ScratchFolder;
using testing_support::WriteBytes;

using testing_support::kTableText;

TEST(TovrelProgram, PrintsItsUsageWithoutArguments) {
  const ScratchFolder folder;
  const RunResult run = RunBinary(TOVREL_BINARY, {}, folder.path());
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_THAT(run.out, testing::EndsWith(
                           "Usage:\r\nTovrel [INPUTFILE (must be 8bit signed 11khz PCM wav)]\r\n"));
  EXPECT_TRUE(folder.Names().empty());
}

TEST(TovrelProgram, EncodesARelativePathIntoTheCurrentFolder) {
  const ScratchFolder folder;
  WriteBytes(folder / "in.wav", codec::MakeWaveFile(Bytes(956, 0x80)));
  const RunResult run = RunBinary(TOVREL_BINARY, {"in.wav"}, folder.path());
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.out, std::string(kTableText) + "D800");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(ReadBytes(folder / "in.wav.dmp").size(), 511U);
}

TEST(TovrelProgram, TakesAnInputNamedLikeAnOptionAfterTheEndOfOptions) {
  const ScratchFolder folder;
  WriteBytes(folder / "--odd.wav", codec::MakeWaveFile(Bytes(100, 0x80)));
  const RunResult run = RunBinary(TOVREL_BINARY, {"--optimal", "--", "--odd.wav"}, folder.path());
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"--odd.wav", "--odd.wav.dmp"}));
}

// A file size limit makes the write fail partway, also for root.
TEST(TovrelProgram, AWriteThatFailsPartwayLeavesTheEarlierRecordUntouched) {
  const ScratchFolder folder;
  WriteBytes(folder / "in.wav", codec::MakeWaveFile(testing_support::RandomBytes(20000, 3)));
  const Bytes earlier(100, 0x11);
  WriteBytes(folder / "in.wav.dmp", earlier);

  const RunResult run =
      RunBinary(TOVREL_BINARY, {"in.wav"}, folder.path(), testing_support::WithFileSizeLimit(4096));

  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.out, kTableText);
  EXPECT_EQ(run.err, "Tovrel: in.wav.dmp: File too large\n");
  EXPECT_EQ(ReadBytes(folder / "in.wav.dmp"), earlier);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"in.wav", "in.wav.dmp"}));
}

TEST(QuenlowProgram, PrintsItsUsageWithOneArgument) {
  const ScratchFolder folder;
  const RunResult run = RunBinary(QUENLOW_BINARY, {"rom.bin"}, folder.path());
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_THAT(run.out, testing::EndsWith("Usage:\r\nQuenlow [ADDRESS (HEX)] [INPUTROM]\r\n"));
  EXPECT_TRUE(folder.Names().empty());
}

TEST(QuenlowProgram, DumpsTheLargestRecordAndLeavesNothingHalfWritten) {
  const ScratchFolder folder;
  // Encode the longest input, then dump the record from inside a ROM image.
  WriteBytes(folder / "in.wav", codec::MakeWaveFile(testing_support::RandomBytes(66275, 5)));
  ASSERT_EQ(RunBinary(TOVREL_BINARY, {"in.wav"}, folder.path()).out,
            std::string(kTableText) + "FFFF");
  Bytes rom(0x2000, 0xA5);
  const Bytes record = ReadBytes(folder / "in.wav.dmp");
  rom.insert(rom.end(), record.begin(), record.end());
  WriteBytes(folder / "rom.bin", rom);

  const RunResult run = RunBinary(QUENLOW_BINARY, {"0x2000", "rom.bin"}, folder.path());
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_THAT(run.out, testing::EndsWith("------ SUCCESS!"));
  EXPECT_EQ(ReadBytes(folder / "rom.bin0x2000.wav").size(), 44U + 65535U);

  // The same dump with too little room for the wave file fails cleanly.
  const Bytes earlier(50, 0x22);
  WriteBytes(folder / "rom.bin2000.wav", earlier);
  const RunResult failed = RunBinary(QUENLOW_BINARY, {"2000", "rom.bin"}, folder.path(),
                                     testing_support::WithFileSizeLimit(40000));
  EXPECT_EQ(failed.exitStatus, 1);
  EXPECT_EQ(failed.out, "");
  EXPECT_EQ(failed.err, "Quenlow: rom.bin2000.wav: File too large\n");
  EXPECT_EQ(ReadBytes(folder / "rom.bin2000.wav"), earlier);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"in.wav", "in.wav.dmp", "rom.bin",
                                                      "rom.bin0x2000.wav", "rom.bin2000.wav"}));
}

}  // namespace
