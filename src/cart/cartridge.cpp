#include "cart/cartridge.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>

#include "shell/file_read.h"

Cartridge cartridge;

namespace {

constexpr LoadMessage kLoadMessages[] = {
    {nullptr, nullptr},                                                // Ok
    {"NES File Signature not Found", "ROM Error"},                     // NoSignature
    {"Error Reading ROM Image", "File I/O Error"},                     // ReadError
    {"Failed To Open ROM Image", "File I/O Error"},                    // OpenError
    {"Failed to allocate memory for ROM.", "Memory Error"},            // NoMemory
    {nullptr, nullptr},                                                // DirtyHeader
    {"ROM Image is shorter than its header declares", "ROM Error"},    // Truncated
    {"ROM Image holds no PRG ROM", "ROM Error"},                       // NoPrgRom
    {"ROM Image is not a regular file", "File I/O Error"},             // NotRegular
    {"ROM Image is larger than any header can declare", "ROM Error"},  // TooLarge
};
static_assert(std::size(kLoadMessages) == size_t(LoadResult::TooLarge) + 1);

uint32_t read_le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

LoadMessage load_result_message(LoadResult result) {
  const auto i = static_cast<size_t>(result);
  return i < std::size(kLoadMessages) ? kLoadMessages[i] : LoadMessage{nullptr, nullptr};
}

Cartridge::~Cartridge() { cartridge_unload(); }

void Cartridge::cartridge_unload() {
  delete[] image;
  delete[] path;
  image = chr_rom = prg_rom = trainer = header = nullptr;
  path = nullptr;
  image_size = 0;
}

LoadResult Cartridge::cartridge_load(const char* file_path) {
  cartridge_unload();  // a record still holding an image (after NoSignature) lets it go here
  if (!file_path) return LoadResult::OpenError;

  // O_NONBLOCK: opening a FIFO that has no writer would wait for one. Nothing is read from
  // anything but a regular file, for which the flag changes nothing.
  const FileDescriptor file{::open(file_path, O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (file.fd < 0) return LoadResult::OpenError;
  struct stat st {};
  if (::fstat(file.fd, &st) != 0) return LoadResult::ReadError;
  if (!S_ISREG(st.st_mode)) return LoadResult::NotRegular;

  uint8_t h[kInesHeaderSize] = {};  // a header cut short reads as zeros past the end of the file
  const ptrdiff_t head = read_up_to(file.fd, h, kInesHeaderSize);
  if (head < 0) return LoadResult::ReadError;
  if (head < 4 || read_le32(h) != kInesSignature) return keep_unsigned_header(h, uint32_t(head));
  // Refused before anything is allocated: nothing past this size could ever be used.
  if (st.st_size > off_t(kInesMaxImageSize)) return LoadResult::TooLarge;

  const uint32_t size = uint32_t(st.st_size < head ? head : st.st_size);
  const size_t rest = size - size_t(head);
  image = new (std::nothrow) uint8_t[size];
  if (!image) return LoadResult::NoMemory;
  std::memcpy(image, h, size_t(head));
  if (read_up_to(file.fd, image + head, rest) != ptrdiff_t(rest)) {
    delete[] image;
    image = nullptr;
    return LoadResult::ReadError;
  }
  image_size = size;
  return take_image(h, file_path);
}

LoadResult Cartridge::cartridge_load_memory(const uint8_t* data, size_t size, const char* name) {
  cartridge_unload();
  uint8_t h[kInesHeaderSize] = {};
  const size_t head = std::min<size_t>(size, kInesHeaderSize);
  if (data) std::memcpy(h, data, head);
  if (!data || head < 4 || read_le32(h) != kInesSignature) {
    return keep_unsigned_header(h, uint32_t(head));
  }
  if (size > kInesMaxImageSize) return LoadResult::TooLarge;
  image = new (std::nothrow) uint8_t[size];
  if (!image) return LoadResult::NoMemory;
  std::memcpy(image, data, size);
  image_size = uint32_t(size);
  return take_image(h, name ? name : "");
}

LoadResult Cartridge::keep_unsigned_header(const uint8_t* h, uint32_t head) {
  // The record keeps what was read, as it kept the whole file before the header came first.
  image = new (std::nothrow) uint8_t[kInesHeaderSize];
  if (!image) return LoadResult::NoMemory;
  std::memcpy(image, h, kInesHeaderSize);
  header = image;
  image_size = head;
  return LoadResult::NoSignature;
}

LoadResult Cartridge::take_image(const uint8_t* h, const char* file_path) {
  const uint32_t size = image_size;
  header = image;

  const size_t path_len = std::strlen(file_path);
  path = new (std::nothrow) char[path_len + 1];
  if (!path) return LoadResult::NoMemory;
  std::memcpy(path, file_path, path_len + 1);

  vertical_mirroring = h[6] & 0x01;
  battery = h[6] & 0x02;
  trainer_present = h[6] & 0x04;
  four_screen = h[6] & 0x08;
  chr_rom_size = h[5];
  prg_rom_size = h[4];
  // Bytes 12-15 hold junk in images made by some old tools; their byte 7 is junk too.
  const bool dirty = read_le32(h + 12) != 0;
  mapper = dirty ? uint8_t(h[6] >> 4) : uint8_t((h[7] & 0xF0) | (h[6] >> 4));

  // No bank may point past the buffer: refuse an image shorter than it declares.
  const uint64_t declared = uint64_t(kInesHeaderSize) + (trainer_present ? kTrainerSize : 0) +
                            uint64_t(prg_rom_size) * kPrgUnit + uint64_t(chr_rom_size) * kChrUnit;
  if (prg_rom_size == 0) return LoadResult::NoPrgRom;
  if (size < declared) return LoadResult::Truncated;

  trainer = trainer_present ? image + kInesHeaderSize : nullptr;
  prg_rom = image + kInesHeaderSize + (trainer_present ? kTrainerSize : 0);
  chr_rom = chr_rom_size ? prg_rom + uint32_t(prg_rom_size) * kPrgUnit : nullptr;
  return dirty ? LoadResult::DirtyHeader : LoadResult::Ok;
}
