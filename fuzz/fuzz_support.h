#pragma once
// What the fuzz targets share: a private scratch folder for the loaders that read from a
// path. Every target catches CindralError only: the system's own refusals end an input
// quietly, anything else escaping is a finding.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/base/errors.h"

namespace cindral::fuzz {

// A folder of this process's own, made once and left for the system's temp cleaning.
inline const std::string& ScratchDirectory() {
    static const std::string dir = [] {
        std::string name = "/tmp/cindral-fuzz-XXXXXX";
        if (!::mkdtemp(name.data())) std::abort();
        return name + "/";
    }();
    return dir;
}

// Writes the input to `name` in the scratch folder and returns the path.
inline std::string PutFile(const std::string& name, const uint8_t* data, size_t size) {
    std::string path = ScratchDirectory() + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
    return path;
}

// The default libraries, built beside the fuzz targets.
inline std::string LibraryPath(const std::string& name) {
    return std::string(CINDRAL_FUZZ_BIN_DIR) + "/" + name;
}

}  // namespace cindral::fuzz
