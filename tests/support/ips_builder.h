// Builds IPS patches in memory for tests: records are added in order, numbers big-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct IpsBuilder {
  std::vector<uint8_t> bytes;

  IpsBuilder() {
    const char magic[] = "PATCH";
    bytes.assign(magic, magic + 5);
  }

  IpsBuilder& number(uint32_t value, int width) {
    for (int i = width - 1; i >= 0; --i) bytes.push_back(uint8_t(value >> (8 * i)));
    return *this;
  }
  IpsBuilder& data(uint32_t offset, const std::vector<uint8_t>& data) {
    number(offset, 3).number(uint32_t(data.size()), 2);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return *this;
  }
  IpsBuilder& run(uint32_t offset, uint16_t count, uint8_t value) {
    return number(offset, 3).number(0, 2).number(count, 2).number(value, 1);
  }
  IpsBuilder& end() { return number(0x454F46, 3); }
  // Drops the last n bytes, to cut a patch inside a record.
  IpsBuilder& cut(size_t n) {
    bytes.erase(bytes.end() - std::ptrdiff_t(n), bytes.end());
    return *this;
  }
};
