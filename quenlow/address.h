// The ADDRESS argument: a hexadecimal byte offset typed by hand.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quenlow {

// Converts as the C library's "%X" conversion reads a number: leading white
// space skipped, an optional sign (a minus negates modulo 2^32), an optional
// "0x" or "0X", then hexadecimal digits of either case up to the first other
// character; of a longer number the low 32 bits remain. Returns nothing when
// there is no hexadecimal digit at all. Unlike sscanf, overflow is defined.
std::optional<std::uint32_t> ConvertHexAddress(std::string_view text);

}  // namespace quenlow
