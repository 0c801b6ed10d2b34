#include "common/console.h"

namespace common {
namespace {

// A path or an argument may hold any byte; shown raw, a line break or an
// escape sequence in it would break the one line apart or upset the console.
std::string Printable(std::string_view text) {
  std::string shown;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\n') {
      shown += "\\n";
    } else if (c == '\t') {
      shown += "\\t";
    } else if (c == '\r') {
      shown += "\\r";
    } else if (byte < 0x20 || byte == 0x7F) {
      shown += "\\x" + HexByte(byte);
    } else {
      shown += c;
    }
  }
  return shown;
}

// Built whole and written at once, so a line is never split by other output.
void WriteLine(std::ostream& err, std::string_view line) {
  std::string shown = Printable(line);
  shown += '\n';
  err.write(shown.data(), static_cast<std::streamsize>(shown.size()));
  err.flush();
}

}  // namespace

CommandLine SplitCommandLine(std::span<const std::string_view> arguments) {
  CommandLine commandLine;
  auto argument = arguments.begin();
  for (; argument != arguments.end() && argument->starts_with("--"); ++argument) {
    if (*argument == "--") {
      ++argument;
      break;
    }
    commandLine.options.push_back(*argument);
  }
  commandLine.operands.assign(argument, arguments.end());
  return commandLine;
}

bool AnswerInformationalOption(std::string_view option, std::string_view program,
                               std::string_view helpText, std::ostream& out) {
  if (option == "--help") {
    out << helpText << std::flush;
    return true;
  }
  if (option == "--version") {
    out << program << " " << ROMSOUND_VERSION << "\r\n" << std::flush;
    return true;
  }
  return false;
}

Failure UnknownOption(std::string_view program, std::string_view option) {
  return {std::string(option),
          "unknown option (" + std::string(program) + " --help lists the options)",
          kExitBadCommand};
}

void ReportFailure(std::ostream& err, std::string_view program, const Failure& failure) {
  WriteLine(err, std::string(program) + ": " + failure.subject + ": " + failure.reason);
}

void ReportWarning(std::ostream& err, std::string_view program, std::string_view subject,
                   std::string_view text) {
  WriteLine(err,
            std::string(program) + ": " + std::string(subject) + ": warning: " + std::string(text));
}

std::string HexByte(std::uint8_t value) {
  constexpr std::string_view kDigits = "0123456789ABCDEF";
  return {kDigits[value >> 4U], kDigits[value & 0x0FU]};
}

std::string HexNumber(std::uint64_t value) {
  std::string digits;
  do {
    digits.insert(0, 1, "0123456789ABCDEF"[value & 0x0FU]);
    value >>= 4U;
  } while (value != 0);
  return "0x" + digits;
}

std::string WithThousands(std::uint64_t value) {
  std::string digits = std::to_string(value);
  for (std::size_t separator = digits.size(); separator > 3;) {
    separator -= 3;
    digits.insert(separator, 1, ',');
  }
  return digits;
}

}  // namespace common
