#pragma once
// Helpers for the interpreter tests: small library files with known strokes, playing a file
// into a trace, and comparing a trace with a committed golden file line by line.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/format/byte_codec.h"
#include "core/format/gdx_writer.h"
#include "core/interpreter/trace_object.h"
#include "temp_dir.h"

namespace cindral::testing {

struct Stroke {
    int x1, y1, x2, y2;
};

// A symbol library of `records` records; the glyphs of the map, every other record empty.
inline void WriteSymbolLibrary(const std::string& path, int records,
                               const std::map<int, std::vector<Stroke>>& glyphs) {
    ByteWriter out;
    for (int n = 0; n < records; ++n) {
        auto it = glyphs.find(n);
        std::vector<Stroke> strokes = it == glyphs.end() ? std::vector<Stroke>() : it->second;
        out.U16(static_cast<uint16_t>(strokes.size()));
        for (size_t i = 0; i < 50; ++i) {
            Stroke s = i < strokes.size() ? strokes[i] : Stroke{0, 0, 0, 0};
            for (int v : {s.x1, s.y1, s.x2, s.y2}) out.U8(static_cast<uint8_t>(v));
        }
    }
    WriteFileBytes(path, out.Take());
}

struct Pattern {
    int cellWidth, cellHeight;
    std::vector<Stroke> segments;
};

inline void WritePatternLibrary(const std::string& path, const std::map<int, Pattern>& patterns) {
    ByteWriter out;
    for (int n = 0; n <= 250; ++n) {
        auto it = patterns.find(n);
        Pattern p = it == patterns.end() ? Pattern{0, 0, {}} : it->second;
        out.U16(static_cast<uint16_t>(p.segments.size()));
        out.U16(static_cast<uint16_t>(p.cellWidth));
        out.U16(static_cast<uint16_t>(p.cellHeight));
        for (size_t i = 0; i < 50; ++i) {
            Stroke s = i < p.segments.size() ? p.segments[i] : Stroke{0, 0, 0, 0};
            for (int v : {s.x1, s.y1, s.x2, s.y2}) out.U8(static_cast<uint8_t>(v));
        }
    }
    WriteFileBytes(path, out.Take());
}

// The test stroke font: one short, distinct glyph per character the tests use, so traces
// stay readable. The blank has a stroke, to show that blanks are never drawn.
inline std::map<int, std::vector<Stroke>> TestGlyphs() {
    std::map<int, std::vector<Stroke>> g;
    for (int d = 0; d <= 9; ++d) g['0' + d] = {{0, 0, 4, d + 1}};
    g['A'] = {{0, 0, 2, 10}, {2, 10, 4, 0}};
    g['B'] = {{0, 0, 0, 10}};
    g['.'] = {{0, 0, 0, 1}};
    g[','] = {{0, 0, -1, -2}};
    g['-'] = {{0, 5, 4, 5}};
    g[' '] = {{0, 0, 4, 0}};
    g[200] = {{-128, 127, 0, 0}};  // signed coordinates
    return g;
}

inline std::map<int, Pattern> TestPatterns() {
    return {
        {1, {10, 10, {{0, 0, 10, 10}}}},             // one diagonal per cell
        {2, {4, 4, {{0, 2, 4, 2}, {2, -1, 2, 5}}}},  // a cross that pokes out of its cell
        {3, {0, 10, {{0, 0, 5, 5}}}},                // a cell of no width
    };
}

// A folder with a log to play and the two test libraries.
class PlayFixture {
  public:
    PlayFixture() {
        WriteSymbolLibrary(Symbols(), 256, TestGlyphs());
        WritePatternLibrary(Patterns(), TestPatterns());
    }
    std::string Symbols() const { return dir_.File("test.sym"); }
    std::string Patterns() const { return dir_.File("test.pat"); }
    std::string Log(const std::string& name = "log.gdx") const { return dir_.File(name); }

  private:
    TempDir dir_;
};

// A header with a drawing 100 units wide, so the dip symbol has a known size.
inline GdxHeader TestHeader() {
    GdxHeader h;
    h.PageHeight = 11;
    h.PageWidth = 8.5;
    h.XUnitsPerInch = 100;
    h.DepthUnitsPerInch = 20;
    h.MinX = 0;
    h.MaxX = 100;
    h.TopDepth = 0;
    h.BottomDepth = -200;
    return h;
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

// Plays `path` into a trace and returns its lines.
inline std::vector<std::string> TraceLines(const PlayFixture& f, const std::string& path,
                                           bool annotate = true) {
    std::ostringstream out;
    trace_object trace(out, f.Patterns(), f.Symbols());
    trace.AnnotateCommands = annotate;
    trace.FileName = path;
    trace.PlayCommands();
    return Lines(out.str());
}

// Compares `actual` with tests/core/golden/<name>.trace. With CINDRAL_UPDATE_GOLDEN=1 the
// golden file is rewritten instead (review the diff before committing it).
inline void ExpectGolden(const std::string& name, const std::vector<std::string>& actual) {
    std::string path = SourceDir() + "/tests/core/golden/" + name + ".trace";
    const char* update = std::getenv("CINDRAL_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        std::ofstream out(path, std::ios::binary);
        for (const std::string& line : actual) out << line << "\n";
        return;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << "missing golden file " << path
                    << " (run with CINDRAL_UPDATE_GOLDEN=1 to create it)";
    std::stringstream text;
    text << in.rdbuf();
    std::vector<std::string> expected = Lines(text.str());
    size_t n = std::max(expected.size(), actual.size());
    int shown = 0;
    for (size_t i = 0; i < n && shown < 10; ++i) {
        std::string e = i < expected.size() ? expected[i] : "(end of golden)";
        std::string a = i < actual.size() ? actual[i] : "(end of trace)";
        if (e != a) {
            ADD_FAILURE() << name << ".trace line " << i + 1 << "\n  expected: " << e
                          << "\n  actual:   " << a;
            ++shown;
        }
    }
}

}  // namespace cindral::testing
