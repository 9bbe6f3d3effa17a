#include "machine/profile.h"

#include <cstring>

std::atomic<Profile> profile_choice{Profile::Classic};
Profile machine_profile = Profile::Classic;

const char* profile_name(Profile p) { return p == Profile::Hardware ? "hardware" : "classic"; }

bool profile_from_name(const char* name, Profile* out) {
  for (Profile p : {Profile::Classic, Profile::Hardware}) {
    if (name && std::strcmp(name, profile_name(p)) == 0) {
      *out = p;
      return true;
    }
  }
  return false;
}
