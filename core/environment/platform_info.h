#pragma once
// The few facts about the system the start-up log records. There is no version resource or
// operating-system version query here, so both give fixed answers for a modern system.

#include <string>

namespace cindral {

// "Windows 95", "Windows 98", "Windows NT", "Windows 2000" or "Unknown" for the platform
// (1 consumer, 2 NT) and version, followed by ": platform.major.minor".
std::string WindowsVersionText(int platform, int major, int minor);
// The text for the running system.
std::string WindowsVersionText();

// The program version: four dot-separated numbers from a version resource, or
// "2003.?.?.?" when the program file carries none (always the case here).
std::string ProgramVersionText();

}  // namespace cindral
