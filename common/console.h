// Command-line and console conventions that both programs share.
#pragma once

#include <cstdint>
#include <exception>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/failure.h"

namespace common {

// Options come before the operands and start with "--"; a lone "--" ends
// them, so an operand may itself start with "-" (a negative ADDRESS, say).
struct CommandLine {
  std::vector<std::string_view> options;
  std::vector<std::string_view> operands;
};

CommandLine SplitCommandLine(std::span<const std::string_view> arguments);

// Answers --help (with `helpText`) and --version, which both programs treat
// alike; returns whether `option` was one of them, the run then being over.
bool AnswerInformationalOption(std::string_view option, std::string_view program,
                               std::string_view helpText, std::ostream& out);

// The failure for an option the program does not know.
Failure UnknownOption(std::string_view program, std::string_view option);

// "<program>: <subject>: <reason>" as one line on standard error.
void ReportFailure(std::ostream& err, std::string_view program, const Failure& failure);

// Runs a program's body and returns its exit status; a Failure, or any other
// exception (out of memory, say), ends it with its one line on `err`.
template <typename Body>
int RunReportingFailures(std::string_view program, std::ostream& err, Body body) {
  try {
    return body();
  } catch (const Failure& failure) {
    ReportFailure(err, program, failure);
    return failure.exitStatus;
  } catch (const std::exception& error) {
    ReportFailure(err, program, {"internal error", error.what(), kExitFailure});
    return kExitFailure;
  }
}

// "<program>: <subject>: warning: <text>" as one line on standard error.
void ReportWarning(std::ostream& err, std::string_view program, std::string_view subject,
                   std::string_view text);

// Two upper-case hexadecimal digits, as printf's "%02X" gives them.
std::string HexByte(std::uint8_t value);

// "0x" and upper-case hexadecimal digits without leading zeros: "0x3A1F00".
std::string HexNumber(std::uint64_t value);

// A count with thousands separators: 66319 -> "66,319".
std::string WithThousands(std::uint64_t value);

}  // namespace common
