#include "app/commands/help_command.h"

#include <QCoreApplication>
#include <QWidget>

#include "app/dialogs/about_dialog.h"
#include "app/dialogs/help_dialog.h"
#include "core/environment/directories.h"
#include "core/environment/display_options.h"

namespace cindral::app {

void Contents1Click(const CommandContext& context) {
    ShowHelpTopic(help_topic::kContents, &context.parent);
}

void Index1Click(const CommandContext& context) {
    ShowHelpTopic(help_topic::kIndex, &context.parent);
}

void AboutCindral1Click(const CommandContext& context, DisplayOptions* options) {
    DisplayOptions unsaved = DefaultDisplayOptions();
    TAboutDialog about("Cindral 2003", QCoreApplication::applicationFilePath(),
                       options ? *options : unsaved, QString::fromStdString(OptionsFilePath()),
                       &context.parent);
    about.exec();
}

}  // namespace cindral::app
