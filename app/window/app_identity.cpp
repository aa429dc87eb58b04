#include "app/window/app_identity.h"

namespace cindral::app {

const char* const kApplicationTitle = "Quentara Cindral 2003";

}  // namespace cindral::app
