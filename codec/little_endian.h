// Little-endian fields of the record and wave layouts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace codec {

constexpr void StoreLittleEndian16(std::span<std::uint8_t> bytes, std::size_t offset,
                                   std::uint16_t value) {
  bytes[offset] = static_cast<std::uint8_t>(value);
  bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8U);
}

constexpr void StoreLittleEndian32(std::span<std::uint8_t> bytes, std::size_t offset,
                                   std::uint32_t value) {
  StoreLittleEndian16(bytes, offset, static_cast<std::uint16_t>(value));
  StoreLittleEndian16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16U));
}

constexpr std::uint16_t LoadLittleEndian16(std::span<const std::uint8_t> bytes,
                                           std::size_t offset) {
  return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8U));
}

constexpr std::uint32_t LoadLittleEndian32(std::span<const std::uint8_t> bytes,
                                           std::size_t offset) {
  return LoadLittleEndian16(bytes, offset) |
         (static_cast<std::uint32_t>(LoadLittleEndian16(bytes, offset + 2)) << 16U);
}

}  // namespace codec
