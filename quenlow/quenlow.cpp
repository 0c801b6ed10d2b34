#include "quenlow/quenlow.h"

#include <string>
#include <vector>

#include "codec/sound_record.h"
#include "codec/wave_file.h"
#include "common/console.h"
#include "common/failure.h"
#include "common/file_io.h"
#include "quenlow/address.h"

namespace quenlow {
namespace {

constexpr std::string_view kProgram = "Quenlow";
constexpr std::string_view kUsage =
    "Quenlow - decodes a compressed sound record of a ROM image into a wave file\r\n"
    "Usage:\r\n"
    "Quenlow [ADDRESS (HEX)] [INPUTROM]\r\n";
constexpr std::string_view kOptions =
    "Options, before ADDRESS:\r\n"
    "  --help     show this text\r\n"
    "  --version  show the program's version\r\n"
    "  --         end the options\r\n"
    "ADDRESS may start with \"-\" (a negative number, refused), never with \"--\".\r\n";
constexpr std::string_view kOutputSuffix = ".wav";
// Offsets from 0x80000000 up are negative when taken as signed 32-bit values.
constexpr std::uint32_t kFirstNegativeOffset = 0x80000000U;
constexpr std::size_t kLargestRecordBytes = codec::BlockOffset(codec::kMaxBlocksPlayed);

common::Failure AddressFailure(std::string_view text, std::string reason) {
  return {"ADDRESS \"" + std::string(text) + "\"", std::move(reason), common::kExitBadCommand};
}

// The record offset that ADDRESS stands for, refusing what cannot be one.
std::uint32_t RecordOffset(std::string_view text, const std::string& outputPath) {
  if (text.find_first_of("/\\") != std::string_view::npos) {
    throw AddressFailure(text, "holds a '/' or '\\', which would lead the output file \"" +
                                   outputPath + "\" into another folder");
  }
  const std::optional<std::uint32_t> offset = ConvertHexAddress(text);
  if (!offset) {
    throw AddressFailure(text, "holds no hexadecimal digit");
  }
  if (*offset >= kFirstNegativeOffset) {
    throw AddressFailure(text, "gives the negative offset -" + common::HexNumber(0U - *offset) +
                                   " (" + common::HexNumber(*offset) +
                                   "); a record offset is 0 to 0x7FFFFFFF");
  }
  return *offset;
}

void RefuseIfCountPastEnd(const std::string& path, std::uint32_t offset, std::uint64_t fileLength) {
  const std::uint64_t countEnd =
      std::uint64_t{offset} + codec::kSampleCountOffset + codec::kSampleCountBytes;
  if (countEnd > fileLength) {
    throw common::Failure{path, "no record at offset " + common::HexNumber(offset) +
                                    ": the file is " + common::WithThousands(fileLength) +
                                    " bytes long (" + common::HexNumber(fileLength) +
                                    "), too short to hold its sample count at " +
                                    common::HexNumber(countEnd - codec::kSampleCountBytes)};
  }
}

void WarnIfCutShort(const std::string& path, std::uint16_t sampleCount, std::size_t recordBytes,
                    std::ostream& err) {
  const std::size_t past = codec::SamplesPastEnd(sampleCount, recordBytes);
  if (past > 0) {
    common::ReportWarning(err, kProgram, path,
                          "the file ends inside the record: " + common::WithThousands(past) +
                              " of its " + common::WithThousands(sampleCount) +
                              " samples come from past the end, where its bytes read as 0");
  }
}

int Dump(std::string_view addressText, const std::string& path, std::ostream& out,
         std::ostream& err) {
  const std::string outputPath = path + std::string(addressText) + std::string(kOutputSuffix);
  const std::uint32_t offset = RecordOffset(addressText, outputPath);
  // One read covers the largest record; a smaller one decodes only what its
  // count asks for.
  const common::FileBytes record = common::ReadFileAt(path, offset, kLargestRecordBytes);
  RefuseIfCountPastEnd(path, offset, record.fileLength);

  const std::uint16_t sampleCount = codec::SampleCount(record.bytes);
  const std::vector<std::uint8_t> samples = codec::DecodeSoundRecord(record.bytes);
  common::WriteFileAtomically(outputPath, codec::MakeWaveFile(samples));

  WarnIfCutShort(path, sampleCount, record.bytes.size(), err);
  out << "Wrote " << outputPath << ", " << common::WithThousands(sampleCount)
      << " samples ------ SUCCESS!" << std::flush;
  return common::kExitSuccess;
}

}  // namespace

int RunQuenlow(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err) {
  return common::RunReportingFailures(kProgram, err, [&] {
    const common::CommandLine commandLine = common::SplitCommandLine(arguments);
    if (!commandLine.options.empty()) {
      const std::string_view option = commandLine.options.front();
      if (common::AnswerInformationalOption(option, kProgram,
                                            std::string(kUsage) + std::string(kOptions), out)) {
        return common::kExitSuccess;
      }
      throw common::UnknownOption(kProgram, option);
    }
    if (commandLine.operands.size() < 2) {
      out << kUsage << std::flush;
      return common::kExitSuccess;
    }
    // Further operands are ignored.
    return Dump(commandLine.operands[0], std::string(commandLine.operands[1]), out, err);
  });
}

}  // namespace quenlow
