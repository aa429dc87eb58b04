#pragma once
// Replacing a file without ever leaving it half written: the new bytes go to a temporary file
// in the same folder, are flushed to disk and renamed over the old file, and the folder is
// flushed so the rename survives a crash. Until Commit() succeeds the old file is untouched;
// on any failure the temporary file is removed. Every step goes through file_operations.

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace cindral {

class AtomicFile {
  public:
    // Makes the temporary file; `mode` is what the finished file gets (mkstemp's files are
    // private). IoError "Cannot create a file in <folder>: <reason>".
    explicit AtomicFile(std::string path, mode_t mode = 0644);
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    // Removes the temporary file unless Commit() succeeded.
    ~AtomicFile();

    // IoError "Cannot write <path>: <reason>" (a full disk included).
    void Write(const void* data, size_t size);
    // Flushes and closes the temporary file, which then waits for Commit(); no more Write.
    // IoError "Cannot write <path>: <reason>"; the temporary file is then removed.
    void Finish();
    // Finishes and renames over the target. IoError "Cannot write <path>: <reason>" or
    // "Cannot replace <path>: <reason>"; the target is then as it was.
    void Commit();

    const std::string& path() const { return path_; }

  private:
    friend class AtomicFileGroup;
    [[noreturn]] void Abandon(const std::string& what, int code);

    std::string path_;
    std::string temp_;
    int fd_ = -1;
    bool committed_ = false;
};

// Files that appear together or not at all (a table and the pictures it names). Each is
// written to its own temporary file and finished; Commit() renames them into place one by
// one, keeping a hard link to every file it replaces until all are in place, so a rename
// that fails puts the old files back and removes the new ones. Until then, and on any
// failure or when the group is dropped, the targets are as they were and no temporary file
// remains.
class AtomicFileGroup {
  public:
    AtomicFileGroup() = default;
    AtomicFileGroup(const AtomicFileGroup&) = delete;
    AtomicFileGroup& operator=(const AtomicFileGroup&) = delete;

    // Starts the temporary file of `path`; a file that is replaced keeps its permissions.
    // IoError as AtomicFile's.
    AtomicFile& Add(const std::string& path);
    // Finishes every file and puts them all in place. IoError as AtomicFile's.
    void Commit();

  private:
    std::vector<std::unique_ptr<AtomicFile>> files_;
};

// For writers that need a file name of their own (a printer printing to a file): a new empty
// private temporary file beside `path`, and then, once it is written, PutInPlace flushes it
// and renames it over `path`. IoError as AtomicFile's; on failure the temporary file is
// removed and `path` is untouched.
std::string ReserveTemporaryBeside(const std::string& path);
void PutInPlace(const std::string& temporary, const std::string& path, mode_t mode = 0644);

// The whole of `bytes` through an AtomicFile. Raises its IoError; the old file is then
// intact.
void WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace cindral
