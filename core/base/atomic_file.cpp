#include "core/base/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/base/errors.h"
#include "core/base/file_operations.h"

namespace cindral {
namespace {

namespace ops = file_operations;

std::string Folder(const std::string& path) {
    std::filesystem::path p(path);
    return p.has_parent_path() ? p.parent_path().string() : ".";
}

// The rename survives a crash only once the folder itself is on disk.
void SyncFolder(const std::string& path) {
    const int dir_fd = ::open(Folder(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir_fd >= 0) {
        ::fsync(dir_fd);
        ::close(dir_fd);
    }
}

// A file that is replaced keeps its permissions.
mode_t ModeFor(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode : 0644;
}

}  // namespace

AtomicFile::AtomicFile(std::string path, mode_t mode) : path_(std::move(path)) {
    const std::string folder = Folder(path_);
    temp_ = folder + "/." + std::filesystem::path(path_).filename().string() + ".XXXXXX";
    fd_ = ops::CreateTemporary(temp_.data());
    if (fd_ < 0) {
        const int code = errno;
        throw IoError("Cannot create a file in " + folder + ": " + std::strerror(code), code);
    }
    ::fchmod(fd_, mode & 07777);
}

AtomicFile::~AtomicFile() {
    if (committed_) return;
    if (fd_ >= 0) ::close(fd_);
    ::unlink(temp_.c_str());
}

void AtomicFile::Abandon(const std::string& what, int code) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    ::unlink(temp_.c_str());
    committed_ = true;  // nothing left for the destructor
    throw IoError(what + " " + path_ + ": " + std::strerror(code), code);
}

void AtomicFile::Write(const void* data, size_t size) {
    const auto* at = static_cast<const uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = ops::Write(fd_, at, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) Abandon("Cannot write", n < 0 ? errno : ENOSPC);
        at += n;
        size -= static_cast<size_t>(n);
    }
}

void AtomicFile::Finish() {
    if (fd_ < 0) return;
    if (ops::Sync(fd_) != 0) Abandon("Cannot write", errno);
    const int closed = ops::Close(fd_);
    fd_ = -1;
    if (closed != 0) Abandon("Cannot write", errno);
}

void AtomicFile::Commit() {
    Finish();
    if (ops::Rename(temp_.c_str(), path_.c_str()) != 0) Abandon("Cannot replace", errno);
    committed_ = true;
    SyncFolder(path_);
}

AtomicFile& AtomicFileGroup::Add(const std::string& path) {
    files_.push_back(std::make_unique<AtomicFile>(path, ModeFor(path)));
    return *files_.back();
}

void AtomicFileGroup::Commit() {
    for (const auto& file : files_) file->Finish();
    // Every file about to be replaced stays reachable under a second name until all new
    // files are in place. A file system without hard links (FAT) cannot keep one; there the
    // old file is renamed aside instead, which leaves its name empty for a moment.
    struct Replaced {
        AtomicFile* file;
        std::string kept;  // the old file's second name, empty when there was none
        bool renamed_in = false;
    };
    std::vector<Replaced> done;
    done.reserve(files_.size());
    auto put_back = [&] {
        for (const Replaced& r : done) {
            if (r.kept.empty()) {
                if (r.renamed_in) ::unlink(r.file->path_.c_str());
                continue;
            }
            // Over the new file, or back into an empty name; onto its own hard link rename
            // does nothing, and the unlink then drops the second name.
            ::rename(r.kept.c_str(), r.file->path_.c_str());
            ::unlink(r.kept.c_str());
        }
    };
    for (const auto& file : files_) {
        Replaced r{file.get(), {}};
        struct stat info {};
        if (::lstat(file->path_.c_str(), &info) == 0) {
            r.kept = file->temp_ + ".old";
            if (::link(file->path_.c_str(), r.kept.c_str()) != 0 &&
                ops::Rename(file->path_.c_str(), r.kept.c_str()) != 0) {
                const int code = errno;
                put_back();
                throw IoError("Cannot replace " + file->path_ + ": " + std::strerror(code), code);
            }
        }
        done.push_back(r);
        if (ops::Rename(file->temp_.c_str(), file->path_.c_str()) != 0) {
            const int code = errno;
            put_back();
            throw IoError("Cannot replace " + file->path_ + ": " + std::strerror(code), code);
        }
        done.back().renamed_in = true;
        file->committed_ = true;
    }
    for (const Replaced& r : done) {
        if (!r.kept.empty()) ::unlink(r.kept.c_str());
    }
    if (!files_.empty()) SyncFolder(files_.front()->path_);
}

std::string ReserveTemporaryBeside(const std::string& path) {
    const std::string folder = Folder(path);
    std::string temp = folder + "/." + std::filesystem::path(path).filename().string() + ".XXXXXX";
    const int fd = ops::CreateTemporary(temp.data());
    if (fd < 0) {
        const int code = errno;
        throw IoError("Cannot create a file in " + folder + ": " + std::strerror(code), code);
    }
    ::close(fd);
    return temp;
}

void PutInPlace(const std::string& temporary, const std::string& path, mode_t mode) {
    auto fail = [&](const std::string& what, int code) {
        ::unlink(temporary.c_str());
        throw IoError(what + " " + path + ": " + std::strerror(code), code);
    };
    const int fd = ::open(temporary.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) fail("Cannot write", errno);
    ::fchmod(fd, mode & 07777);
    if (ops::Sync(fd) != 0) {
        const int code = errno;
        ::close(fd);
        fail("Cannot write", code);
    }
    if (ops::Close(fd) != 0) fail("Cannot write", errno);
    if (ops::Rename(temporary.c_str(), path.c_str()) != 0) fail("Cannot replace", errno);
    SyncFolder(path);
}

void WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
    AtomicFile file(path, ModeFor(path));
    file.Write(bytes.data(), bytes.size());
    file.Commit();
}

}  // namespace cindral
