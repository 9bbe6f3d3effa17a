// A minimal writer of uncompressed 24-bit BMP files (Windows bitmap, BITMAPINFOHEADER).
#pragma once

#include <cstdint>

// Writes width × height pixels of 0x00RRGGBB (rows top to bottom, `stride` pixels apart) as a
// 24-bit BMP: rows stored bottom-up in blue, green, red order, each padded to 4 bytes.
// False when the file cannot be written.
bool write_bmp(const char* file_name, const uint32_t* pixels, int width, int height, int stride);
