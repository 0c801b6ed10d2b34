// The ADDRESS conversion over arbitrary text, against a reference written
// another way: std::from_chars for the digits, with the white space, sign
// and prefix that it does not take handled by hand.
#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "quenlow/address.h"

namespace {

bool IsHexDigit(char c) {
  unsigned value = 0;
  return std::from_chars(&c, &c + 1, value, 16).ptr == &c + 1;
}

std::optional<std::uint32_t> ReferenceConversion(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \t\n\v\f\r");
  if (start == std::string_view::npos) {
    return std::nullopt;
  }
  text.remove_prefix(start);
  const bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    text.remove_prefix(1);
  }
  const bool hasPrefix = text.substr(0, 2) == "0x" || text.substr(0, 2) == "0X";
  if (hasPrefix && text.size() >= 3 && IsHexDigit(text[2])) {  // else the "0" is the number
    text.remove_prefix(2);
  }
  // The digits run as far as from_chars reads, even past what fits.
  std::uint64_t ignored = 0;
  const char* digitsEnd = std::from_chars(text.data(), text.data() + text.size(), ignored, 16).ptr;
  std::string_view digits(text.data(), static_cast<std::size_t>(digitsEnd - text.data()));
  if (digits.empty()) {
    return std::nullopt;
  }
  // The low 32 bits are the last eight digits.
  constexpr std::size_t kDigitsIn32Bits = 8;
  if (digits.size() > kDigitsIn32Bits) {
    digits.remove_prefix(digits.size() - kDigitsIn32Bits);
  }
  std::uint32_t value = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
  return negative ? 0U - value : value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  FUZZ_REQUIRE(quenlow::ConvertHexAddress(text) == ReferenceConversion(text));
  return 0;
}
