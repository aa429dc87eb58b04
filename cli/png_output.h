#pragma once
// Writing a picture the CLI drew as a PNG file.

#include <QImage>
#include <string>

namespace cindral::cli {

// Saves `image` as PNG at `path`; CindralError "Cannot write PATH." when it cannot.
void SavePng(const QImage& image, const std::string& path);

}  // namespace cindral::cli
