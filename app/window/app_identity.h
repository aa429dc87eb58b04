#pragma once
// Names the program shows about itself.

namespace cindral::app {

// The title of the application and its main window.
extern const char* const kApplicationTitle;

}  // namespace cindral::app
