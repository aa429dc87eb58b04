// The settings file reader and the options file reader on the input's bytes. What the reader
// accepts must survive being written and read again: the save at exit writes what was read
// at start-up.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/base/errors.h"
#include "core/environment/display_options.h"
#include "core/environment/settings.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace cindral;
    static const SettingsEnvironment environment = [] {
        SettingsEnvironment e;
        e.program_directory = fuzz::ScratchDirectory();
        e.user_directory = fuzz::ScratchDirectory();
        e.exe_base_name = "cindral";
        return e;
    }();
    const std::string path = fuzz::PutFile("cindral.Cn2", data, size);
    try {
        const SettingsReading reading = ReadSettingsFile(path, environment);
        const std::vector<uint8_t> once = EncodeSettings(reading.settings);
        Settings again = DecodeSettings(once);
        if (!RepairSettings(again, environment).empty()) std::abort();
        if (EncodeSettings(again) != once) std::abort();
    } catch (const CindralError&) {
    }
    try {
        const std::vector<uint8_t> bytes(data, data + size);
        const std::vector<uint8_t> written = EncodeDisplayOptions(DecodeDisplayOptions(bytes));
        // Only the two flags the viewer reads may change (any non-zero byte is written as 1);
        // every other byte belongs to other programs and is written back as it was.
        size_t changed = 0;
        for (size_t i = 0; i < bytes.size(); ++i) changed += written[i] != bytes[i];
        if (written.size() != bytes.size() || changed > 2) std::abort();
        if (EncodeDisplayOptions(DecodeDisplayOptions(written)) != written) std::abort();
    } catch (const CindralError&) {
    }
    return 0;
}
