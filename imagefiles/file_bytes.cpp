// Reading whole files and replacing them atomically, on Linux and on Windows.
#include "imagefiles/file_bytes.h"

#include "imagefiles/interrupt_cleanup.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

#ifndef _WIN32
constexpr int O_BINARY = 0;
#endif

std::string reason() { return std::strerror(errno); }

// Creates a file that did not exist before next to `path`; returns its descriptor or -1. The
// name is short and fixed in form (a dot file in the same folder), so it fits wherever the
// output's own name fits, however long that is.
int createTemporary(const std::string& path, std::string& temporary) {
  static unsigned counter = 0;
  const size_t slash = path.find_last_of(
#ifdef _WIN32
      "/\\:"
#else
      "/"
#endif
  );
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary =
        folder + ".inkjet-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".tmp";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_BINARY, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool writeAll(int fd, const ByteRange& bytes) {
  size_t done = 0;
  while (done < bytes.size) {
    const size_t chunk = std::min<size_t>(bytes.size - done, 1u << 30);
    const auto n = write(fd, bytes.data + done, static_cast<unsigned>(chunk));
    if (n <= 0) {
      if (n < 0 && errno == EINTR) continue;
      if (n == 0) errno = ENOSPC;
      return false;
    }
    done += size_t(n);
  }
  return true;
}

bool replaceFile(const std::string& from, const std::string& to) {
#ifdef _WIN32
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  errno = EACCES;
  return false;
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

#ifndef _WIN32
// The file a save to `path` replaces: `path` itself, or the final target of a symbolic link.
bool resolveTarget(const std::string& path, std::string& target) {
  struct stat info;
  target = path;
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return true;
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return false;
  target = resolved;
  std::free(resolved);
  return true;
}
#endif

}  // namespace

bool sameFile(const std::string& first, const std::string& second) {
#ifdef _WIN32
  auto identify = [](const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    HANDLE file =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool known = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    return known;
  };
  BY_HANDLE_FILE_INFORMATION a, b;
  return identify(first, a) && identify(second, b) &&
         a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
#else
  struct stat a, b;
  return stat(first.c_str(), &a) == 0 && stat(second.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
         a.st_ino == b.st_ino;
#endif
}

// Reads to the end of the file into `contents`, which starts sized to what the file held when
// it was opened, and grows only if the file has grown since.
void readToEnd(std::FILE* file, Bytes& contents) {
  size_t filled = 0;
  for (;;) {
    if (filled == contents.size()) contents.resize(std::max<size_t>(contents.size() * 2, 65536));
    const size_t n = std::fread(contents.data() + filled, 1, contents.size() - filled, file);
    filled += n;
    if (n == 0) break;
  }
  contents.resize(filled);
}

size_t sizeOf(std::FILE* file) {
  struct stat info;
  return fstat(fileno(file), &info) == 0 && info.st_size > 0 ? size_t(info.st_size) : 0;
}

#ifdef _WIN32
constexpr int O_NONBLOCK = 0;
#endif

// Opens `path` for reading only if it is a regular file. Devices, FIFOs and sockets are
// refused before a byte is read: /dev/zero never ends and a FIFO without a writer never
// starts. Opening without blocking keeps a FIFO from hanging the open itself.
std::FILE* openRegularFile(const std::string& path, std::string& why) {
  const int fd = open(path.c_str(), O_RDONLY | O_BINARY | O_NONBLOCK);
  if (fd < 0) {
    why = "cannot open: " + reason();
    return nullptr;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || (info.st_mode & S_IFMT) != S_IFREG) {
    why = (info.st_mode & S_IFMT) == S_IFDIR ? "cannot open: is a folder"
                                             : "cannot open: not a regular file";
    close(fd);
    return nullptr;
  }
#ifndef _WIN32
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
#endif
  std::FILE* file = fdopen(fd, "rb");
  if (!file) {
    why = "cannot open: " + reason();
    close(fd);
  }
  return file;
}

FileStatus readFileBytes(const std::string& path, Bytes& bytes) {
  std::string problem;
  std::FILE* file = openRegularFile(path, problem);
  if (!file) return FileStatus::runError(path + ": " + problem);
  Bytes contents;
  bool failed = false;
  try {
    // One byte more than the file's size, so the end is seen without growing the buffer.
    contents.resize(sizeOf(file) + 1);
    readToEnd(file, contents);
  } catch (const std::bad_alloc&) {
    failed = true;
    errno = ENOMEM;
  }
  failed = failed || std::ferror(file);
  const std::string why = failed ? reason() : std::string();
  std::fclose(file);
  if (failed) return FileStatus::runError(path + ": cannot read: " + why);
  bytes.swap(contents);
  return FileStatus::success();
}

FileStatus writeFileAtomically(const std::string& path, const Bytes& bytes) {
  return writeFileAtomically(path, std::vector<ByteRange>{{bytes.data(), bytes.size()}});
}

FileStatus writeFileAtomically(const std::string& path, const std::vector<ByteRange>& parts) {
  AtomicFileWriter writer;
  FileStatus status = writer.open(path);
  for (const ByteRange& part : parts)
    if (status.ok()) status = writer.write(part);
  return status.ok() ? writer.commit() : status;
}

struct AtomicFileWriter::Watch {
  InterruptCleanup cleanup;
};

AtomicFileWriter::AtomicFileWriter() : watch_(nullptr) {}

AtomicFileWriter::~AtomicFileWriter() {
  discard();
  delete watch_;
}

void AtomicFileWriter::discard() {
  if (fd_ >= 0) {
    close(fd_);
    fd_ = -1;
    std::remove(temporary_.c_str());
  }
}

FileStatus AtomicFileWriter::open(const std::string& requested) {
  discard();
  requested_ = requested;
  path_ = requested;
  failure_ = FileStatus::success();
#ifndef _WIN32
  if (!resolveTarget(requested, path_))
    return failure_ = FileStatus::runError(requested +
                                           ": a symbolic link to a file that cannot be reached");
#endif
  if (watch_ == nullptr) watch_ = new Watch;
  fd_ = createTemporary(path_, temporary_);
  if (fd_ < 0) return failure_ = FileStatus::runError(requested + ": cannot create: " + reason());
  watch_->cleanup.watch(temporary_);
  return FileStatus::success();
}

FileStatus AtomicFileWriter::write(const ByteRange& bytes) {
  if (!failure_.ok()) return failure_;
  if (fd_ < 0) return failure_ = FileStatus::runError(requested_ + ": cannot write: not open");
  if (!writeAll(fd_, bytes)) {
    failure_ = FileStatus::runError(requested_ + ": cannot write: " + reason());
    discard();
  }
  return failure_;
}

FileStatus AtomicFileWriter::writeAt(uint64_t offset, const ByteRange& bytes) {
  if (!failure_.ok()) return failure_;
  if (fd_ < 0) return failure_ = FileStatus::runError(requested_ + ": cannot write: not open");
  if (lseek(fd_, off_t(offset), SEEK_SET) < 0 || !writeAll(fd_, bytes) ||
      lseek(fd_, 0, SEEK_END) < 0) {
    failure_ = FileStatus::runError(requested_ + ": cannot write: " + reason());
    discard();
  }
  return failure_;
}

FileStatus AtomicFileWriter::commit() {
  if (!failure_.ok()) return failure_;
  if (fd_ < 0) return failure_ = FileStatus::runError(requested_ + ": cannot write: not open");
  bool written = true;
  std::string why;
#ifndef _WIN32
  struct stat replaced;
  if (stat(path_.c_str(), &replaced) == 0 && fchmod(fd_, replaced.st_mode & 07777) != 0) {
    written = false;
    why = reason();
  }
  if (written && fsync(fd_) != 0) {
    written = false;
    why = reason();
  }
#endif
  const int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0 && written) {
    written = false;
    why = reason();
  }
  if (written && !replaceFile(temporary_, path_)) {
    written = false;
    why = reason();
  }
  if (!written) {
    std::remove(temporary_.c_str());
    return failure_ = FileStatus::runError(requested_ + ": cannot write: " + why);
  }
  return FileStatus::success();
}
