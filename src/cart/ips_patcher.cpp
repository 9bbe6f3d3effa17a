#include "cart/ips_patcher.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "shell/host.h"

namespace {

constexpr char kIpsMagic[] = "PATCH";
constexpr uint32_t kIpsEndOffset = 0x454F46;  // "EOF" where an offset would be

// Indexed by IpsError.
const char* const kIpsErrorTexts[] = {nullptr, "Failed to open file!", "Invalid IPS file.",
                                      "Unexpected Error: End of File."};

// The patch's bytes in order: from the open file while applying, from memory while checking.
struct IpsReader {
  std::FILE* file = nullptr;
  const std::vector<uint8_t>* bytes = nullptr;
  size_t pos = 0;

  // The next byte, or -1 at the end of the patch (a read error counts as the end).
  int next() {
    if (file) return std::fgetc(file);
    return pos < bytes->size() ? (*bytes)[pos++] : -1;
  }

  // A big-endian number of `width` bytes; false when the patch ends first.
  bool number(int width, uint32_t* out) {
    uint32_t value = 0;
    for (int i = 0; i < width; ++i) {
      const int c = next();
      if (c < 0) return false;
      value = value << 8 | uint32_t(c);
    }
    *out = value;
    return true;
  }
};

bool ips_read_magic(IpsReader& in) {
  for (const char* m = kIpsMagic; *m; ++m) {
    if (in.next() != uint8_t(*m)) return false;
  }
  return true;
}

// A record's head. A data record's `size` bytes follow it in the patch; the caller reads them,
// so that applying can write each byte as it is read.
struct IpsRecord {
  uint32_t offset = 0;
  uint32_t size = 0;  // 0: a run record
  uint32_t run_count = 0;
  uint32_t run_value = 0;
};

enum class IpsStep { Record, End, Truncated };

IpsStep ips_read_record(IpsReader& in, IpsRecord* r) {
  if (!in.number(3, &r->offset)) return IpsStep::Truncated;
  if (r->offset == kIpsEndOffset) return IpsStep::End;
  if (!in.number(2, &r->size)) return IpsStep::Truncated;
  if (r->size == 0 && (!in.number(2, &r->run_count) || !in.number(1, &r->run_value))) {
    return IpsStep::Truncated;
  }
  return IpsStep::Record;
}

// Only a regular file is a patch: a directory may open but cannot be read, and a FIFO would wait
// for a writer. Both count as a patch that cannot be opened.
std::FILE* open_patch(const char* path) {
  std::error_code error;
  if (!path || !std::filesystem::is_regular_file(path, error)) return nullptr;
  return std::fopen(path, "rb");
}

// False when the file cannot be opened or a read fails before its end.
bool read_whole_file(const char* path, std::vector<uint8_t>* out) {
  std::FILE* f = open_patch(path);
  if (!f) return false;
  uint8_t chunk[16384];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
    out->insert(out->end(), chunk, chunk + got);
  }
  const bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

void ips_message(const char* text, const char* caption, MessageIcon icon) {
  host().message_box(text, caption, MessageButtons::Ok, icon, false);
}

int ips_fail(IpsError error) {
  ips_message(ips_error_text(error), "File Error.", MessageIcon::Exclamation);
  return 1;
}

void ips_write_repeated(std::FILE* target, uint32_t count, uint8_t value) {
  for (uint32_t i = 0; i < count; ++i) std::fputc(value, target);
}

// Puts the target's file position at offset; an offset past the end first extends the target
// with zero bytes up to it.
void ips_position(std::FILE* target, uint32_t offset, int64_t* length) {
  if (offset <= *length) {
    std::fseek(target, long(offset), SEEK_SET);
    return;
  }
  std::fseek(target, 0, SEEK_END);
  ips_write_repeated(target, uint32_t(offset - *length), 0);
  *length = offset;
}

// Copies a data record from the patch to the target byte by byte; false when the patch ends
// inside it (the bytes copied so far stay written).
bool ips_copy_data(IpsReader& in, std::FILE* target, uint32_t size) {
  for (uint32_t i = 0; i < size; ++i) {
    const int c = in.next();
    if (c < 0) return false;
    std::fputc(c, target);
  }
  return true;
}

}  // namespace

const char* ips_error_text(IpsError error) { return kIpsErrorTexts[int(error)]; }

IpsError ips_check(const char* ips_path) {
  std::vector<uint8_t> bytes;
  if (!read_whole_file(ips_path, &bytes)) return IpsError::OpenFailed;
  IpsReader in{nullptr, &bytes};
  if (!ips_read_magic(in)) return IpsError::InvalidFile;
  IpsRecord r;
  IpsStep step;
  while ((step = ips_read_record(in, &r)) == IpsStep::Record) {
    if (in.pos + r.size > bytes.size()) return IpsError::UnexpectedEnd;
    in.pos += r.size;
  }
  return step == IpsStep::End ? IpsError::None : IpsError::UnexpectedEnd;
}

int IpsPatcher::ips_apply(const char* ips_path, const char* target_path) {
  std::FILE* ips = open_patch(ips_path);
  if (!ips) return ips_fail(IpsError::OpenFailed);
  IpsReader in{ips};
  if (!ips_read_magic(in)) {
    std::fclose(ips);
    return ips_fail(IpsError::InvalidFile);
  }
  std::FILE* target = target_path ? std::fopen(target_path, "r+b") : nullptr;
  if (!target) {
    std::fclose(ips);
    return ips_fail(IpsError::OpenFailed);
  }
  std::fseek(target, 0, SEEK_END);
  int64_t length = std::ftell(target);  // raised whenever a record ends past it
  std::fseek(target, 0, SEEK_SET);
  ips_message("Applying Patch.", "Patching.", MessageIcon::Information);

  IpsRecord r;
  IpsStep step;
  while ((step = ips_read_record(in, &r)) == IpsStep::Record) {
    ips_position(target, r.offset, &length);
    const uint32_t count = r.size ? r.size : r.run_count;
    if (r.offset + count > length) length = r.offset + count;
    if (r.size == 0) {
      ips_write_repeated(target, r.run_count, uint8_t(r.run_value));
    } else if (!ips_copy_data(in, target, r.size)) {
      step = IpsStep::Truncated;
      break;
    }
  }
  std::fclose(target);
  if (step == IpsStep::Truncated) {
    std::fclose(ips);
    return ips_fail(IpsError::UnexpectedEnd);
  }

  uint32_t new_length;
  if (in.number(3, &new_length)) {
    std::error_code ignored;  // a target that cannot be opened stays as it is
    std::filesystem::resize_file(target_path, new_length, ignored);
  }
  ips_message("Finished Patching file.", "Done.", MessageIcon::Information);
  std::fclose(ips);
  return 0;
}
