// What the fuzz targets share: scratch files named for the process, and a host whose message
// boxes stay quiet (most inputs are refused, and each refusal would print a line).
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "shell/host.h"

// A file in /tmp, rewritten for each input and removed when the process exits normally.
class ScratchFile {
 public:
  explicit ScratchFile(const char* name)
      : path_("/tmp/vantrell_fuzz_" + std::to_string(::getpid()) + "_" + name) {}
  ~ScratchFile() { std::remove(path_.c_str()); }

  // A new file each time: some file systems flush a file rewritten from length 0 when it is
  // closed, which would make every input wait for the disk.
  const char* write(const uint8_t* data, size_t size) const {
    std::remove(path_.c_str());
    std::FILE* f = std::fopen(path_.c_str(), "wb");
    if (!f || (size && std::fwrite(data, 1, size, f) != size)) std::abort();
    std::fclose(f);
    return path();
  }
  std::vector<uint8_t> read() const {
    std::ifstream in(path_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  const char* path() const { return path_.c_str(); }

 private:
  std::string path_;
};

// Answers every box with its default button; keeps the text of the last failure box.
class QuietHost : public HeadlessHost {
 public:
  MessageResult message_box(const char* text, const char*, MessageButtons buttons, MessageIcon icon,
                            bool) override {
    if (icon == MessageIcon::Exclamation) failure = text ? text : "";
    return buttons == MessageButtons::YesNo ? MessageResult::No : MessageResult::Ok;
  }
  void debug_output(const char*) override {}

  std::string failure;
};
