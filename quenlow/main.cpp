#include <iostream>
#include <string_view>
#include <vector>

#include "common/file_io.h"
#include "quenlow/quenlow.h"

int main(int argc, char* argv[]) {
  common::UseBinaryConsole();
  const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  return quenlow::RunQuenlow(arguments, std::cout, std::cerr);
}
