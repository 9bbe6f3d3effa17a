#include "state/snss.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "cpu/cpu.h"
#include "machine/frame.h"
#include "machine/io_ports.h"
#include "machine/machine.h"
#include "machine/profile.h"
#include "ppu/ppu.h"
#include "shell/host.h"

SnssFile snss_file;

struct SnssBuffers {
  uint8_t file_header[kSnssFileHeaderSize];
  uint8_t block_header[kSnssBlockHeaderSize];
  uint8_t base_registers[kSnssBaseRegistersSize];
  uint8_t controllers[kSnssControllersSize];
  // The profile block ("PROF") of a hardware-profile state: the profile's name, then the
  // hardware machine's own state. A state without it is a classic one.
  std::vector<uint8_t> profile;
};

namespace {

// How a field's bytes sit in its block.
enum class Encoding : uint8_t { Bytes, BigEndian16, LittleEndian32 };

// One field of a block: its place in the block and the machine state it holds. Saving and
// loading walk the same lists, so the two cannot disagree about the layout.
struct Field {
  uint16_t offset;
  uint16_t size;  // in the block; 2 for BigEndian16, 4 for LittleEndian32
  Encoding encoding;
  void* (*state)();  // looked up at each use: the machine's memory exists only while powered on
};

// The base-register block ("BASR"). Byte 5 is reserved and stays 0.
constexpr Field kBaseRegisterFields[] = {
    {0x0000, 1, Encoding::Bytes, []() -> void* { return &shadow_context->p; }},
    {0x0001, 1, Encoding::Bytes, []() -> void* { return &shadow_context->x; }},
    {0x0002, 1, Encoding::Bytes, []() -> void* { return &shadow_context->y; }},
    {0x0003, 1, Encoding::Bytes, []() -> void* { return &shadow_context->a; }},
    {0x0004, 1, Encoding::Bytes, []() -> void* { return &shadow_context->s; }},
    {0x0006, 2, Encoding::BigEndian16, []() -> void* { return &shadow_context->pc; }},
    // ctrl and mask only: the PPU's values derived from them wait for the game's next write.
    {0x0008, 1, Encoding::Bytes, []() -> void* { return &ppu.ctrl; }},
    {0x0009, 1, Encoding::Bytes, []() -> void* { return &ppu.mask; }},
    {0x000A, 0x800, Encoding::Bytes, []() -> void* { return shadow_context->memory; }},
    {0x080A, 0x100, Encoding::Bytes, []() -> void* { return ppu.oam; }},
    {0x090A, 0x1000, Encoding::Bytes, []() -> void* { return vram + 0x2000; }},
    {0x190A, 0x20, Encoding::Bytes, []() -> void* { return vram + 0x3F00; }},
    {0x192E, 2, Encoding::BigEndian16, []() -> void* { return &ppu.vram_address; }},
    {0x1930, 1, Encoding::Bytes, []() -> void* { return &ppu.oam_address; }},
    {0x1931, 1, Encoding::Bytes, []() -> void* { return &ppu.fine_x; }},
};
// Every save writes these four bytes at 0x192A; a load ignores them.
constexpr uint32_t kMarkerOffset = 0x192A;
constexpr uint8_t kMarker[4] = {0, 1, 0, 1};

// The controller block ("CNTR"). Bytes 6 and 7 hold what a read of $4017 and $4016 returned at
// save time; a load does not use them.
constexpr Field kControllerFields[] = {
    {2, 1, Encoding::Bytes, []() -> void* { return &joypad[0].bit_index; }},
    {3, 1, Encoding::Bytes, []() -> void* { return &joypad[1].bit_index; }},
    {8, 4, Encoding::LittleEndian32, []() -> void* { return &joypad[0].stream; }},
    {16, 4, Encoding::LittleEndian32, []() -> void* { return &joypad[1].stream; }},
};
constexpr uint32_t kJoypadBits = 24;

constexpr uint32_t kBlockVersion = 1;
constexpr uint32_t kBlocksWritten = 2;
constexpr uint32_t kProfileNameSize = 16;  // "hardware", zero-padded

void fields_to_block(std::span<const Field> fields, uint8_t* block) {
  for (const Field& f : fields) {
    uint8_t* out = block + f.offset;
    const void* in = f.state();
    switch (f.encoding) {
      case Encoding::Bytes: std::memcpy(out, in, f.size); break;
      case Encoding::BigEndian16: {
        const uint16_t v = *static_cast<const uint16_t*>(in);
        out[0] = uint8_t(v >> 8);
        out[1] = uint8_t(v);
        break;
      }
      case Encoding::LittleEndian32: {
        const uint32_t v = *static_cast<const uint32_t*>(in);
        for (int i = 0; i < 4; ++i) out[i] = uint8_t(v >> (8 * i));
        break;
      }
    }
  }
}

void block_to_fields(std::span<const Field> fields, const uint8_t* block) {
  for (const Field& f : fields) {
    const uint8_t* in = block + f.offset;
    void* out = f.state();
    switch (f.encoding) {
      case Encoding::Bytes: std::memcpy(out, in, f.size); break;
      case Encoding::BigEndian16:
        *static_cast<uint16_t*>(out) = uint16_t(in[0] << 8 | in[1]);
        break;
      case Encoding::LittleEndian32:
        *static_cast<uint32_t*>(out) =
            uint32_t(in[0]) | uint32_t(in[1]) << 8 | uint32_t(in[2]) << 16 | uint32_t(in[3]) << 24;
        break;
    }
  }
}

uint32_t get_be32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

void put_be32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (24 - 8 * i));
}

void put_block_header(uint8_t* header, const char* tag, uint32_t length) {
  std::memcpy(header, tag, 4);
  put_be32(header + 4, kBlockVersion);
  put_be32(header + 8, length);
}

void report(const char* text, const char* caption) {
  host().message_box(text, caption, MessageButtons::Ok, MessageIcon::Exclamation, false);
}

// Reads the machine into the two blocks. Runs between frames.
void capture_state(SnssBuffers& w) {
  cpu_get_context(shadow_context);
  fields_to_block(kBaseRegisterFields, w.base_registers);
  std::memcpy(w.base_registers + kMarkerOffset, kMarker, sizeof kMarker);
  fields_to_block(kControllerFields, w.controllers);
  // Saving reads both ports as a game would, so each moves on by one bit.
  w.controllers[7] = uint8_t(ppu_read_register(0x4016, nullptr));
  w.controllers[6] = uint8_t(ppu_read_register(0x4017, nullptr));
  if (machine_profile == Profile::Hardware) {
    w.profile.assign(kProfileNameSize + hardware_state_size(), 0);
    std::strcpy(reinterpret_cast<char*>(w.profile.data()), profile_name(Profile::Hardware));
    hardware_state_save(w.profile.data() + kProfileNameSize);
  }
}

// The profile a state was saved in, from its profile block (none: classic).
Profile state_profile(const std::vector<uint8_t>& block) {
  Profile p = Profile::Classic;
  if (block.size() >= kProfileNameSize) {
    const std::string name(reinterpret_cast<const char*>(block.data()),
                           strnlen(reinterpret_cast<const char*>(block.data()), kProfileNameSize));
    if (!profile_from_name(name.c_str(), &p)) p = Profile::Hardware;  // a profile we do not know
  }
  return p;
}

// Puts the blocks that were read back into the machine. Runs between frames.
void apply_state(const SnssBuffers& w, bool base_registers, bool controllers) {
  if (state_profile(w.profile) != machine_profile) {
    report(machine_profile == Profile::Hardware
               ? "This state was saved without Hardware Accuracy. Turn Settings > Hardware "
                 "Accuracy off to load it."
               : "This state was saved with Hardware Accuracy. Turn Settings > Hardware Accuracy "
                 "on to load it.",
           "State Profile Mismatch");
    return;
  }
  if (machine_profile == Profile::Hardware && base_registers &&
      w.profile.size() == kProfileNameSize + hardware_state_size()) {
    hardware_state_load(w.profile.data() + kProfileNameSize);
  }
  if (base_registers) {
    cpu_get_context(shadow_context);
    block_to_fields(kBaseRegisterFields, w.base_registers);
    cpu_set_context(shadow_context);
  }
  if (controllers) {
    block_to_fields(kControllerFields, w.controllers);
    // A foreign file may hold any byte here; the port shifts its 24-bit stream by it.
    for (JoypadPort& port : joypad) port.bit_index = uint8_t(port.bit_index % kJoypadBits);
  }
}

// Skips a block's data. Steps of 1 GB keep each offset within a 32-bit long.
bool skip_block(std::FILE* f, uint32_t length) {
  while (length > 0) {
    const uint32_t step = std::min<uint32_t>(length, 0x40000000);
    if (std::fseek(f, long(step), SEEK_CUR) != 0) return false;
    length -= step;
  }
  return true;
}

// ".ss0" is appended unless the last four characters already hold ".ss" (exact case).
std::string save_name(const char* name) {
  std::string s(name);
  const size_t tail = s.size() < 4 ? 0 : s.size() - 4;
  if (s.find(".ss", tail) == std::string::npos) s += ".ss0";
  return s;
}

void report_write(bool ok) {
  if (!ok) report("Write Failed", "File I/O Error");
}

bool write_bytes(std::FILE* f, const uint8_t* bytes, size_t size) {
  return std::fwrite(bytes, 1, size, f) == size;
}

}  // namespace

bool machine_access_direct(const std::function<void()>& step) {
  if (!shadow_context) return false;
  step();
  return true;
}

SnssFile::~SnssFile() = default;

void SnssFile::state_save_snss(const char* name, MachineAccess access) {
  const std::string path = save_name(name);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    report("Failed To Open State", "File I/O Error");
    return;
  }
  // Unbuffered, so that a write that fails is seen by that write and reported after it.
  std::setvbuf(f, nullptr, _IONBF, 0);
  work_ = std::make_unique<SnssBuffers>();
  SnssBuffers& w = *work_;
  if (!access([&w] { capture_state(w); })) {
    // The run ended before its state could be read: leave no empty file behind.
    std::fclose(f);
    std::remove(path.c_str());
    work_.reset();
    return;
  }

  std::memcpy(w.file_header, "SNSS", 4);
  put_be32(w.file_header + 4, kBlocksWritten + (w.profile.empty() ? 0 : 1));
  report_write(write_bytes(f, w.file_header, sizeof w.file_header));

  put_block_header(w.block_header, "BASR", kSnssBaseRegistersSize);
  const bool header_written = write_bytes(f, w.block_header, sizeof w.block_header);
  report_write(write_bytes(f, w.base_registers, sizeof w.base_registers) && header_written);

  put_block_header(w.block_header, "CNTR", kSnssControllersSize);
  report_write(write_bytes(f, w.block_header, sizeof w.block_header));
  report_write(write_bytes(f, w.controllers, sizeof w.controllers));

  if (!w.profile.empty()) {
    put_block_header(w.block_header, "PROF", uint32_t(w.profile.size()));
    report_write(write_bytes(f, w.block_header, sizeof w.block_header));
    report_write(write_bytes(f, w.profile.data(), w.profile.size()));
  }

  std::fclose(f);
  work_.reset();
}

void SnssFile::state_load_snss(const char* name, MachineAccess access) {
  std::FILE* f = std::fopen(name, "rb");
  if (!f) {
    report("Failed To Open State", "File I/O Error");
    return;
  }
  work_ = std::make_unique<SnssBuffers>();
  SnssBuffers& w = *work_;
  // A file shorter than the header leaves the rest of it zero, so it counts no blocks.
  const size_t got = std::fread(w.file_header, 1, sizeof w.file_header, f);
  if (got < 4 || std::memcmp(w.file_header, "SNSS", 4) != 0) {
    report("SNSS File Signature not Found", "File Error");
    std::fclose(f);
    work_.reset();
    return;
  }

  // Each flag says its buffer holds a whole block. A block cut short by the end of the file is
  // not applied, since part of its buffer would be stale, and nothing can follow it.
  bool base_registers = false;
  bool controllers = false;
  const uint32_t count = get_be32(w.file_header + 4);
  for (uint32_t i = 0; i < count; ++i) {
    if (std::fread(w.block_header, 1, sizeof w.block_header, f) != sizeof w.block_header) break;
    const uint32_t version = get_be32(w.block_header + 4);
    const uint32_t length = get_be32(w.block_header + 8);
    if (std::memcmp(w.block_header, "BASR", 4) == 0 && version == kBlockVersion) {
      // Always the full 6,450 bytes, whatever the length field says.
      base_registers =
          std::fread(w.base_registers, 1, sizeof w.base_registers, f) == sizeof w.base_registers;
      if (!base_registers) break;
    } else if (std::memcmp(w.block_header, "CNTR", 4) == 0 && version == kBlockVersion) {
      controllers = std::fread(w.controllers, 1, sizeof w.controllers, f) == sizeof w.controllers;
      if (!controllers) break;
    } else if (std::memcmp(w.block_header, "PROF", 4) == 0 && version == kBlockVersion &&
               length >= kProfileNameSize && length <= kProfileNameSize + hardware_state_size()) {
      w.profile.assign(length, 0);
      if (std::fread(w.profile.data(), 1, length, f) != length) {
        w.profile.assign(kProfileNameSize, 0xFF);  // cut short: a profile, but no state to use
        break;
      }
    } else if (!skip_block(f, length)) {
      break;
    }
  }
  std::fclose(f);

  if (base_registers || controllers) {
    access([&] { apply_state(w, base_registers, controllers); });
  }
  work_.reset();
}
