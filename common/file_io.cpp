#include "common/file_io.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>  // std::rename
#include <random>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace common {
namespace {

// ---- The platform's calls, behind one small set of names. -----------------

#ifdef _WIN32
using FileStatus = struct _stat64;
// _read and _write take an unsigned int count.
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30U;

int OpenForReading(const char* path) { return _open(path, _O_RDONLY | _O_BINARY | _O_NOINHERIT); }
int CreateNewFile(const char* path) {
  return _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
               _S_IREAD | _S_IWRITE);
}
long long ReadSome(int fd, std::span<std::uint8_t> buffer) {
  return _read(fd, buffer.data(), static_cast<unsigned>(std::min(buffer.size(), kMaxTransfer)));
}
long long WriteSome(int fd, std::span<const std::uint8_t> bytes) {
  return _write(fd, bytes.data(), static_cast<unsigned>(std::min(bytes.size(), kMaxTransfer)));
}
long long SeekToEnd(int fd) { return _lseeki64(fd, 0, SEEK_END); }
long long ReadSomeAt(int fd, std::uint64_t offset, std::span<std::uint8_t> buffer) {
  if (_lseeki64(fd, static_cast<long long>(offset), SEEK_SET) < 0) {
    return -1;
  }
  return ReadSome(fd, buffer);
}
int GetStatus(int fd, FileStatus& status) { return _fstat64(fd, &status); }
bool IsDirectory(const FileStatus& status) { return (status.st_mode & _S_IFMT) == _S_IFDIR; }
bool IsRegular(const FileStatus& status) { return (status.st_mode & _S_IFMT) == _S_IFREG; }
int SyncFile(int fd) { return _commit(fd); }
int CloseFile(int fd) { return _close(fd); }
void RemoveFile(const char* path) { _unlink(path); }
bool ExistsReadOnly(const char* path) { return _access(path, 0) == 0 && _access(path, 2) != 0; }
// Windows keeps no permission bits worth carrying over.
void TakeModeOf(const char* /*path*/, int /*fd*/) {}
std::error_code RenameOver(const char* from, const char* to) {
  if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0) {
    return {};
  }
  return {static_cast<int>(GetLastError()), std::system_category()};
}
#else
using FileStatus = struct stat;

int OpenForReading(const char* path) { return open(path, O_RDONLY | O_CLOEXEC); }
int CreateNewFile(const char* path) {
  // Ordinary permissions for a new file, as the umask allows.
  constexpr mode_t kReadWriteForAll = 0666;
  return open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kReadWriteForAll);
}
long long ReadSome(int fd, std::span<std::uint8_t> buffer) {
  return read(fd, buffer.data(), buffer.size());
}
long long WriteSome(int fd, std::span<const std::uint8_t> bytes) {
  return write(fd, bytes.data(), bytes.size());
}
long long SeekToEnd(int fd) { return lseek(fd, 0, SEEK_END); }
long long ReadSomeAt(int fd, std::uint64_t offset, std::span<std::uint8_t> buffer) {
  return pread(fd, buffer.data(), buffer.size(), static_cast<off_t>(offset));
}
int GetStatus(int fd, FileStatus& status) { return fstat(fd, &status); }
bool IsDirectory(const FileStatus& status) { return S_ISDIR(status.st_mode); }
bool IsRegular(const FileStatus& status) { return S_ISREG(status.st_mode); }
int SyncFile(int fd) { return fsync(fd); }
int CloseFile(int fd) { return close(fd); }
void RemoveFile(const char* path) { unlink(path); }
bool ExistsReadOnly(const char* path) {
  return access(path, F_OK) == 0 && access(path, W_OK) != 0 && errno == EACCES;
}
// A replaced file keeps its permissions, as it would if it were rewritten
// in place.
void TakeModeOf(const char* path, int fd) {
  struct stat existing {};
  if (stat(path, &existing) == 0 && S_ISREG(existing.st_mode)) {
    fchmod(fd, existing.st_mode & 07777);
  }
}
std::error_code RenameOver(const char* from, const char* to) {
  if (std::rename(from, to) == 0) {
    return {};
  }
  return {errno, std::generic_category()};
}
#endif

// ---- Portable from here on. ------------------------------------------------

std::error_code LastError() { return {errno, std::generic_category()}; }

[[noreturn]] void Fail(const std::string& path, const std::error_code& error) {
  throw Failure{path, error.message()};
}

// The system reads a path up to its first NUL; a path holding one would name
// another file than the one meant.
const char* SystemPath(const std::string& path) {
  if (path.find('\0') != std::string::npos) {
    Fail(path, std::make_error_code(std::errc::invalid_argument));
  }
  return path.c_str();
}

// Repeats a transfer that a signal interrupted before it moved anything.
template <typename Transfer>
long long Retrying(Transfer transfer) {
  long long result = 0;
  do {
    result = transfer();
  } while (result < 0 && errno == EINTR);
  return result;
}

// Closes the descriptor on every way out of a read.
class OpenInput {
 public:
  explicit OpenInput(const std::string& path) : path_(path), fd_(OpenForReading(SystemPath(path))) {
    if (fd_ < 0) {
      Fail(path, LastError());
    }
    if (GetStatus(fd_, status_) != 0) {
      const std::error_code error = LastError();
      CloseFile(fd_);
      Fail(path, error);
    }
    if (IsDirectory(status_)) {
      CloseFile(fd_);
      Fail(path, std::make_error_code(std::errc::is_a_directory));
    }
  }
  OpenInput(const OpenInput&) = delete;
  OpenInput& operator=(const OpenInput&) = delete;
  ~OpenInput() { CloseFile(fd_); }

  [[nodiscard]] int fd() const { return fd_; }
  [[nodiscard]] const FileStatus& status() const { return status_; }
  [[noreturn]] void FailWithLastError() const { Fail(path_, LastError()); }

 private:
  const std::string& path_;
  int fd_;
  FileStatus status_{};
};

// Fills as much of `buffer` as the input holds; returns how much that was.
std::size_t ReadFully(const OpenInput& input, std::span<std::uint8_t> buffer) {
  std::size_t filled = 0;
  while (filled < buffer.size()) {
    const long long got = Retrying([&] { return ReadSome(input.fd(), buffer.subspan(filled)); });
    if (got < 0) {
      input.FailWithLastError();
    }
    if (got == 0) {
      break;
    }
    filled += static_cast<std::size_t>(got);
  }
  return filled;
}

// Counts what is left of an input that cannot say its own length.
std::uint64_t CountRemaining(const OpenInput& input) {
  constexpr std::size_t kScratchBytes = std::size_t{64} * 1024;
  std::vector<std::uint8_t> scratch(kScratchBytes);
  std::uint64_t remaining = 0;
  while (const std::size_t got = ReadFully(input, scratch)) {
    remaining += got;
  }
  return remaining;
}

std::error_code WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const long long written = Retrying([&] { return WriteSome(fd, bytes); });
    if (written < 0) {
      return LastError();
    }
    if (written == 0) {  // no progress and no reason given
      return std::make_error_code(std::errc::io_error);
    }
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return {};
}

// A name beside `path`, so that the final rename stays within one folder:
// the path, ".tmp" and six hexadecimal digits.
std::string TemporaryNameFor(const std::string& path, std::uint32_t nonce) {
  constexpr int kDigits = 6;
  std::string name = path + ".tmp";
  for (int digit = kDigits - 1; digit >= 0; --digit) {
    name += "0123456789ABCDEF"[(nonce >> (4U * static_cast<unsigned>(digit))) & 0x0FU];
  }
  return name;
}

}  // namespace

FileBytes ReadFileUpTo(const std::string& path, std::size_t limit) {
  const OpenInput input(path);
  FileBytes result;
  result.bytes.resize(limit);
  result.bytes.resize(ReadFully(input, result.bytes));
  result.fileLength = result.bytes.size();
  if (result.bytes.size() == limit) {
    const auto declared = static_cast<std::uint64_t>(input.status().st_size);
    result.fileLength =
        IsRegular(input.status()) && declared >= limit ? declared : limit + CountRemaining(input);
  }
  return result;
}

FileBytes ReadFileAt(const std::string& path, std::uint64_t offset, std::size_t count) {
  const OpenInput input(path);
  const long long end = SeekToEnd(input.fd());
  if (end < 0 && errno == ESPIPE) {
    throw Failure{path, "cannot be positioned, as a pipe cannot; give a file instead (" +
                            LastError().message() + ")"};
  }
  if (end < 0) {
    input.FailWithLastError();
  }
  FileBytes result;
  result.fileLength = static_cast<std::uint64_t>(end);
  const std::uint64_t available = offset < result.fileLength ? result.fileLength - offset : 0;
  result.bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(count, available)));
  std::size_t filled = 0;
  while (filled < result.bytes.size()) {
    const long long got = Retrying([&] {
      return ReadSomeAt(input.fd(), offset + filled, std::span(result.bytes).subspan(filled));
    });
    if (got < 0) {
      input.FailWithLastError();
    }
    if (got == 0) {  // the file shrank since its length was taken
      break;
    }
    filled += static_cast<std::size_t>(got);
  }
  result.bytes.resize(filled);
  return result;
}

void WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> contents) {
  // A file its owner made read-only is not replaced behind their back.
  if (ExistsReadOnly(SystemPath(path))) {
    Fail(path, std::make_error_code(std::errc::permission_denied));
  }
  std::random_device entropy;
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; fd < 0; ++attempt) {
    temporary = TemporaryNameFor(path, entropy());
    fd = CreateNewFile(temporary.c_str());
    constexpr int kAttempts = 16;
    if (fd < 0 && (errno != EEXIST || attempt + 1 == kAttempts)) {
      Fail(path, LastError());
    }
  }
  TakeModeOf(path.c_str(), fd);
  std::error_code error = WriteAll(fd, contents);
  if (!error && SyncFile(fd) != 0) {
    error = LastError();
  }
  if (CloseFile(fd) != 0 && !error) {
    error = LastError();
  }
  if (!error) {
    error = RenameOver(temporary.c_str(), path.c_str());
  }
  if (error) {
    RemoveFile(temporary.c_str());
    Fail(path, error);
  }
}

void UseBinaryConsole() {
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
}

}  // namespace common
