#pragma once
// The question an export dialog asks before its file replaces one already there.

#include <QLineEdit>
#include <QString>

namespace cindral::app {

// True when `path` does not exist or the user agrees to replace it; otherwise the name
// field gets the focus with its text selected, for another name.
bool MayReplace(const QString& path, QLineEdit* name_field);

}  // namespace cindral::app
