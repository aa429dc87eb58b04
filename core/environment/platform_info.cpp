#include "core/environment/platform_info.h"

#include <cstdio>

#include "cindral_build_date.h"

namespace cindral {

std::string WindowsVersionText(int platform, int major, int minor) {
    std::string name;
    if (platform == 1) {
        name = std::string("Windows ") + (major > 4 || (major == 4 && minor > 0) ? "98" : "95");
    } else if (platform == 2) {
        name = std::string("Windows ") + (major > 4 ? "2000" : "NT");
    } else {
        name = "Unknown";
    }
    char text[128];
    std::snprintf(text, sizeof text, "%s: %d.%d.%d", name.c_str(), platform, major, minor);
    return text;
}

std::string WindowsVersionText() {
    // A current system answers as the NT family, version 10.0.
    return WindowsVersionText(2, 10, 0);
}

std::string ProgramVersionText() {
    return CINDRAL_VERSION;
}

std::string ProgramBuildDate() {
    return CINDRAL_BUILD_DATE;
}

}  // namespace cindral
