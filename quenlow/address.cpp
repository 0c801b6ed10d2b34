#include "quenlow/address.h"

namespace quenlow {
namespace {

// The C locale's white space, independent of the process's locale.
constexpr bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

constexpr std::optional<std::uint32_t> HexDigitValue(char c) {
  if (c >= '0' && c <= '9') {
    return static_cast<std::uint32_t>(c - '0');
  }
  if (c >= 'a' && c <= 'f') {
    return static_cast<std::uint32_t>(c - 'a' + 10);
  }
  if (c >= 'A' && c <= 'F') {
    return static_cast<std::uint32_t>(c - 'A' + 10);
  }
  return std::nullopt;
}

constexpr bool StartsWithHexPrefix(std::string_view text) {
  // "0x" counts as a prefix only when a digit follows; otherwise the "0" is
  // the number and the conversion stops at the "x".
  return text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') &&
         HexDigitValue(text[2]).has_value();
}

}  // namespace

std::optional<std::uint32_t> ConvertHexAddress(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) {
    text.remove_prefix(1);
  }
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (StartsWithHexPrefix(text)) {
    text.remove_prefix(2);
  }
  std::optional<std::uint32_t> value;
  for (; !text.empty(); text.remove_prefix(1)) {
    const std::optional<std::uint32_t> digit = HexDigitValue(text.front());
    if (!digit) {
      break;
    }
    value = (value.value_or(0) << 4U) | *digit;  // unsigned: keeps the low 32 bits
  }
  if (value && negative) {
    *value = 0U - *value;
  }
  return value;
}

}  // namespace quenlow
