// Writers for the files the headless tool produces: PNG pictures and WAV sound.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes an 8-bit RGB picture (width × height × 3 bytes, rows top to bottom). False on failure.
bool write_png(const std::string& path, const std::vector<uint8_t>& rgb, uint32_t width,
               uint32_t height);
// Writes unsigned 8-bit mono samples as a WAV file. False on failure.
bool write_wav(const std::string& path, const std::vector<uint8_t>& samples, uint32_t rate);
