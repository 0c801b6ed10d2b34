#include "quenlow/address.h"

#include <gtest/gtest.h>

namespace {

using quenlow::ConvertHexAddress;

TEST(ConvertHexAddress, ReadsWhatPercentXReads) {
  struct Case {
    std::string_view text;
    std::uint32_t value;
  };
  const Case cases[] = {
      {"3a1f00", 0x3A1F00},
      {"3A1F00", 0x3A1F00},
      {"0x3A1F00", 0x3A1F00},
      {"0X3a1f00", 0x3A1F00},
      {" 3A1F00", 0x3A1F00},
      {"\t\n 3A1F00", 0x3A1F00},
      {"+3A1F00", 0x3A1F00},
      {"3A1F00zz", 0x3A1F00},
      {"3A1F00 10", 0x3A1F00},
      {"0", 0},
      {"-0", 0},
      {"0x", 0},  // the "0", then a stray "x"
      {"0xg", 0},
      {"-10", 0xFFFFFFF0},
      {"-0x1", 0xFFFFFFFF},
      {"7FFFFFFF", 0x7FFFFFFF},
      {"80000000", 0x80000000},
      {"123456789", 0x23456789},  // low 32 bits
      {"ffffffffffffffffffff1", 0xFFFFFFF1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ConvertHexAddress(c.text), c.value) << '"' << c.text << '"';
  }
}

TEST(ConvertHexAddress, FindsNothingWithoutAHexDigit) {
  for (const std::string_view text : {"", "zz", " ", "-", "+", "x10", "- 10", "+-10", "g0"}) {
    EXPECT_EQ(ConvertHexAddress(text), std::nullopt) << '"' << text << '"';
  }
}

}  // namespace
