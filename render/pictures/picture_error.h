#pragma once
// A picture that cannot be read or drawn. The page goes on without it: renderers catch this,
// draw an empty frame in the picture's place and note why.

#include <string>

#include "core/base/errors.h"

namespace cindral {

class PictureError : public CindralError {
  public:
    explicit PictureError(const std::string& message) : CindralError(message) {}
};

}  // namespace cindral
