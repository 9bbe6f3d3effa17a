#include "shell/headless/cli_disasm.h"

#include <cstdint>

#include "cart/cartridge.h"
#include "debug/disassembler.h"
#include "machine/machine.h"
#include "machine/profile.h"
#include "shell/headless/cli_common.h"

const char* const kCliDisasmHelp =
    R"(  vantrell-cli disasm ROM [--from HEX] [--count N] [--hardware]
      Maps the program banks as at power-on and prints one line "AAAA  BB BB BB  TEXT" per
      instruction of $8000-$FFFF, from address HEX (default 8000) for N instructions (default:
      until $FFFF is passed). "??" marks bytes past the end of the program data. --hardware
      decodes the undocumented opcodes too, as the hardware profile runs them.
)";

namespace {

struct DisasmArgs {
  std::string rom;
  uint32_t from = 0x8000;
  uint32_t count = UINT32_MAX;  // by default, until $FFFF is passed
};

bool parse_disasm_args(const std::vector<std::string>& args, DisasmArgs* out, std::string* error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--from" || a == "--count") {
      if (i + 1 >= args.size()) {
        *error = "option " + a + " needs a value";
        return false;
      }
      const std::string& value = args[++i];
      const bool ok = a == "--from" ? cli_parse_number(value, 16, 0x8000, 0xFFFF, &out->from)
                                    : cli_parse_number(value, 10, 0, 100000000, &out->count);
      if (!ok) {
        *error = "bad value '" + value + "' for " + a;
        return false;
      }
    } else if (a == "--hardware") {
      profile_choice = Profile::Hardware;
    } else if (a.rfind("--", 0) == 0) {
      *error = "unknown option '" + a + "' for disasm";
      return false;
    } else if (out->rom.empty()) {
      out->rom = a;
    } else {
      *error = "unexpected argument '" + a + "'";
      return false;
    }
  }
  if (out->rom.empty()) {
    *error = "disasm needs a ROM file";
    return false;
  }
  return true;
}

void print_instruction(std::FILE* out, uint32_t address, const DebugInstruction& in) {
  char bytes[9];
  debug_bytes_text(in, bytes);
  std::fprintf(out, "%04X  %-8s  %s\n", address, bytes, in.text);
}

}  // namespace

int cli_disasm(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  DisasmArgs a;
  std::string error;
  if (!parse_disasm_args(args, &a, &error)) return cli_usage_error(error, err);

  const LoadResult load = cartridge.cartridge_load(a.rom.c_str());
  if (!cli_loaded(load)) {
    cartridge.cartridge_unload();
    return cli_load_failure(load, err);
  }
  // Power-on installs the mapper, which maps the program banks games start with.
  machine_power_on();
  const DebugMemory mem = debug_memory(*shadow_context);
  uint32_t address = a.from;
  for (uint32_t i = 0; address <= 0xFFFF && i < a.count; ++i) {
    const DebugInstruction in = debug_decode(mem, address);
    print_instruction(out, address, in);
    address += uint32_t(in.length);
  }
  machine_power_off();
  return kExitOk;
}
