#include "core/format/gdx_header.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <sstream>

#include "core/base/atomic_file.h"
#include "core/base/errors.h"
#include "core/environment/error_table.h"
#include "core/format/file_object.h"

namespace cindral {

const char* const kObsoleteFileMessage =
    "Borneth 2001 can't read GDX files created by older versions of Borneth.\r\n\r\n"
    "Please recompile your log in Borneth 2001";

namespace {

// Offsets of the page size inside both header layouts.
constexpr int64_t kPageHeightOffset = 4 + 65;

struct FieldWriter {
    ByteWriter& out;
    void operator()(const char*, double v) { out.F64(v); }
    void operator()(const char*, uint8_t v) { out.U8(v); }
};

struct FieldReader {
    ByteReader& in;
    void operator()(const char*, double& v) { v = in.F64(); }
    void operator()(const char*, uint8_t& v) { v = in.U8(); }
};

std::string Number(double v) {
    std::ostringstream s;
    s << v;
    return s.str();
}

// Closes the file when a refusal leaves ReadHeader by an exception.
class CloseOnFailure {
  public:
    explicit CloseOnFailure(file_object& file) : file_(file) {}
    ~CloseOnFailure() {
        if (armed_ && file_.IsOpen) {
            try {
                file_.Close();
            } catch (const IoError&) {
                // The refusal being raised is the report that matters.
            }
        }
    }
    void Disarm() { armed_ = false; }

  private:
    file_object& file_;
    bool armed_ = true;
};

[[noreturn]] void Refuse(const std::string& file_name, const std::string& what) {
    throw IoError(Quoted(file_name) + ": " + what, 0);
}

[[noreturn]] void CannotWriteBack(const std::string& path, const std::string& why, int code) {
    throw IoError("The header of " + Quoted(path) + " cannot be written back: " + why +
                      ". The file was not changed.",
                  code);
}

// Opens the file for writing, or explains why the write-back cannot happen.
void OpenForWriteBack(file_object& file) {
    try {
        file.OpenUpdate();
    } catch (const IoError& e) {
        std::string why =
            e.code() == EACCES || e.code() == EROFS || e.code() == EPERM
                ? "the file is read-only (" + std::string(std::strerror(e.code())) + ")"
                : e.what();
        CannotWriteBack(file.FileName, why, e.code());
    }
}

// Writes `record` and then every byte of the file after its first `old_length` bytes into a
// temporary file beside it, which replaces the file by rename: a failure at any point leaves
// the file as it was, and a longer header never overwrites a command record.
void RewriteHeaderRecord(const std::string& path, const std::vector<uint8_t>& record,
                         int64_t old_length) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) CannotWriteBack(path, std::strerror(errno), errno);
    try {
        AtomicFile out(path, info.st_mode);
        file_object source;
        source.FileName = path;
        source.OpenRead();
        out.Write(record.data(), record.size());
        source.Seek(old_length);
        std::vector<uint8_t> chunk(1 << 16);
        while (source.Remaining() > 0) {
            size_t n = static_cast<size_t>(std::min<int64_t>(source.Remaining(), chunk.size()));
            source.ReadBlock(chunk.data(), n);
            out.Write(chunk.data(), n);
        }
        source.Close();
        out.Commit();
    } catch (const IoError& e) {
        const bool full = e.code() == ENOSPC || e.code() == EDQUOT;
        CannotWriteBack(path, full ? "Not enough disk space" : e.what(), e.code());
    }
}

// The header record as the file holds it, code and length included.
std::vector<uint8_t> StoredHeaderRecord(const std::string& path) {
    file_object file;
    file.FileName = path;
    file.OpenRead();
    const GdxHeader header = ReadHeader(file);
    std::vector<uint8_t> record(
        4 + static_cast<size_t>(header.version == kHeaderCode ? kHeaderLength : kOldHeaderLength));
    file.Seek(0);
    file.ReadBlock(record.data(), record.size());
    file.Close();
    return record;
}

}  // namespace

void EncodeHeaderPayload(const GdxHeader& header, int version, ByteWriter& out) {
    GdxHeader copy = header;
    FieldWriter writer{out};
    if (version == kOldHeaderCode) {
        // The older layout stops before CustomPageLength.
        ForEachHeaderField(copy, [&](const char* name, auto& v) {
            if (std::strcmp(name, "CustomPageLength") != 0 &&
                std::strcmp(name, "UnitsPerPage") != 0) {
                writer(name, v);
            }
        });
    } else {
        ForEachHeaderField(copy, writer);
    }
}

void EncodeHeaderRecord(const GdxHeader& header, ByteWriter& out) {
    bool old = header.version == kOldHeaderCode;
    out.I16(old ? kOldHeaderCode : kHeaderCode);
    out.U16(old ? kOldHeaderLength : kHeaderLength);
    EncodeHeaderPayload(header, old ? kOldHeaderCode : kHeaderCode, out);
}

GdxHeader DecodeHeaderPayload(ByteReader& in, int version, double default_units_per_page) {
    GdxHeader h;
    FieldReader reader{in};
    if (version == kOldHeaderCode) {
        ForEachHeaderField(h, [&](const char* name, auto& v) {
            if (std::strcmp(name, "CustomPageLength") != 0 &&
                std::strcmp(name, "UnitsPerPage") != 0) {
                reader(name, v);
            }
        });
        h.CustomPageLength = 0;
        h.UnitsPerPage = default_units_per_page;
    } else {
        ForEachHeaderField(h, reader);
    }
    h.version = version;
    return h;
}

void ValidateHeader(const GdxHeader& header, const std::string& file_name) {
    GdxHeader copy = header;
    ForEachHeaderField(copy, [&](const char* name, auto& v) {
        if constexpr (std::is_same_v<std::decay_t<decltype(v)>, double>) {
            if (std::isnan(v))
                Refuse(file_name, std::string("the header's ") + name + " is not a number.");
            if (std::isinf(v))
                Refuse(file_name, std::string("the header's ") + name + " is infinite.");
        }
    });
    const std::pair<const char*, double> positive[] = {
        {"PageHeight", header.PageHeight},
        {"PageWidth", header.PageWidth},
        {"XUnitsPerInch", header.XUnitsPerInch},
        {"DepthUnitsPerInch", header.DepthUnitsPerInch},
    };
    for (const auto& [name, value] : positive) {
        if (!(value > 0)) {
            Refuse(file_name, std::string("the header's ") + name + " is " + Number(value) +
                                  "; it must be greater than 0.");
        }
    }
}

GdxHeader ReadHeader(file_object& file, double default_units_per_page) {
    CloseOnFailure guard(file);
    const std::string& name = file.FileName;
    if (file.FileSize == 0) {
        Refuse(name, "the file is empty; a compiled log starts with a header record.");
    }
    if (file.FileSize < 4) {
        Refuse(name, "the file is only " + std::to_string(file.FileSize) +
                         (file.FileSize == 1 ? " byte" : " bytes") +
                         " long, too short for the header record of a compiled log.");
    }
    int16_t code = file.ReadShort();
    uint16_t length = static_cast<uint16_t>(file.ReadShort());
    if (code == kObsoleteHeaderCode) {
        throw IoError(std::string(kObsoleteFileMessage) + "\r\n\r\nFile: " + name, 0);
    }
    if (code != kHeaderCode && code != kOldHeaderCode) {
        throw IoError(ExplainError(kErrorUnknownFileVersion, "File " + Quoted(name) +
                                                                 " begins with record code " +
                                                                 std::to_string(code) + "."),
                      0);
    }
    uint16_t expected = code == kHeaderCode ? kHeaderLength : kOldHeaderLength;
    if (length != expected) {
        Refuse(name, "the header record (code " + std::to_string(code) + ") is " +
                         std::to_string(length) + " bytes long; this header version has " +
                         std::to_string(expected) + ".");
    }
    if (file.Remaining() < length) {
        Refuse(name, "the file ends inside its header record (" + std::to_string(file.Remaining()) +
                         " of " + std::to_string(length) + " bytes present).");
    }
    std::vector<uint8_t> payload(length);
    file.ReadBlock(payload.data(), payload.size());
    ByteReader in(payload);
    GdxHeader header = DecodeHeaderPayload(in, code, default_units_per_page);
    ValidateHeader(header, name);
    guard.Disarm();
    return header;
}

GdxHeader ReadHeaderFromFile(const std::string& path, double default_units_per_page) {
    file_object file;
    file.FileName = path;
    file.OpenRead();
    GdxHeader header = ReadHeader(file, default_units_per_page);
    file.Close();
    return header;
}

void WriteHeader(const std::string& path, GdxHeader header) {
    const std::vector<uint8_t> existing = StoredHeaderRecord(path);
    // A file that never received a vertical extent stores an empty one.
    if (header.BottomDepth > header.TopDepth) header.BottomDepth = header.TopDepth = 0;
    header.version = kHeaderCode;
    ValidateHeader(header, path);
    file_object file;
    file.FileName = path;
    OpenForWriteBack(file);
    file.Close();
    ByteWriter record;
    EncodeHeaderRecord(header, record);
    RewriteHeaderRecord(path, record.bytes(), static_cast<int64_t>(existing.size()));
}

void StorePageSize(const std::string& path, double page_height, double page_width) {
    GdxHeader header = ReadHeaderFromFile(path);
    header.PageHeight = page_height;
    header.PageWidth = page_width;
    ValidateHeader(header, path);
    std::vector<uint8_t> record = StoredHeaderRecord(path);
    file_object file;
    file.FileName = path;
    OpenForWriteBack(file);
    file.Close();
    ByteWriter size;
    size.F64(page_height);
    size.F64(page_width);
    std::copy(size.bytes().begin(), size.bytes().end(), record.begin() + kPageHeightOffset);
    RewriteHeaderRecord(path, record, static_cast<int64_t>(record.size()));
}

}  // namespace cindral
