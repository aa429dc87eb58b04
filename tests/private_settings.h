#pragma once
// Window tests keep the viewer's settings (recent files, remembered views, zoom) in a folder
// of their own, so nothing a test does reaches the settings of the person running it.

#include <QSettings>
#include <cstdlib>

#include "temp_dir.h"

namespace cindral::testing {

class PrivateSettings {
  public:
    PrivateSettings() {
        setenv("XDG_CONFIG_HOME", home_.path().c_str(), 1);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                           QString::fromStdString(home_.path()));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(home_.path()));
    }

  private:
    TempDir home_;
};

}  // namespace cindral::testing
