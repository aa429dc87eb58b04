#include "core/environment/display_options.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "core/base/atomic_file.h"
#include "core/base/errors.h"
#include "core/environment/status.h"
#include "core/format/byte_codec.h"

namespace cindral {

DisplayOptions DefaultDisplayOptions() {
    DisplayOptions options;
    ByteWriter w;
    w.Bool(false);
    w.Bool(false);
    w.Zeros(82);
    w.I32(500);
    w.I32(1);
    w.I32(16776960);  // cyan
    w.I32(1);
    options.Record = w.Take();
    return options;
}

std::vector<uint8_t> EncodeDisplayOptions(const DisplayOptions& options) {
    std::vector<uint8_t> record = options.Record;
    record.resize(kDisplayOptionsSize, 0);
    record[0] = options.BetaOptions ? 1 : 0;
    record[1] = options.DiagnosticStatusLayout ? 1 : 0;
    return record;
}

DisplayOptions DecodeDisplayOptions(const std::vector<uint8_t>& bytes) {
    if (bytes.size() != kDisplayOptionsSize) {
        throw CindralError("An options record has " + std::to_string(kDisplayOptionsSize) +
                           " bytes, not " + std::to_string(bytes.size()));
    }
    ByteReader r(bytes);
    DisplayOptions options;
    options.BetaOptions = r.Bool();
    options.DiagnosticStatusLayout = r.Bool();
    options.Record = bytes;
    return options;
}

DisplayOptions LoadDisplayOptions(const std::string& path) {
    {
        std::ifstream in(path, std::ios::binary);
        if (in) {
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
            if (!in.bad() && bytes.size() == kDisplayOptionsSize) {
                return DecodeDisplayOptions(bytes);
            }
        }
    }
    DisplayOptions options = DefaultDisplayOptions();
    try {
        SaveDisplayOptions(options, path);
    } catch (const IoError& e) {
        LogLine(std::string("Options: ") + e.what());
    }
    return options;
}

void SaveDisplayOptions(const DisplayOptions& options, const std::string& path) {
    WriteFileAtomically(path, EncodeDisplayOptions(options));
}

}  // namespace cindral
