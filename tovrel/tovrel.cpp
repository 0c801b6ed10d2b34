#include "tovrel/tovrel.h"

#include <string>

#include "codec/delta_codec.h"
#include "common/console.h"
#include "common/failure.h"
#include "common/file_io.h"
#include "tovrel/input_check.h"

namespace tovrel {
namespace {

constexpr std::string_view kProgram = "Tovrel";
constexpr std::string_view kUsage =
    "Tovrel - encodes an 8-bit mono wave file into a compressed sound record\r\n"
    "Usage:\r\n"
    "Tovrel [INPUTFILE (must be 8bit signed 11khz PCM wav)]\r\n";
constexpr std::string_view kOptions =
    "Options, before INPUTFILE:\r\n"
    "  --optimal  choose each block's steps for the least squared error over the block\r\n"
    "             (slower; the record stays readable by every player)\r\n"
    "  --help     show this text\r\n"
    "  --version  show the program's version\r\n"
    "  --         end the options (for an INPUTFILE that starts with \"--\")\r\n";
constexpr std::string_view kOutputSuffix = ".dmp";

void PrintDeltaTable(std::ostream& out) {
  std::string line;
  for (const std::uint8_t step : codec::DeltaTable) {
    line += common::HexByte(step) + " ";
  }
  out << line << std::flush;
}

void RefuseIfTooLong(const std::string& path, std::uint64_t length) {
  if (length <= kMaxInputBytes) {
    return;
  }
  throw common::Failure{
      path, "too long: it holds " + common::WithThousands(length - codec::kWaveHeaderBytes) +
                " samples after its 44-byte header, and a record takes at most " +
                common::WithThousands(kMaxInputBytes - codec::kWaveHeaderBytes) + " (it plays " +
                std::to_string(kTrimmedSamples) + " fewer: " +
                common::WithThousands(codec::kMaxSampleCount) + "); nothing was written"};
}

void WarnIfUnexpected(const std::string& path, std::span<const std::uint8_t> file,
                      std::ostream& err) {
  if (const auto description = DescribeUnexpectedInput(file)) {
    common::ReportWarning(err, kProgram, path,
                          *description +
                              "; encoding every byte after offset 44 as an 8-bit sample anyway "
                              "(convert it to 8-bit unsigned mono at 11,050 Hz first)");
  }
}

int Encode(const std::string& path, codec::EncoderMode mode, std::ostream& out, std::ostream& err) {
  PrintDeltaTable(out);
  const common::FileBytes input = common::ReadFileUpTo(path, kMaxInputBytes);
  RefuseIfTooLong(path, input.fileLength);
  WarnIfUnexpected(path, input.bytes, err);

  const auto samples =
      std::span(input.bytes)
          .subspan(std::min<std::size_t>(input.bytes.size(), codec::kWaveHeaderBytes));
  const std::uint16_t sampleCount = SampleCountForInputLength(input.fileLength);
  common::WriteFileAtomically(path + std::string(kOutputSuffix),
                              codec::EncodeSoundRecord(samples, sampleCount, mode));

  out << common::HexByte(static_cast<std::uint8_t>(sampleCount))
      << common::HexByte(static_cast<std::uint8_t>(sampleCount >> 8U)) << std::flush;
  return common::kExitSuccess;
}

}  // namespace

std::uint16_t SampleCountForInputLength(std::uint64_t length) {
  return static_cast<std::uint16_t>(length < kUncountedBytes ? 0 : length - kUncountedBytes);
}

int RunTovrel(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err) {
  return common::RunReportingFailures(kProgram, err, [&] {
    const common::CommandLine commandLine = common::SplitCommandLine(arguments);
    codec::EncoderMode mode = codec::EncoderMode::Nearest;
    for (const std::string_view option : commandLine.options) {
      if (common::AnswerInformationalOption(option, kProgram,
                                            std::string(kUsage) + std::string(kOptions), out)) {
        return common::kExitSuccess;
      }
      if (option != "--optimal") {
        throw common::UnknownOption(kProgram, option);
      }
      mode = codec::EncoderMode::Optimal;
    }
    if (commandLine.operands.empty()) {
      out << kUsage << std::flush;
      return common::kExitSuccess;
    }
    // Further operands are ignored.
    return Encode(std::string(commandLine.operands.front()), mode, out, err);
  });
}

}  // namespace tovrel
