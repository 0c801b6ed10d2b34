#include "tovrel/tovrel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "codec/delta_codec.h"
#include "codec/sound_record.h"
#include "codec/wave_file.h"
#include "tests/test_support.h"

namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using testing_support::Bytes;
using testing_support::ReadBytes;
using testing_support::RunResult;
using testing_support::ScratchFolder;
using testing_support::WriteBytes;

using testing_support::kTableText;
const Bytes kHeaderBeforeCount = {0x01, 0x00, 0x00, 0x00, 0x00, 0x40,
                                  0xA4, 0x00, 0x00, 0x00, 0x00, 0x00};

RunResult Tovrel(std::vector<std::string_view> arguments) {
  return testing_support::RunInProcess(tovrel::RunTovrel, std::move(arguments));
}

// An input of `length` bytes: a plain header (or as much of it as fits),
// then random samples.
Bytes InputOfLength(std::size_t length, std::uint32_t seed = 7) {
  Bytes file = codec::MakeWaveFile(testing_support::RandomBytes(
      length > codec::kWaveHeaderBytes ? length - codec::kWaveHeaderBytes : 0, seed));
  file.resize(length);
  return file;
}

TEST(Tovrel, WithoutArgumentsPrintsTheUsageAndTouchesNothing) {
  const ScratchFolder folder;
  const RunResult run = Tovrel({});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_THAT(run.out, StartsWith("Tovrel"));
  EXPECT_THAT(run.out,
              testing::EndsWith(
                  "\r\nUsage:\r\nTovrel [INPUTFILE (must be 8bit signed 11khz PCM wav)]\r\n"));
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 3);
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(folder.Names().empty());
}

struct LengthCase {
  std::size_t inputLength;
  std::size_t blocks;
  std::string_view countText;  // the console's two count bytes, low byte first

  friend void PrintTo(const LengthCase& c, std::ostream* os) { *os << c.inputLength << " bytes"; }
};

class TovrelInputLength : public testing::TestWithParam<LengthCase> {};

TEST_P(TovrelInputLength, WritesHeaderBlocksAndCount) {
  const LengthCase& c = GetParam();
  const ScratchFolder folder;
  const std::string input = folder / "in.wav";
  const Bytes file = InputOfLength(c.inputLength);
  WriteBytes(input, file);

  const RunResult run = Tovrel({input});

  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(run.out, std::string(kTableText) + std::string(c.countText));
  const Bytes record = ReadBytes(input + ".dmp");
  ASSERT_EQ(record.size(),
            codec::kSoundRecordHeaderBytes + codec::kCompressedBlockBytes * c.blocks);
  EXPECT_TRUE(std::equal(kHeaderBeforeCount.begin(), kHeaderBeforeCount.end(), record.begin()));
  std::array<char, 5> countInRecord{};
  ASSERT_EQ(
      std::snprintf(countInRecord.data(), countInRecord.size(), "%02X%02X", record[12], record[13]),
      4);
  EXPECT_EQ(countInRecord.data(), c.countText);
  EXPECT_EQ(record[14], 0);
  EXPECT_EQ(record[15], 0);
  // Every block decodes to what the block encoder makes of those samples.
  for (std::size_t block = 0; block < c.blocks; ++block) {
    codec::SampleBlock samples;
    samples.fill(0x80);
    const std::size_t start = codec::kWaveHeaderBytes + block * codec::kSamplesPerBlock;
    std::copy(file.begin() + static_cast<std::ptrdiff_t>(start),
              file.begin() + static_cast<std::ptrdiff_t>(std::min(start + 64, file.size())),
              samples.begin());
    codec::ToSigned(samples);
    const codec::CompressedBlock expected = codec::EncodeBlock(samples);
    ASSERT_TRUE(std::equal(expected.begin(), expected.end(),
                           record.begin() + static_cast<std::ptrdiff_t>(codec::BlockOffset(block))))
        << "block " << block;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, TovrelInputLength,
    testing::Values(LengthCase{0, 0, "0000"},          // empty: nothing to encode, nothing to play
                    LengthCase{43, 0, "0000"},         // shorter than a header
                    LengthCase{44, 0, "0000"},         // header only
                    LengthCase{45, 1, "0000"},         // one sample: a padded block
                    LengthCase{108, 1, "0000"},        // exactly one block
                    LengthCase{783, 12, "0000"},       // one byte short of playing anything
                    LengthCase{784, 12, "0000"},       // plays nothing: all 740 are trimmed
                    LengthCase{785, 12, "0100"},       // the first sample that plays
                    LengthCase{1000, 15, "D800"},      // 956 samples, 216 played
                    LengthCase{66319, 1036, "FFFF"}),  // the longest record
    [](const auto& info) { return "Length" + std::to_string(info.param.inputLength); });

TEST(Tovrel, SilenceEncodesToZeroBlocks) {
  const ScratchFolder folder;
  const std::string input = folder / "silence.wav";
  WriteBytes(input, codec::MakeWaveFile(Bytes(768, 0x80)));
  const RunResult run = Tovrel({input});
  EXPECT_EQ(run.out, std::string(kTableText) + "1C00");
  const Bytes record = ReadBytes(input + ".dmp");
  ASSERT_EQ(record.size(), 412U);
  EXPECT_TRUE(
      std::all_of(record.begin() + 16, record.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST(Tovrel, PadsTheLastBlockWithSilence) {
  const ScratchFolder folder;
  const std::string input = folder / "one.wav";
  WriteBytes(input, codec::MakeWaveFile(Bytes{0x90}));
  ASSERT_EQ(Tovrel({input}).exitStatus, 0);
  // +16 raw, then one step of -16 back to silence, then nothing moves.
  Bytes expected(16 + 33, 0);
  std::copy(kHeaderBeforeCount.begin(), kHeaderBeforeCount.end(), expected.begin());
  expected[16] = 0x10;
  expected[17] = 0x0C;
  EXPECT_EQ(ReadBytes(input + ".dmp"), expected);
}

TEST(Tovrel, ReplacesAnEarlierRecord) {
  const ScratchFolder folder;
  const std::string input = folder / "in.wav";
  WriteBytes(input, InputOfLength(1000));
  WriteBytes(input + ".dmp", Bytes(5000, 0xEE));
  ASSERT_EQ(Tovrel({input}).exitStatus, 0);
  EXPECT_EQ(ReadBytes(input + ".dmp").size(), 511U);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"in.wav", "in.wav.dmp"}));
}

TEST(Tovrel, KeepsTheOwnersPermissionsOnAReplacedRecord) {
  const ScratchFolder folder;
  const std::string input = folder / "in.wav";
  WriteBytes(input, InputOfLength(1000));
  WriteBytes(input + ".dmp", Bytes(10, 0xEE));
  namespace fs = std::filesystem;
  fs::permissions(input + ".dmp", fs::perms::owner_read | fs::perms::owner_write);

  ASSERT_EQ(Tovrel({input}).exitStatus, 0);

  EXPECT_EQ(ReadBytes(input + ".dmp").size(), 511U);
  EXPECT_EQ(fs::status(input + ".dmp").permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
}

TEST(Tovrel, LeavesARecordItsOwnerMadeReadOnly) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "permission bits stop nothing for root";
  }
  const ScratchFolder folder;
  const std::string input = folder / "in.wav";
  WriteBytes(input, InputOfLength(1000));
  const Bytes earlier(10, 0xEE);
  WriteBytes(input + ".dmp", earlier);
  std::filesystem::permissions(input + ".dmp", std::filesystem::perms::owner_read);

  const RunResult run = Tovrel({input});

  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.err, "Tovrel: " + input + ".dmp: Permission denied\n");
  EXPECT_EQ(ReadBytes(input + ".dmp"), earlier);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"in.wav", "in.wav.dmp"}));
}

TEST(Tovrel, RefusesAnInputLongerThanARecordTakes) {
  const ScratchFolder folder;
  const std::string input = folder / "long.wav";
  WriteBytes(input, InputOfLength(66320));
  const Bytes earlier(77, 0x5A);
  WriteBytes(input + ".dmp", earlier);

  const RunResult run = Tovrel({input});

  EXPECT_NE(run.exitStatus, 0);
  EXPECT_EQ(run.out, kTableText);
  EXPECT_THAT(run.err, StartsWith("Tovrel: " + input + ": "));
  EXPECT_THAT(run.err, HasSubstr("66,276 samples"));
  EXPECT_THAT(run.err, HasSubstr("at most 66,275"));
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
  EXPECT_EQ(ReadBytes(input + ".dmp"), earlier);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"long.wav", "long.wav.dmp"}));
}

TEST(Tovrel, FailsCleanlyWhenTheInputCannotBeRead) {
  const ScratchFolder folder;
  std::filesystem::create_directory(folder / "folder.wav");
  struct Case {
    std::string input;
    std::string reason;
  };
  const Case cases[] = {
      {folder / "missing.wav", "No such file or directory"},
      {folder / "folder.wav", "Is a directory"},
  };
  for (const Case& c : cases) {
    const RunResult run = Tovrel({c.input});
    EXPECT_EQ(run.exitStatus, 1) << c.input;
    EXPECT_EQ(run.out, kTableText);
    EXPECT_EQ(run.err, "Tovrel: " + c.input + ": " + c.reason + "\n");
  }
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"folder.wav"});
}

TEST(Tovrel, FailsCleanlyWhenTheRecordCannotBeCreated) {
  // /proc refuses new files even to root.
  const RunResult procRun = Tovrel({"/proc/version"});
  EXPECT_EQ(procRun.exitStatus, 1);
  EXPECT_EQ(procRun.out, kTableText);
  // (The warning that /proc/version is no wave file comes first.)
  EXPECT_THAT(procRun.err, HasSubstr("\nTovrel: /proc/version.dmp: "));

  // A folder standing where the record would go.
  const ScratchFolder folder;
  const std::string input = folder / "in.wav";
  WriteBytes(input, InputOfLength(500));
  std::filesystem::create_directory(input + ".dmp");
  const RunResult run = Tovrel({input});
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.out, kTableText);
  EXPECT_EQ(run.err, "Tovrel: " + input + ".dmp: Is a directory\n");
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"in.wav", "in.wav.dmp"}));
  EXPECT_TRUE(std::filesystem::is_empty(input + ".dmp"));
}

TEST(Tovrel, UsesOnlyTheFirstArgument) {
  const ScratchFolder folder;
  const std::string input = folder / "in.wav";
  WriteBytes(input, InputOfLength(200));
  const RunResult run = Tovrel({input, folder / "ignored.wav"});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"in.wav", "in.wav.dmp"}));
}

struct HeaderCase {
  std::string name;
  Bytes file;
  std::string description;  // empty: no warning
};

Bytes WaveWithFormat(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                     std::uint16_t bits) {
  Bytes file = codec::MakeWaveFile(Bytes(100, 0x80));
  const auto put16 = [&](std::size_t at, std::uint16_t v) {
    file[at] = static_cast<std::uint8_t>(v);
    file[at + 1] = static_cast<std::uint8_t>(v >> 8);
  };
  put16(20, tag);
  put16(22, channels);
  put16(24, static_cast<std::uint16_t>(rate));
  put16(26, static_cast<std::uint16_t>(rate >> 16));
  put16(34, bits);
  return file;
}

// A LIST chunk of 30 bytes between "fmt " and "data" moves the samples to 82.
Bytes WaveWithListChunk() {
  Bytes file = codec::MakeWaveFile(Bytes(100, 0x80));
  Bytes list = {'L', 'I', 'S', 'T', 30, 0, 0, 0};
  list.resize(38, 'x');
  file.insert(file.begin() + 36, list.begin(), list.end());
  return file;
}

TEST(Tovrel, WarnsWhenTheInputIsNotPlainEightBitMonoPcm) {
  const std::vector<HeaderCase> cases = {
      {"plain", codec::MakeWaveFile(Bytes(100, 0x80)), ""},
      {"rate at the edge", WaveWithFormat(1, 1, 11000, 8), ""},
      {"stereo 16-bit", WaveWithFormat(1, 2, 44100, 16), "16-bit stereo PCM at 44,100 Hz"},
      {"other rate", WaveWithFormat(1, 1, 22050, 8), "8-bit mono PCM at 22,050 Hz"},
      {"float", WaveWithFormat(3, 1, 11050, 32), "32-bit mono IEEE float at 11,050 Hz"},
      {"list chunk", WaveWithListChunk(),
       "8-bit mono PCM at 11,050 Hz, with its samples at byte 82, not 44"},
      {"text", Bytes(200, 'a'), "not a wave file"},
  };
  for (const HeaderCase& c : cases) {
    const ScratchFolder folder;
    const std::string input = folder / "in.wav";
    WriteBytes(input, c.file);
    const RunResult run = Tovrel({input});
    EXPECT_EQ(run.exitStatus, 0) << c.name;
    const codec::SoundRecordHeader header =
        codec::MakeSoundRecordHeader(tovrel::SampleCountForInputLength(c.file.size()));
    EXPECT_TRUE(std::equal(header.begin(), header.end(), ReadBytes(input + ".dmp").begin()))
        << c.name;
    if (c.description.empty()) {
      EXPECT_EQ(run.err, "") << c.name;
    } else {
      EXPECT_THAT(run.err, StartsWith("Tovrel: " + input + ": warning: " + c.description + "; "))
          << c.name;
      EXPECT_THAT(run.err, HasSubstr("11,050 Hz")) << c.name;
      EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << c.name;
    }
  }
}

TEST(TovrelOptions, HelpVersionAndUnknownOptions) {
  const ScratchFolder folder;
  const std::string input = folder / "in.wav";
  WriteBytes(input, InputOfLength(1000));

  const RunResult help = Tovrel({"--help"});
  EXPECT_EQ(help.exitStatus, 0);
  EXPECT_THAT(help.out,
              HasSubstr("Usage:\r\nTovrel [INPUTFILE (must be 8bit signed 11khz PCM wav)]\r\n"));
  EXPECT_THAT(help.out, HasSubstr("--optimal"));
  EXPECT_THAT(help.out, EndsWith("\r\n"));

  const RunResult version = Tovrel({"--version", input});
  EXPECT_EQ(version.exitStatus, 0);
  EXPECT_THAT(version.out, testing::MatchesRegex("Tovrel [0-9]+\\.[0-9]+\\.[0-9]+\r\n"));

  for (const std::string_view unknown : {"--bogus", "--Optimal", "--optimal=1"}) {
    const RunResult run = Tovrel({unknown, input});
    EXPECT_EQ(run.exitStatus, 2) << unknown;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Tovrel: " + std::string(unknown) +
                           ": unknown option (Tovrel --help lists the options)\n");
  }
  // Options come first: after INPUTFILE everything is ignored.
  EXPECT_EQ(Tovrel({input, "--bogus"}).exitStatus, 0);
  ASSERT_TRUE(std::filesystem::remove(input + ".dmp"));

  const RunResult onlyOption = Tovrel({"--optimal"});
  EXPECT_EQ(onlyOption.exitStatus, 0);
  EXPECT_THAT(onlyOption.out,
              EndsWith("Usage:\r\nTovrel [INPUTFILE (must be 8bit signed 11khz PCM wav)]\r\n"));

  EXPECT_EQ(Tovrel({"--", input}).exitStatus, 0);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"in.wav", "in.wav.dmp"}));
}

// A loud square wave, where the nearest step wraps around and clicks.
Bytes LoudSquareWave(std::size_t count) {
  Bytes samples(count);
  for (std::size_t i = 0; i < count; ++i) {
    samples[i] = (i / 25) % 2 == 0 ? 0xE6 : 0x1A;
  }
  return samples;
}

TEST(TovrelOptions, OptimalWritesTheSameRecordLayoutWithBetterBlocks) {
  const ScratchFolder folder;
  const std::string input = folder / "square.wav";
  const Bytes samples = LoudSquareWave(1000 - 44);
  WriteBytes(input, codec::MakeWaveFile(samples));

  const RunResult nearest = Tovrel({input});
  const Bytes nearestRecord = ReadBytes(input + ".dmp");
  const RunResult optimal = Tovrel({"--optimal", input});
  const Bytes optimalRecord = ReadBytes(input + ".dmp");

  EXPECT_EQ(optimal.exitStatus, 0);
  EXPECT_EQ(optimal.out, nearest.out);
  EXPECT_EQ(optimal.err, "");
  ASSERT_EQ(optimalRecord.size(), nearestRecord.size());
  EXPECT_TRUE(std::equal(optimalRecord.begin(), optimalRecord.begin() + 16, nearestRecord.begin()));
  EXPECT_NE(optimalRecord, nearestRecord);
  const auto totalError = [&](const Bytes& record) {
    Bytes all = record;
    all[12] =
        static_cast<std::uint8_t>(samples.size());  // decode every sample, not just those played
    all[13] = static_cast<std::uint8_t>(samples.size() >> 8);
    const Bytes decoded = codec::DecodeSoundRecord(all);
    long long error = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
      const long long difference = decoded[i] - samples[i];
      error += difference * difference;
    }
    return error;
  };
  EXPECT_LT(totalError(optimalRecord), totalError(nearestRecord));
}

TEST(Tovrel, ShowsALineBreakInAPathEscaped) {
  const ScratchFolder folder;
  const std::string input = folder / "two\nlines.wav";
  const RunResult run = Tovrel({input});
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.err, "Tovrel: " + (folder / "two") + "\\nlines.wav: No such file or directory\n");
}

}  // namespace
