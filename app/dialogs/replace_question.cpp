#include "app/dialogs/replace_question.h"

#include <QFileInfo>

#include "core/environment/save_as.h"
#include "core/environment/ui.h"

namespace cindral::app {

bool MayReplace(const QString& path, QLineEdit* name_field) {
    if (!QFileInfo::exists(path)) return true;
    const Answer answer = CurrentUi().ShowMessage(
        MessageKind::Confirmation, "", OverwriteQuestion(path.toStdString()), Buttons::YesNo);
    if (answer == Answer::Yes) return true;
    name_field->setFocus();
    name_field->selectAll();
    return false;
}

}  // namespace cindral::app
