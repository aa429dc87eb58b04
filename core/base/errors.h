#pragma once
// Exceptions of the core and render layers. what() is the text the user is shown.

#include <stdexcept>
#include <string>

namespace cindral {

// Quotes a path for messages: "name".
inline std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

// A failure whose message is meant for the user as it stands.
class CindralError : public std::runtime_error {
  public:
    explicit CindralError(const std::string& message) : std::runtime_error(message) {}
};

// An input/output failure of a file operation; `code` is errno or 0 (e.g. a short read).
class IoError : public CindralError {
  public:
    IoError(const std::string& message, int code) : CindralError(message), code_(code) {}
    int code() const { return code_; }

  private:
    int code_;
};

// A request to stop long work, raised after the user confirmed Cancel.
class Cancelled : public CindralError {
  public:
    Cancelled() : CindralError("cancelled") {}
};

}  // namespace cindral
