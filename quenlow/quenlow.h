// Quenlow: decodes the compressed sound record at a hexadecimal offset of a
// ROM image (or of a .dmp file, at offset 0) into an 8-bit mono wave file
// named INPUTROM + ADDRESS + ".wav".
#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace quenlow {

// The whole program. `arguments` excludes the program's name; console text
// goes to `out` and `err`; returns the exit status.
int RunQuenlow(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err);

}  // namespace quenlow
