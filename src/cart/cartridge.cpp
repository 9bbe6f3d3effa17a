#include "cart/cartridge.h"

#include <cstdio>
#include <cstring>
#include <iterator>
#include <new>

Cartridge cartridge;

namespace {

constexpr LoadMessage kLoadMessages[] = {
    {nullptr, nullptr},                                              // Ok
    {"NES File Signature not Found", "ROM Error"},                   // NoSignature
    {"Error Reading ROM Image", "File I/O Error"},                   // ReadError
    {"Failed To Open ROM Image", "File I/O Error"},                  // OpenError
    {"Failed to allocate memory for ROM.", "Memory Error"},          // NoMemory
    {nullptr, nullptr},                                              // DirtyHeader
    {"ROM Image is shorter than its header declares", "ROM Error"},  // Truncated
    {"ROM Image holds no PRG ROM", "ROM Error"},                     // NoPrgRom
};

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

  std::FILE* f = std::fopen(file_path, "rb");
  if (!f) return LoadResult::OpenError;
  long length = -1;
  if (std::fseek(f, 0, SEEK_END) == 0) length = std::ftell(f);
  if (length < 0 || length > 0x7FFFFFFF || std::fseek(f, 0, SEEK_SET) != 0) {
    std::fclose(f);
    return LoadResult::ReadError;
  }
  const uint32_t size = static_cast<uint32_t>(length);
  image = new (std::nothrow) uint8_t[size ? size : 1];
  if (!image) {
    std::fclose(f);
    return LoadResult::NoMemory;
  }
  if (std::fread(image, 1, size, f) != size) {
    std::fclose(f);
    delete[] image;
    image = nullptr;
    return LoadResult::ReadError;
  }
  std::fclose(f);
  header = image;
  image_size = size;

  if (size < 4 || read_le32(image) != kInesSignature) return LoadResult::NoSignature;

  const size_t path_len = std::strlen(file_path);
  path = new (std::nothrow) char[path_len + 1];
  if (!path) return LoadResult::NoMemory;
  std::memcpy(path, file_path, path_len + 1);

  // A header cut short reads as zeros past the end of the file.
  uint8_t h[kInesHeaderSize] = {};
  std::memcpy(h, image, size < kInesHeaderSize ? size : kInesHeaderSize);
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
