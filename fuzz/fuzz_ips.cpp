// Applies a patch to a target, both taken from the input: two bytes (little-endian) give the
// target's length, the target follows, the rest is the patch. The whole-patch check, applying
// record by record and the command line must agree:
// - the check accepts exactly the patches that apply to the end, and refuses the others with the
//   message that applying shows;
// - the command line patches as applying does when the check accepts, and otherwise refuses
//   with status 1 and leaves the target as it was.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cart/ips_patcher.h"
#include "fuzz_support.h"
#include "shell/headless/cli_ips.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static QuietHost quiet;
  static const ScratchFile patch("patch.ips"), applied("applied.bin"), target("target.bin");
  if (size < 2) return 0;
  const size_t target_size = std::min<size_t>(size - 2, size_t(data[0] | data[1] << 8));
  const std::vector<uint8_t> original(data + 2, data + 2 + target_size);
  patch.write(data + 2 + target_size, size - 2 - target_size);
  applied.write(original.data(), original.size());
  target.write(original.data(), original.size());

  host_install(&quiet);
  const IpsError check = ips_check(patch.path());
  quiet.failure.clear();
  const bool applied_whole = IpsPatcher().ips_apply(patch.path(), applied.path()) == 0;
  if (applied_whole != (check == IpsError::None)) __builtin_trap();
  if (!applied_whole && quiet.failure != ips_error_text(check)) __builtin_trap();

  const int status = cli_ips({patch.path(), target.path()});
  if (status != (applied_whole ? 0 : 1)) __builtin_trap();
  if (target.read() != (applied_whole ? applied.read() : original)) __builtin_trap();
  return 0;
}
