#pragma once
// The few facts about the system and the program the start-up log and the about box show.
// There is no operating-system version query here, so it gives a fixed answer for a modern
// system; the program's version and build date come from the build.

#include <string>

namespace cindral {

// "Windows 95", "Windows 98", "Windows NT", "Windows 2000" or "Unknown" for the platform
// (1 consumer, 2 NT) and version, followed by ": platform.major.minor".
std::string WindowsVersionText(int platform, int major, int minor);
// The text for the running system.
std::string WindowsVersionText();

// The program version: the project's version as four dot-separated numbers
// (major.minor.release.build).
std::string ProgramVersionText();
// The day the program was built, "yyyy-mm-dd" (UTC).
std::string ProgramBuildDate();

}  // namespace cindral
