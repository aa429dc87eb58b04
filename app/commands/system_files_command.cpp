#include "app/commands/system_files_command.h"

#include <QWidget>

#include "app/dialogs/system_files_dialog.h"

namespace cindral::app {

void SystemFiles1Click(const CommandContext& context) {
    TSysFilesDlg dialog(context.settings, &context.parent);
    dialog.exec();
}

}  // namespace cindral::app
