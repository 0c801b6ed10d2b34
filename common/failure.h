// How a run of either program ends when it cannot do its work.
#pragma once

#include <string>

namespace common {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;     // a file could not be read or written, or was refused
inline constexpr int kExitBadCommand = 2;  // the command line itself is wrong

// Thrown where the run must end; the entry function reports it as
// "<program>: <subject>: <reason>" and returns `exitStatus`.
struct Failure {
  std::string subject;  // the file concerned, or the argument at fault
  std::string reason;
  int exitStatus = kExitFailure;
};

}  // namespace common
