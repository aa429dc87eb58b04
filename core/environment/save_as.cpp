#include "core/environment/save_as.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "core/base/atomic_file.h"
#include "core/base/errors.h"

namespace cindral {

const char* const kBackupExtension = ".~BN";

namespace {

namespace fs = std::filesystem;

const char* const kCaption = "Cindral";

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

[[noreturn]] void Fail(const std::string& what, int code) {
    throw IoError(what + ": " + std::strerror(code), code);
}

// Renames without ever replacing an existing file: the ".~BN" name may belong to a file of
// the user's own.
bool RenameNoReplace(const std::string& from, const std::string& to, int& code) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    code = errno;
    if (code != EINVAL && code != ENOSYS) return false;
    // File systems without the flag: a link fails on an existing name just the same.
    if (::link(from.c_str(), to.c_str()) == 0) {
        if (::unlink(from.c_str()) == 0) return true;
        code = errno;
        ::unlink(to.c_str());
        return false;
    }
    code = errno;
    return false;
}

// `path` with its extension replaced by ".~BN"; a name already taken gets a number.
std::string FreeBackupName(const std::string& path) {
    fs::path p(path);
    fs::path stem = p.parent_path() / p.stem();
    for (int n = 1; n < 1000; ++n) {
        std::string candidate =
            stem.string() + (n == 1 ? "" : "(" + std::to_string(n) + ")") + kBackupExtension;
        std::error_code ignored;
        if (!fs::exists(fs::symlink_status(candidate, ignored))) return candidate;
    }
    throw IoError("No free name to move " + path + " aside", EEXIST);
}

bool SamePath(const std::string& a, const std::string& b) {
    std::error_code ignored;
    return fs::absolute(a, ignored).lexically_normal() ==
           fs::absolute(b, ignored).lexically_normal();
}

std::string UnableToSave(const std::string& target) {
    return "Unable to save file to " + target;
}

}  // namespace

SaveNameCheck CheckSaveName(const std::string& typed, const std::string& default_extension) {
    SaveNameCheck check;
    fs::path p(typed);
    std::string ext = p.extension().string();
    if (ext.empty() || ext == ".") {
        check.path = (ext == "." ? typed : typed + ".") + default_extension;
        return check;
    }
    check.path = typed;
    if (Lower(ext.substr(1)) != Lower(default_extension)) {
        check.ask_extension = true;
        check.question = p.filename().string() + " has an invalid file extension." +
                         "\r\n\r\nDo you want to save anyway?";
    }
    return check;
}

std::string OverwriteQuestion(const std::string& path) {
    return path + " already exists.\r\nDo you want to replace it?";
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    bool same = fs::equivalent(a, b, error);
    return !error && same;
}

void CopyFileReplacing(const std::string& source, const std::string& target) {
    int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) Fail("Cannot read " + source, errno);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{in};
    struct stat info {};
    if (::fstat(in, &info) != 0) Fail("Cannot read " + source, errno);
    // The copy keeps the log's permissions rather than mkstemp's private ones.
    AtomicFile out(target, info.st_mode);
    std::vector<char> buffer(1 << 16);
    for (;;) {
        ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) Fail("Cannot read " + source, errno);
        if (n == 0) break;
        out.Write(buffer.data(), static_cast<size_t>(n));
    }
    out.Commit();
}

SaveAsResult SaveLogAs(const std::string& current, const std::string& target, Ui& ui) {
    SaveAsResult result;
    result.document_file = current;
    std::string source = current;
    std::string backup;
    if (!SamePath(current, target) && SameFile(current, target)) {
        // Another name of the very same file (a link, or a letter-case variant where the
        // file system ignores case): the target already holds the log.
        result.saved = true;
        result.document_file = target;
        return result;
    }
    if (SamePath(current, target)) {
        backup = FreeBackupName(current);
        int code = 0;
        if (!RenameNoReplace(current, backup, code)) {
            ui.ShowMessage(MessageKind::Error, kCaption,
                           UnableToSave(target) + "\r\n\r\nThe log could not be moved aside: " +
                               std::strerror(code) + ".",
                           Buttons::Ok);
            return result;
        }
        source = backup;
        result.document_file = backup;
    }
    try {
        CopyFileReplacing(source, target);
    } catch (const IoError& e) {
        std::string where;
        if (!backup.empty()) {
            int code = 0;
            if (RenameNoReplace(backup, current, code)) {
                result.document_file = current;
            } else {
                // The moved file is the only copy of the log: the document stays on it.
                where = "\r\n\r\nThe log is kept as " + backup + ".";
            }
        }
        if (where.empty()) where = "\r\n\r\nThe log is unchanged in " + result.document_file + ".";
        ui.ShowMessage(MessageKind::Error, kCaption,
                       UnableToSave(target) + "\r\n\r\n" + e.what() + "." + where, Buttons::Ok);
        return result;
    }
    result.saved = true;
    result.document_file = target;
    if (!backup.empty() && ::unlink(backup.c_str()) != 0) {
        int code = errno;
        ui.ShowMessage(MessageKind::Information, kCaption,
                       "Unable to delete " + backup + ": error " + std::to_string(code) + " (" +
                           std::strerror(code) + ")",
                       Buttons::Ok);
    }
    return result;
}

}  // namespace cindral
