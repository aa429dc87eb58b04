#include "cli/png_output.h"

#include "core/base/errors.h"

namespace cindral::cli {

void SavePng(const QImage& image, const std::string& path) {
    if (!image.save(QString::fromStdString(path), "PNG")) {
        throw CindralError("Cannot write " + path + ".");
    }
}

}  // namespace cindral::cli
