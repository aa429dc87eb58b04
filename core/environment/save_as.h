#pragma once
// Save As: a copy of the open compiled log under a new name. The copy is written to a
// temporary file in the target's folder and renamed over the target, so the target is
// either the old file or the complete copy, never half of one. Saving onto the log's own
// name first moves the log aside to a ".~BN" name, copies it back and then deletes the
// ".~BN" file; if anything fails the ".~BN" file is moved back, so the user never loses
// the log and is told where it is.

#include <string>

#include "core/environment/ui.h"

namespace cindral {

// Extension of the name the open log is moved to while it is saved onto itself.
extern const char* const kBackupExtension;  // ".~BN"

// What the Save dialog does with a typed name before accepting it.
struct SaveNameCheck {
    // The name to save to: a name without extension gets "." + the default one.
    std::string path;
    // The name carries another extension than the default (compared without case); the
    // user must be asked whether to save anyway.
    bool ask_extension = false;
    // The question to ask then (Yes: save, No: keep the dialog open).
    std::string question;
};

SaveNameCheck CheckSaveName(const std::string& typed, const std::string& default_extension);

// The question asked before an existing file is replaced.
std::string OverwriteQuestion(const std::string& path);

// True when both names lead to the same file on disk (same name, any link, or a letter case
// variant on a file system that ignores case). False when `b` does not exist.
bool SameFile(const std::string& a, const std::string& b);

struct SaveAsResult {
    bool saved = false;
    // The name the document's log is under afterwards: the target after a save, else the
    // name that holds the log (normally the one it had).
    std::string document_file;
};

// Copies the log `current` to `target`, replacing `target`. Failures are shown through `ui`
// ("Unable to save file to " + target, with the reason and where the log is) and never
// raised; a failed delete of the ".~BN" file after a good copy is shown as a plain message
// with the error number.
SaveAsResult SaveLogAs(const std::string& current, const std::string& target, Ui& ui);

// Copies `source` to `target` through a temporary file in the target's folder and a rename.
// Raises IoError naming what failed; `target` is then untouched and no temporary remains.
void CopyFileReplacing(const std::string& source, const std::string& target);

}  // namespace cindral
