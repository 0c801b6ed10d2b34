// Makes a small made-up ROM image for the demo: filler bytes with a record
// placed at a given offset, the way a sound sits inside a game's ROM.
// Usage: make_demo_rom RECORD OFFSET_HEX IMAGE_SIZE OUTPUT
#include <cstdint>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
  if (argc != 5) {
    std::cerr << "usage: make_demo_rom RECORD OFFSET_HEX IMAGE_SIZE OUTPUT\n";
    return 2;
  }
  std::ifstream recordFile(argv[1], std::ios::binary);
  const std::vector<char> record((std::istreambuf_iterator<char>(recordFile)),
                                 std::istreambuf_iterator<char>());
  const std::size_t offset = std::stoul(argv[2], nullptr, 16);
  const std::size_t size = std::stoul(argv[3]);
  if (!recordFile.is_open() || offset + record.size() > size) {
    std::cerr << "make_demo_rom: cannot place " << argv[1] << " at 0x" << argv[2] << '\n';
    return 1;
  }
  // Filler that looks like anything but a sound: fixed pseudo-random bytes.
  std::minstd_rand filler(2026);
  std::vector<char> image(size);
  for (char& byte : image) {
    byte = static_cast<char>(filler() & 0xFFU);
  }
  std::copy(record.begin(), record.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
  std::ofstream out(argv[4], std::ios::binary);
  out.write(image.data(), static_cast<std::streamsize>(image.size()));
  out.close();
  if (!out) {
    std::cerr << "make_demo_rom: " << argv[4] << ": cannot write\n";
    return 1;
  }
  std::cout << "placed the " << record.size() << "-byte record at offset 0x" << argv[2] << " of a "
            << size << "-byte ROM image\n";
  return 0;
}
