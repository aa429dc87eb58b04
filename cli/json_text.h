#pragma once
// Text for the commands' JSON output.

#include <string>

namespace cindral::cli {

// `text` (UTF-8) as a JSON string, quotes included.
std::string JsonString(const std::string& text);

}  // namespace cindral::cli
