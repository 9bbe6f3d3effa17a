// The IPS patcher: applies a patch in the IPS format to a file on disk, in place, and reports its
// progress and failures in message boxes. It works on files only, never on the loaded game.
//
// An IPS file (numbers big-endian): "PATCH"; records of a 3-byte offset and a 2-byte size, then
// size data bytes, or for size 0 a 2-byte run count and a run value; the offset "EOF" ends the
// records; an optional 3-byte length after it truncates or extends the target.
#pragma once

#include <cstdint>

// Why a patch cannot be applied. The message texts are the patcher's own.
enum class IpsError { None, OpenFailed, InvalidFile, UnexpectedEnd };

// "Failed to open file!", "Invalid IPS file.", "Unexpected Error: End of File.", or null for None.
const char* ips_error_text(IpsError error);

// Reads the whole patch at ips_path into memory and walks its records without writing anything:
// None when ips_apply would read it to the end, else the failure ips_apply would report
// (OpenFailed also for a path that is not a regular file or a read that fails).
IpsError ips_check(const char* ips_path);

class IpsPatcher {
 public:
  virtual ~IpsPatcher() = default;

  // Patches target_path with ips_path, record by record as the patch is read: 0 when the patch
  // was applied to the end, 1 on any failure, each after its message box (no owner). Records
  // written before a failure stay written; there is no undo.
  int ips_apply(const char* ips_path, const char* target_path);
};
