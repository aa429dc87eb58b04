#pragma once
// Document options on the pattern and symbol libraries built beside the test programs.

#include "render/document/log_document.h"
#include "temp_dir.h"

namespace cindral::testing {

inline LogDocumentOptions BundledLibraryOptions() {
    LogDocumentOptions options;
    options.files.pattern_file = BinDir() + "/QuenUtil.Pat";
    options.files.symbol_file = BinDir() + "/QuenUtil.Sym";
    return options;
}

}  // namespace cindral::testing
