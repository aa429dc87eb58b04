// Compiles a readable library source into a pattern or symbol library file, or prints the
// number and name of every entry as a Markdown table for the documentation.
//
//   cindral_library_compiler patterns|symbols SOURCE OUTPUT
//   cindral_library_compiler patterns|symbols SOURCE --table

#include <fstream>
#include <iostream>
#include <string>

#include "core/base/errors.h"
#include "core/libraries/library_source.h"

namespace {

constexpr int kPatternRecords = 251;
constexpr int kSymbolRecords = 326;

int Usage() {
    std::cerr << "usage: cindral_library_compiler patterns|symbols SOURCE OUTPUT|--table\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace cindral;
    if (argc != 4) return Usage();
    std::string kind_word = argv[1];
    if (kind_word != "patterns" && kind_word != "symbols") return Usage();
    LibraryKind kind = kind_word == "patterns" ? LibraryKind::Pattern : LibraryKind::Symbol;
    std::string source_path = argv[2];
    std::string output = argv[3];
    try {
        std::ifstream in(source_path);
        if (!in) throw CindralError("cannot read " + source_path);
        LibrarySource source = ParseLibrarySource(in, kind, source_path);
        if (output == "--table") {
            std::cout << "| No. | Name |\n|---:|---|\n";
            for (const LibrarySourceEntry& e : source.entries) {
                std::cout << "| " << e.number << " | " << e.name << " |\n";
            }
            return 0;
        }
        std::vector<uint8_t> bytes =
            CompileLibrary(source, kind == LibraryKind::Pattern ? kPatternRecords : kSymbolRecords);
        // Written beside the final name and renamed, so a failed run leaves no torn library.
        std::string partial = output + ".part";
        {
            std::ofstream out(partial, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
            out.close();
            if (!out) throw CindralError("cannot write " + partial);
        }
        if (std::rename(partial.c_str(), output.c_str()) != 0) {
            throw CindralError("cannot rename " + partial + " to " + output);
        }
    } catch (const CindralError& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    return 0;
}
