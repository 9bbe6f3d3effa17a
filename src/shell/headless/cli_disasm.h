// `vantrell-cli disasm`: the disassembly of a cartridge's program area as mapped at power-on.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// The command's lines for the tool's help text.
extern const char* const kCliDisasmHelp;

// Runs `disasm` on the words after it: ROM [--from HEX] [--count N]. Prints one line
// "AAAA  BB BB BB  TEXT" per instruction to `out`. Returns 0, 1 when the ROM cannot be loaded
// (message on `err`), or 2 for wrong usage.
int cli_disasm(const std::vector<std::string>& args, std::FILE* out = stdout,
               std::FILE* err = stderr);
