#include "shell/headless/cli_ips.h"

#include <cstdio>
#include <string>

#include "cart/ips_patcher.h"
#include "shell/host.h"

const char* const kCliIpsHelp =
    R"(  vantrell-cli ips PATCH FILE
      Applies the IPS patch PATCH to FILE in place. The whole patch is checked first: a
      malformed or truncated patch is reported and FILE is left untouched.
)";

namespace {

// Keeps the patcher's progress boxes quiet and holds on to its failure text.
class QuietPatchHost : public HeadlessHost {
 public:
  MessageResult message_box(const char* text, const char*, MessageButtons, MessageIcon icon,
                            bool) override {
    if (icon == MessageIcon::Exclamation) failure = text;
    return MessageResult::Ok;
  }
  std::string failure;
};

int ips_failure(const char* text) {
  std::fprintf(stderr, "vantrell-cli: %s\n", text);
  return 1;
}

}  // namespace

int cli_ips(const std::vector<std::string>& args) {
  if (args.size() != 2 || args[0].rfind("--", 0) == 0 || args[1].rfind("--", 0) == 0) {
    std::fputs("Usage: vantrell-cli ips PATCH FILE\nTry 'vantrell-cli --help'.\n", stderr);
    return 2;
  }
  const IpsError error = ips_check(args[0].c_str());
  if (error != IpsError::None) return ips_failure(ips_error_text(error));

  Host* previous = &host();
  QuietPatchHost quiet;
  host_install(&quiet);
  IpsPatcher patcher;
  const int result = patcher.ips_apply(args[0].c_str(), args[1].c_str());
  host_install(previous);
  return result == 0 ? 0 : ips_failure(quiet.failure.c_str());
}
