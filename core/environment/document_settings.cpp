#include "core/environment/document_settings.h"

#include "core/libraries/library_paths.h"

namespace cindral {

DocumentSettings DocumentSettingsFrom(const Settings& settings, const std::string& data_directory,
                                      const std::string& pattern_override,
                                      const std::string& symbol_override) {
    DocumentSettings d;
    d.pattern_file = pattern_override.empty()
                         ? ResolveLibraryPath(settings.PatternFile, data_directory).path
                         : pattern_override;
    d.symbol_file = symbol_override.empty()
                        ? ResolveLibraryPath(settings.SymbolFile, data_directory).path
                        : symbol_override;
    d.default_page_length = settings.UnitsPerPage;
    return d;
}

}  // namespace cindral
