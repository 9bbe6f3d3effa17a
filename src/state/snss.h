// Save states in the SNSS block format: a file header, then tagged blocks. Only the base-register
// block (CPU registers, RAM, sprite memory, name tables, palette, a few PPU registers) and the
// controller block are written; a load applies those two and skips every other block.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

struct SnssBuffers;

inline constexpr uint32_t kSnssFileHeaderSize = 8;
inline constexpr uint32_t kSnssBlockHeaderSize = 12;
inline constexpr uint32_t kSnssBaseRegistersSize = 6450;
inline constexpr uint32_t kSnssControllersSize = 24;
inline constexpr uint32_t kSnssFileSize =
    kSnssFileHeaderSize + 2 * kSnssBlockHeaderSize + kSnssBaseRegistersSize + kSnssControllersSize;

// Runs the step that reads or replaces the machine state and says whether it ran. The window's
// commands pass emulation_call, so that the step lands between two frames; a caller that drives
// the machine itself (no emulation thread) runs it directly.
using MachineAccess = bool (*)(const std::function<void()>& step);
// Runs the step at once when a machine is powered on.
bool machine_access_direct(const std::function<void()>& step);

class SnssFile {
 public:
  SnssFile() = default;
  SnssFile(const SnssFile&) = delete;
  SnssFile& operator=(const SnssFile&) = delete;
  virtual ~SnssFile();

  // Reads a state file and applies its blocks to the running machine. Failures are reported in
  // message boxes.
  void state_load_snss(const char* name, MachineAccess access = machine_access_direct);
  // Writes the machine state to name, with ".ss0" appended unless the name's last four
  // characters contain ".ss". Failures are reported in message boxes.
  void state_save_snss(const char* name, MachineAccess access = machine_access_direct);

 private:
  // The work buffers of one load or save, allocated zeroed at its start and freed at its end.
  std::unique_ptr<SnssBuffers> work_;
};

extern SnssFile snss_file;
