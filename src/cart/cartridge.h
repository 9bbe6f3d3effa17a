// The loaded iNES cartridge image: one global record, filled by cartridge_load on the emulation
// thread and read by power-on, the mappers and the information tools.
#pragma once

#include <cstddef>
#include <cstdint>

enum class LoadResult : int {
  Ok = 0,
  NoSignature = 1,
  ReadError = 2,
  OpenError = 3,
  NoMemory = 4,
  DirtyHeader = 5,  // loaded, but bytes 12-15 of the header hold junk
  Truncated = 6,    // the file is shorter than its header declares
  NoPrgRom = 7,     // the header declares no program data
  NotRegular = 8,   // a directory, a device or a pipe: nothing is read from it
  TooLarge = 9,     // larger than the largest image a header can declare
};

inline constexpr uint32_t kInesHeaderSize = 16;
inline constexpr uint32_t kTrainerSize = 512;
inline constexpr uint32_t kPrgUnit = 16384;
inline constexpr uint32_t kChrUnit = 8192;
inline constexpr uint32_t kInesSignature = 0x1A53454E;  // "NES" 0x1A, little-endian
// Header, trainer, 255 program and 255 pattern units: no image that any header describes is longer.
inline constexpr uint32_t kInesMaxImageSize =
    kInesHeaderSize + kTrainerSize + 255 * kPrgUnit + 255 * kChrUnit;

class Cartridge {
 public:
  Cartridge() = default;
  Cartridge(const Cartridge&) = delete;
  Cartridge& operator=(const Cartridge&) = delete;
  virtual ~Cartridge();

  // Reads the file and fills the record. Only a regular file is read, its header first; the
  // rest only when the header carries the signature and the file is no longer than
  // kInesMaxImageSize. On any failure prg_rom stays null; after NoSignature image holds the
  // bytes read (at most the header).
  LoadResult cartridge_load(const char* file_path);
  // The same for an image already in memory (copied), recorded under `name` as its path; the
  // checks and results are those of a file of `size` bytes.
  LoadResult cartridge_load_memory(const uint8_t* data, size_t size, const char* name);
  // Frees the image and the path; the byte fields keep their values.
  void cartridge_unload();

  uint8_t* chr_rom = nullptr;  // null when chr_rom_size is 0
  uint8_t* prg_rom = nullptr;  // null while no image is loaded
  uint8_t* trainer = nullptr;
  uint8_t* image = nullptr;        // the whole file; owned
  char* path = nullptr;            // owned copy of the loaded path
  uint8_t vertical_mirroring = 0;  // header byte 6 & 0x01
  uint8_t battery = 0;             // byte 6 & 0x02
  uint8_t trainer_present = 0;     // byte 6 & 0x04
  uint8_t four_screen = 0;         // byte 6 & 0x08
  uint8_t mapper = 0;
  uint8_t chr_rom_size = 0;   // 8 KB units
  uint8_t prg_rom_size = 0;   // 16 KB units
  uint8_t* header = nullptr;  // the 16 header bytes (== image)
  uint32_t image_size = 0;    // bytes in image

 private:
  // NoSignature: keeps the `head` bytes read of the header.
  LoadResult keep_unsigned_header(const uint8_t* h, uint32_t head);
  // Records the path and parses header h (the image's first bytes, zero-padded to 16) for the
  // whole image now in image / image_size.
  LoadResult take_image(const uint8_t* h, const char* file_path);
};

extern Cartridge cartridge;

// The message box a failed load shows: text and caption, or null texts for Ok and DirtyHeader.
struct LoadMessage {
  const char* text;
  const char* caption;
};
LoadMessage load_result_message(LoadResult result);
