// The two ways to run the machine. Classic is the simplified model the system was first built
// on (fixed instruction costs, whole-line rendering); hardware follows the console cycle by
// cycle and dot by dot. The profile is chosen at power-on and holds until power-off.
#pragma once

#include <atomic>
#include <cstdint>

enum class Profile : uint8_t { Classic = 0, Hardware = 1 };

// The profile the next power-on starts; set by the window or the command line.
extern std::atomic<Profile> profile_choice;
// The profile of the machine that runs now (set by power-on).
extern Profile machine_profile;

// "classic" or "hardware": the value of the Profile setting and of a state's profile tag.
const char* profile_name(Profile p);
// Parses a profile name; false (and *out untouched) for any other text.
bool profile_from_name(const char* name, Profile* out);
