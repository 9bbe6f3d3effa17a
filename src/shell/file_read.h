// Reading files through POSIX descriptors, for the loaders that must refuse what is not a regular
// file before they read a byte of it (a FIFO would block, a directory cannot be read).
#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>

// Closes the descriptor on every way out.
struct FileDescriptor {
  int fd;
  ~FileDescriptor() {
    if (fd >= 0) ::close(fd);
  }
};

// Reads until `count` bytes have arrived or the file ends: the number read, or -1 on an error.
inline ptrdiff_t read_up_to(int fd, uint8_t* out, size_t count) {
  size_t done = 0;
  while (done < count) {
    const ssize_t got = ::read(fd, out + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    done += size_t(got);
  }
  return ptrdiff_t(done);
}
