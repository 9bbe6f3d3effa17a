// `vantrell-cli ips PATCH FILE`: applies an IPS patch to a file in place, after checking the whole
// patch, so that a malformed or truncated patch leaves the file untouched.
#pragma once

#include <string>
#include <vector>

// The command's entry in `vantrell-cli --help`.
extern const char* const kCliIpsHelp;

// args: the words after "ips". 0 when the patch was applied; 1 when the patch is malformed or
// truncated, or a file cannot be opened (the reason goes to standard error); 2 on wrong usage.
int cli_ips(const std::vector<std::string>& args);
