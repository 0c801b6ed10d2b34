#include "quenlow/quenlow.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "codec/delta_codec.h"
#include "codec/optimal_encoder.h"
#include "codec/sound_record.h"
#include "codec/wave_file.h"
#include "tests/test_support.h"
#include "tovrel/tovrel.h"

namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using testing_support::Bytes;
using testing_support::ReadBytes;
using testing_support::RunResult;
using testing_support::ScratchFolder;
using testing_support::WriteBytes;

RunResult Quenlow(std::vector<std::string_view> arguments) {
  return testing_support::RunInProcess(quenlow::RunQuenlow, std::move(arguments));
}

constexpr std::string_view kUsageEnd = "\r\nUsage:\r\nQuenlow [ADDRESS (HEX)] [INPUTROM]\r\n";

// A made-up ROM image: random bytes with a record at `offset` whose header
// words other than SampleCount are random too.
Bytes RomWithRecord(std::size_t offset, std::uint16_t sampleCount, std::size_t blocks,
                    std::size_t trailing = 300) {
  Bytes rom =
      testing_support::RandomBytes(offset + codec::BlockOffset(blocks) + trailing, sampleCount);
  rom[offset + 12] = static_cast<std::uint8_t>(sampleCount);
  rom[offset + 13] = static_cast<std::uint8_t>(sampleCount >> 8);
  return rom;
}

// The samples a record's blocks decode to, block by block, unsigned.
Bytes DecodedSamples(const Bytes& rom, std::size_t offset, std::size_t count) {
  Bytes samples;
  for (std::size_t block = 0; samples.size() < count; ++block) {
    codec::CompressedBlock bytes;
    std::copy_n(rom.begin() + static_cast<std::ptrdiff_t>(offset + codec::BlockOffset(block)),
                bytes.size(), bytes.begin());
    codec::SampleBlock decoded = codec::DecodeBlock(bytes);
    codec::ToSigned(decoded);
    samples.insert(samples.end(), decoded.begin(),
                   decoded.begin() + static_cast<std::ptrdiff_t>(
                                         std::min<std::size_t>(64, count - samples.size())));
  }
  return samples;
}

TEST(Quenlow, WithFewerThanTwoArgumentsPrintsTheUsageAndTouchesNothing) {
  const ScratchFolder folder;
  const std::string rom = folder / "rom.bin";
  for (const auto& arguments :
       {std::vector<std::string_view>{}, std::vector<std::string_view>{rom}}) {
    const RunResult run = Quenlow(arguments);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_THAT(run.out, StartsWith("Quenlow"));
    EXPECT_THAT(run.out, EndsWith(kUsageEnd));
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 3);
    EXPECT_EQ(run.err, "");
  }
  EXPECT_TRUE(folder.Names().empty());
}

TEST(Quenlow, DecodesTheRecordAtAnOffsetInsideALargerFile) {
  struct Case {
    std::uint16_t sampleCount;
    std::size_t blocks;
  };
  for (const Case c : {Case{0, 1}, Case{64, 1}, Case{65, 2}, Case{100, 2}, Case{1000, 16}}) {
    const ScratchFolder folder;
    const std::string rom = folder / "rom.bin";
    const Bytes image = RomWithRecord(0x1234, c.sampleCount, c.blocks);
    WriteBytes(rom, image);

    const RunResult run = Quenlow({"1234", rom});

    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_THAT(run.out, EndsWith("------ SUCCESS!"));
    EXPECT_THAT(run.out, HasSubstr(rom + "1234.wav"));
    const Bytes wave = ReadBytes(rom + "1234.wav");
    ASSERT_EQ(wave.size(), 44 + std::size_t{c.sampleCount});
    const codec::WaveHeader header = codec::MakeWaveHeader(c.sampleCount);
    EXPECT_TRUE(std::equal(header.begin(), header.end(), wave.begin()));
    EXPECT_EQ(Bytes(wave.begin() + 44, wave.end()), DecodedSamples(image, 0x1234, c.sampleCount))
        << c.sampleCount << " samples";
  }
}

TEST(Quenlow, ReadsAddressLikePercentXAndNamesTheOutputAfterItsText) {
  const ScratchFolder folder;
  const std::string rom = folder / "rom.bin";
  const Bytes image = RomWithRecord(0x3A1F00, 500, 8);
  WriteBytes(rom, image);
  const Bytes expected = DecodedSamples(image, 0x3A1F00, 500);
  for (const std::string_view address :
       {"3a1f00", "3A1F00", "0x3A1F00", " 3A1F00", "+3A1F00", "3A1F00zz"}) {
    const RunResult run = Quenlow({address, rom});
    EXPECT_EQ(run.exitStatus, 0) << address << ": " << run.err;
    const Bytes wave = ReadBytes(rom + std::string(address) + ".wav");
    EXPECT_EQ(Bytes(wave.begin() + 44, wave.end()), expected) << address;
  }
  EXPECT_EQ(folder.Names().size(), 7U);
}

TEST(Quenlow, RefusesAnAddressThatCannotBeAnOffset) {
  const ScratchFolder folder;
  const std::string rom = folder / "rom.bin";
  WriteBytes(rom, RomWithRecord(0, 10, 1));
  struct Case {
    std::string_view address;
    std::string_view says;
  };
  const Case cases[] = {
      {"zz", "no hexadecimal digit"},
      {"", "no hexadecimal digit"},
      {"10/../x", "'/'"},
      {"..\\10", "'/' or '\\'"},
      {"-10", "negative offset -0x10 (0xFFFFFFF0)"},
      {"80000000", "negative offset -0x80000000 (0x80000000)"},
  };
  for (const Case& c : cases) {
    const RunResult run = Quenlow({c.address, rom});
    EXPECT_EQ(run.exitStatus, 2) << c.address;
    EXPECT_EQ(run.out, "");
    EXPECT_THAT(run.err, StartsWith("Quenlow: ADDRESS \"" + std::string(c.address) + "\": "))
        << c.address;
    EXPECT_THAT(run.err, HasSubstr(c.says)) << c.address;
  }
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"rom.bin"});
}

TEST(Quenlow, RefusesARecordWhoseCountLiesPastTheEndOfTheFile) {
  const ScratchFolder folder;
  const std::string rom = folder / "rom.bin";
  WriteBytes(rom, Bytes(1000, 0));
  // Offset 0x3DA leaves exactly the two count bytes: that still reads.
  EXPECT_EQ(Quenlow({"3DA", rom}).exitStatus, 0);
  for (const std::string_view address : {"3DB", "3E8", "100000"}) {
    const RunResult run = Quenlow({address, rom});
    EXPECT_EQ(run.exitStatus, 1) << address;
    EXPECT_EQ(run.out, "");
    EXPECT_THAT(run.err, StartsWith("Quenlow: " + rom + ": no record at offset 0x"));
    EXPECT_THAT(run.err, HasSubstr("1,000 bytes"));
  }
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"rom.bin", "rom.bin3DA.wav"}));
}

TEST(Quenlow, WarnsWhenTheFileEndsBeforeTheBlocksTheCountAsksFor) {
  const ScratchFolder folder;
  const std::string rom = folder / "rom.bin";
  Bytes image = RomWithRecord(0x40, 100, 2, 0);
  image.resize(0x40 + codec::BlockOffset(1) + 5);
  WriteBytes(rom, image);

  const RunResult run = Quenlow({"40", rom});

  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_THAT(run.out, EndsWith("------ SUCCESS!"));
  EXPECT_THAT(run.err, StartsWith("Quenlow: " + rom + ": warning: "));
  EXPECT_THAT(run.err, HasSubstr(" 28 of its 100 samples"));
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
  Bytes padded = image;
  padded.resize(0x40 + codec::BlockOffset(2), 0);
  const Bytes wave = ReadBytes(rom + "40.wav");
  EXPECT_EQ(Bytes(wave.begin() + 44, wave.end()), DecodedSamples(padded, 0x40, 100));
}

TEST(Quenlow, FailsCleanlyAndKeepsAnEarlierOutput) {
  const ScratchFolder folder;
  const std::string rom = folder / "rom.bin";
  WriteBytes(rom, RomWithRecord(0, 100, 2));
  std::filesystem::create_directory(folder / "folder.rom");
  std::filesystem::create_directory(rom + "1.wav");
  const Bytes earlier(10, 0x33);
  WriteBytes(folder / "missing.rom0.wav", earlier);
  struct Case {
    std::string address;
    std::string input;
    std::string message;
  };
  const Case cases[] = {
      {"0", folder / "missing.rom",
       "Quenlow: " + (folder / "missing.rom") + ": No such file or directory\n"},
      {"0", folder / "folder.rom", "Quenlow: " + (folder / "folder.rom") + ": Is a directory\n"},
      {"1", rom, "Quenlow: " + rom + "1.wav: Is a directory\n"},
  };
  for (const Case& c : cases) {
    const RunResult run = Quenlow({c.address, c.input});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, c.message);
  }
  EXPECT_EQ(ReadBytes(folder / "missing.rom0.wav"), earlier);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"folder.rom", "missing.rom0.wav", "rom.bin",
                                                      "rom.bin1.wav"}));
}

TEST(Quenlow, ASecondRunReplacesTheFirstOutputWithAnIdenticalOne) {
  const ScratchFolder folder;
  const std::string rom = folder / "rom.bin";
  WriteBytes(rom, RomWithRecord(16, 300, 5));
  ASSERT_EQ(Quenlow({"10", rom}).exitStatus, 0);
  const Bytes first = ReadBytes(rom + "10.wav");
  ASSERT_EQ(Quenlow({"10", rom}).exitStatus, 0);
  EXPECT_EQ(ReadBytes(rom + "10.wav"), first);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"rom.bin", "rom.bin10.wav"}));
}

// Tovrel, then Quenlow at offset 0 of the .dmp: the wave holds the values
// the encoder reconstructed, for the first SampleCount samples.
TEST(RoundTrip, GivesTheEncodersReconstruction) {
  const ScratchFolder folder;
  const std::string input = folder / "in.wav";
  const Bytes samples = testing_support::RandomBytes(3000, 11);
  WriteBytes(input, codec::MakeWaveFile(samples));
  ASSERT_EQ(testing_support::RunInProcess(tovrel::RunTovrel, {input}).exitStatus, 0);

  const RunResult run = Quenlow({"0", input + ".dmp"});

  ASSERT_EQ(run.exitStatus, 0) << run.err;
  const std::size_t played = samples.size() + 44 - 784;
  Bytes reconstructed;
  std::uint8_t running = 0;
  for (std::size_t i = 0; i < played; ++i) {
    if (i % 64 == 0) {
      running = codec::ToSigned(samples[i]);
    } else {
      codec::QuantizeDelta(running, codec::ToSigned(samples[i]));
    }
    reconstructed.push_back(codec::ToSigned(running));
  }
  EXPECT_EQ(ReadBytes(input + ".dmp0.wav"), codec::MakeWaveFile(reconstructed));
}

TEST(QuenlowOptions, HelpVersionUnknownOptionsAndNegativeAddresses) {
  const ScratchFolder folder;
  const std::string rom = folder / "rom.bin";
  WriteBytes(rom, RomWithRecord(0, 10, 1));

  const RunResult help = Quenlow({"--help"});
  EXPECT_EQ(help.exitStatus, 0);
  EXPECT_THAT(help.out, HasSubstr(kUsageEnd));
  EXPECT_THAT(help.out, HasSubstr("--version"));

  const RunResult version = Quenlow({"--version"});
  EXPECT_EQ(version.exitStatus, 0);
  EXPECT_THAT(version.out, testing::MatchesRegex("Quenlow [0-9]+\\.[0-9]+\\.[0-9]+\r\n"));

  struct Case {
    std::vector<std::string_view> arguments;
    std::string err;
  };
  const Case cases[] = {
      {{"--bogus", "0", rom},
       "Quenlow: --bogus: unknown option (Quenlow --help lists the options)\n"},
      {{"--10", rom}, "Quenlow: --10: unknown option (Quenlow --help lists the options)\n"},
      {{"-10", rom},
       "Quenlow: ADDRESS \"-10\": gives the negative offset -0x10 (0xFFFFFFF0); a record offset is "
       "0 to 0x7FFFFFFF\n"},
      {{"--", "-10", rom},
       "Quenlow: ADDRESS \"-10\": gives the negative offset -0x10 (0xFFFFFFF0); a record offset is "
       "0 to 0x7FFFFFFF\n"},
  };
  for (const Case& c : cases) {
    const RunResult run = Quenlow(c.arguments);
    EXPECT_EQ(run.exitStatus, 2) << c.arguments.front();
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, c.err);
  }
  EXPECT_EQ(Quenlow({"--", "0", rom}).exitStatus, 0);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"rom.bin", "rom.bin0.wav"}));
}

// Tovrel --optimal, then Quenlow: the wave holds what the optimal encoder
// reconstructed, block by block.
TEST(RoundTrip, OptimalRecordsDecodeToTheOptimalReconstruction) {
  const ScratchFolder folder;
  const std::string input = folder / "in.wav";
  const Bytes samples = testing_support::RandomBytes(2000, 12);
  WriteBytes(input, codec::MakeWaveFile(samples));
  ASSERT_EQ(testing_support::RunInProcess(tovrel::RunTovrel, {"--optimal", input}).exitStatus, 0);
  ASSERT_EQ(Quenlow({"0", input + ".dmp"}).exitStatus, 0);

  Bytes reconstructed;
  for (std::size_t start = 0; start < samples.size(); start += 64) {
    Bytes block(
        samples.begin() + static_cast<std::ptrdiff_t>(start),
        samples.begin() + static_cast<std::ptrdiff_t>(std::min(start + 64, samples.size())));
    codec::ToSigned(block);
    codec::SampleBlock decoded = codec::DecodeBlock(codec::EncodeBlockOptimal(block).block);
    codec::ToSigned(decoded);
    reconstructed.insert(reconstructed.end(), decoded.begin(),
                         decoded.begin() + static_cast<std::ptrdiff_t>(block.size()));
  }
  reconstructed.resize(samples.size() + 44 - 784);
  EXPECT_EQ(ReadBytes(input + ".dmp0.wav"), codec::MakeWaveFile(reconstructed));
}

// A caller in the same process can pass text with a NUL, which the system
// would read as the end of the name: the output would land in another file.
TEST(Quenlow, RefusesAnOutputNameWithANul) {
  const ScratchFolder folder;
  const std::string rom = folder / "rom.bin";
  WriteBytes(rom, RomWithRecord(0x12, 10, 1));
  WriteBytes(rom + "12", Bytes(7, 0x07));
  const std::string address("12\0zz", 5);

  const RunResult run = Quenlow({address, rom});

  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_THAT(run.err, HasSubstr(": Invalid argument\n"));
  EXPECT_EQ(ReadBytes(rom + "12"), Bytes(7, 0x07));
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"rom.bin", "rom.bin12"}));
}

// Found by fuzzing: an ADDRESS holding a line break broke the message in two.
TEST(Quenlow, ShowsControlCharactersInMessagesEscaped) {
  const ScratchFolder folder;
  const std::string rom = folder / "rom.bin";
  WriteBytes(rom, RomWithRecord(0, 10, 1));
  const std::string address("q\n\x1b[0m", 6);

  const RunResult run = Quenlow({address, rom});

  EXPECT_EQ(run.exitStatus, 2);
  EXPECT_EQ(run.err, "Quenlow: ADDRESS \"q\\n\\x1B[0m\": holds no hexadecimal digit\n");
}

}  // namespace
