#include "render/document/text_index.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include "core/environment/status.h"
#include "render/canvas/text_collector_canvas.h"
#include "render/canvas/windows1252.h"
#include "render/document/log_document.h"
#include "render/renderers/logp_object.h"

namespace cindral {
namespace {

// The renderer of the index: tells the canvas which command draws, and where a stroke text
// begins and ends (its letters are lines to the canvas).
class TextIndexRenderer : public logp_object {
  public:
    TextIndexRenderer(const LogDocumentOptions& options, TextCollectorCanvas*& canvas)
        : logp_object(options.files.pattern_file, options.files.symbol_file,
                      options.files.default_page_length, options.settings.DepthUnitsPerInch),
          canvas_(canvas) {}

    void DrawStrokeText(const DrawStrokeTextRecord& r, bool draw) override {
        canvas_->BeginStrokes();
        logp_object::DrawStrokeText(r, draw);
        QString text;
        for (QChar c : DecodeWindows1252(r.text)) {
            if (c.unicode() >= 0x20) text += c;  // the raise and lower marks are not shown
        }
        canvas_->EndStrokes(text.trimmed());
    }

  protected:
    void BeginCommand(const GdxCommand& command) override {
        if (canvas_ != nullptr) canvas_->SetCommand(command.offset);
    }

  private:
    TextCollectorCanvas*& canvas_;
};

// Where a run lies against the string it may continue: on its baseline right after it, or
// on the next line down.
enum class Follows { No, SameLine, NextLine };

Follows HowItFollows(const TextCollectorCanvas::Run& previous,
                     const TextCollectorCanvas::Run& next) {
    if (next.command != previous.command || next.command < 0) return Follows::No;
    if (std::abs(next.angle - previous.angle) > 0.05) return Follows::No;
    const double turn = previous.angle * M_PI / 180;
    const double ux = std::cos(turn), uy = -std::sin(turn);  // along the baseline
    const double vx = std::sin(turn), vy = std::cos(turn);   // down, across it
    const double dx = next.origin_x - previous.origin_x, dy = next.origin_y - previous.origin_y;
    const double along = dx * ux + dy * uy;
    const double across = dx * vx + dy * vy;
    double width = 0;
    for (int a : previous.advances) width += a;
    const double line = std::max(1, previous.ascent + previous.descent);
    if (std::abs(across) <= 2 && std::abs(along - width) <= std::max(2.0, line / 2)) {
        return Follows::SameLine;
    }
    if (across >= line * 0.5 && across <= line * 2.5) return Follows::NextLine;
    return Follows::No;
}

bool IsWordCharacter(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

InchBox Union(const InchBox& a, const InchBox& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

// The strings of one page, from the runs its play drew.
void AddPageStrings(const std::vector<TextCollectorCanvas::Run>& runs, int page, double ppi,
                    std::vector<DrawnString>& out) {
    const TextCollectorCanvas::Run* previous = nullptr;
    bool stacked = false;  // letters set one under the other: joined without blanks
    for (const TextCollectorCanvas::Run& run : runs) {
        const Follows follows = previous != nullptr ? HowItFollows(*previous, run) : Follows::No;
        if (follows == Follows::No) {
            out.emplace_back();
            out.back().page = page;
            stacked = false;
        } else if (follows == Follows::NextLine) {
            const DrawnString& open = out.back();
            if (open.pieces.size() == 1 && open.text.size() == 1 && run.text.size() == 1) {
                stacked = true;
            }
            if (!stacked && !open.text.endsWith(QLatin1Char(' '))) out.back().text += ' ';
        }
        DrawnString& string = out.back();
        TextPiece piece;
        piece.start = static_cast<int>(string.text.size());
        piece.length = static_cast<int>(run.text.size());
        piece.origin_x = run.origin_x / ppi;
        piece.origin_y = run.origin_y / ppi;
        piece.angle = run.angle;
        piece.ascent = run.ascent / ppi;
        piece.descent = run.descent / ppi;
        piece.offsets.reserve(run.advances.size() + 1);
        double at = 0;
        piece.offsets.push_back(0);
        for (int advance : run.advances) {
            at += advance;
            piece.offsets.push_back(at / ppi);
        }
        string.text += run.text;
        string.pieces.push_back(std::move(piece));
        previous = &run;
    }
}

// Blanks in a row count as one: `folded` is `text` so, `from[i]` where its character i was.
void FoldBlanks(const QString& text, QString& folded, std::vector<int>& from) {
    folded.clear();
    from.clear();
    for (int i = 0; i < text.size(); ++i) {
        const bool blank = text[i].isSpace();
        if (blank && !folded.isEmpty() && folded.back() == QLatin1Char(' ')) continue;
        folded += blank ? QChar(' ') : text[i];
        from.push_back(i);
    }
    from.push_back(static_cast<int>(text.size()));
}

}  // namespace

const char* BandName(Band band) {
    switch (band) {
        case Band::FirstHeader:
        case Band::NextHeader:
            return "header";
        case Band::Footer:
            return "footer";
        case Band::None:
            break;
    }
    return "";
}

TextIndex::TextIndex(std::vector<DrawnString> strings) : strings_(std::move(strings)) {}

InchBox TextIndex::BoxOf(const TextPiece& piece, int start, int end) {
    const double turn = piece.angle * M_PI / 180;
    const double ux = std::cos(turn), uy = -std::sin(turn);
    const double vx = std::sin(turn), vy = std::cos(turn);
    const double a = piece.offsets[static_cast<size_t>(start)];
    const double b = piece.offsets[static_cast<size_t>(end)];
    InchBox box{1e300, 1e300, -1e300, -1e300};
    for (double along : {a, b}) {
        for (double across : {-piece.ascent, piece.descent}) {
            const double x = piece.origin_x + along * ux + across * vx;
            const double y = piece.origin_y + along * uy + across * vy;
            box = Union(box, {x, y, x, y});
        }
    }
    return box;
}

namespace {

// The strings of pages [first, last) of `pages`, played on the calling thread.
std::vector<DrawnString> PageStrings(LogDocument& pages, int first, int last,
                                     const std::function<void()>& page_done) {
    const double ppi = pages.PixelsPerInch();
    TextCollectorCanvas* canvas = nullptr;
    TextIndexRenderer renderer(pages.Options(), canvas);
    std::vector<DrawnString> strings;
    QImage surface;
    for (int page = first; page < last; ++page) {
        const PageGeometry g = pages.Geometry(page);
        if (surface.width() != g.PageWidthPx || surface.height() != g.PageHeightPx) {
            // One bit a pixel: nothing is drawn on it, only text measured against it.
            surface = QImage(std::max(1, g.PageWidthPx), std::max(1, g.PageHeightPx),
                             QImage::Format_Mono);
            const int per_metre = static_cast<int>(std::lround(ppi / 0.0254));
            surface.setDotsPerMeterX(per_metre);
            surface.setDotsPerMeterY(per_metre);
        }
        TextCollectorCanvas collector(&surface);
        canvas = &collector;
        pages.DrawPage(page, collector, renderer);
        canvas = nullptr;
        const size_t begin = strings.size();
        AddPageStrings(collector.Runs(), page, ppi, strings);
        for (size_t i = begin; i < strings.size(); ++i) {
            DrawnString& s = strings[i];
            s.box = InchBox{1e300, 1e300, -1e300, -1e300};
            for (const TextPiece& piece : s.pieces) {
                s.box = Union(s.box, TextIndex::BoxOf(piece, 0, piece.length));
            }
            const int row = static_cast<int>(std::lround((s.box.top + s.box.bottom) / 2 * ppi));
            if (row < g.DataTopPx && g.HeaderMode != Band::None) {
                s.band = g.HeaderMode;
            } else if (g.HasFooter && row >= g.FooterTopPx) {
                s.band = Band::Footer;
            } else {
                s.band = Band::None;
                s.depth = pages.DepthAt(page, std::clamp(row, g.DataTopPx, g.DataBottomPx), false);
            }
        }
        // Down the page, then left to right within a line (a 1/24-inch band).
        std::stable_sort(strings.begin() + static_cast<std::ptrdiff_t>(begin), strings.end(),
                         [](const DrawnString& a, const DrawnString& b) {
                             const double line_a = std::floor(a.box.top * 24);
                             const double line_b = std::floor(b.box.top * 24);
                             if (line_a != line_b) return line_a < line_b;
                             return a.box.left < b.box.left;
                         });
        if (page_done) page_done();
    }
    return strings;
}

}  // namespace

TextIndex TextIndex::Build(const LogDocument& document,
                           const std::function<void(int, int)>& progress) {
    const int count = document.PageCount();
    // Every processor takes a run of pages with its own copy of the document; boxes are in
    // inches, so the screen's resolution serves any zoom.
    const int jobs = static_cast<int>(std::clamp<unsigned>(std::thread::hardware_concurrency(), 1,
                                                           static_cast<unsigned>(count / 8 + 1)));
    std::vector<std::unique_ptr<LogDocument>> copies;
    for (int i = 0; i < jobs; ++i) {
        copies.push_back(document.Copy());
        copies.back()->SetPixelsPerInch(static_cast<int>(kScreenPixelsPerInch));
    }
    std::vector<std::vector<DrawnString>> parts(static_cast<size_t>(jobs));
    std::vector<std::exception_ptr> failures(static_cast<size_t>(jobs));
    std::mutex mutex;
    int done = 0;
    const std::function<void()> page_done = [&] {
        if (!progress) return;
        std::lock_guard<std::mutex> lock(mutex);
        progress(++done, count);
    };
    auto run = [&](int job) {
        // Short work that nobody cancels: no thread asks the user anything or shows progress.
        StatusSink quiet;
        struct QuietScope {
            StatusSink* previous;
            ~QuietScope() { SetThreadStatusSink(previous); }
        } scope{SetThreadStatusSink(&quiet)};
        try {
            parts[size_t(job)] = PageStrings(*copies[size_t(job)], int(int64_t(count) * job / jobs),
                                             int(int64_t(count) * (job + 1) / jobs), page_done);
        } catch (...) {
            failures[size_t(job)] = std::current_exception();
        }
    };
    std::vector<std::thread> threads;
    for (int job = 1; job < jobs; ++job) threads.emplace_back(run, job);
    run(0);  // the calling thread plays the first run
    for (std::thread& thread : threads) thread.join();
    for (const std::exception_ptr& failure : failures) {
        if (failure) std::rethrow_exception(failure);
    }
    std::vector<DrawnString> strings;
    for (std::vector<DrawnString>& part : parts) {
        strings.insert(strings.end(), std::make_move_iterator(part.begin()),
                       std::make_move_iterator(part.end()));
    }
    return TextIndex(std::move(strings));
}

std::vector<TextMatch> TextIndex::Find(const QString& text, const FindOptions& options) const {
    std::vector<TextMatch> matches;
    QString needle;
    std::vector<int> unused;
    FoldBlanks(text.trimmed(), needle, unused);
    if (needle.isEmpty()) return matches;
    const Qt::CaseSensitivity sensitivity =
        options.match_case ? Qt::CaseSensitive : Qt::CaseInsensitive;
    QString folded;
    std::vector<int> from;
    for (size_t index = 0; index < strings_.size(); ++index) {
        const DrawnString& s = strings_[index];
        if (!s.text.contains(needle.front(), sensitivity)) continue;
        FoldBlanks(s.text, folded, from);
        for (qsizetype at = folded.indexOf(needle, 0, sensitivity); at >= 0;
             at = folded.indexOf(needle, at + 1, sensitivity)) {
            const qsizetype end = at + needle.size();
            if (options.whole_words &&
                ((at > 0 && IsWordCharacter(folded[at - 1]) && IsWordCharacter(folded[at])) ||
                 (end < folded.size() && IsWordCharacter(folded[end]) &&
                  IsWordCharacter(folded[end - 1])))) {
                continue;
            }
            TextMatch m;
            m.string = static_cast<int>(index);
            m.start = from[static_cast<size_t>(at)];
            m.length = from[static_cast<size_t>(end - 1)] + 1 - m.start;
            m.page = s.page;
            m.band = s.band;
            m.depth = s.depth;
            m.box = InchBox{1e300, 1e300, -1e300, -1e300};
            for (const TextPiece& piece : s.pieces) {
                const int a = std::max(m.start, piece.start);
                const int b = std::min(m.start + m.length, piece.start + piece.length);
                if (a >= b) continue;
                m.boxes.push_back(BoxOf(piece, a - piece.start, b - piece.start));
                m.box = Union(m.box, m.boxes.back());
            }
            if (m.boxes.empty()) m.box = s.box;
            matches.push_back(std::move(m));
            at = end - 1;  // no overlapping matches
        }
    }
    return matches;
}

int TextIndex::StringAt(int page, double x, double y) const {
    const auto first = std::lower_bound(strings_.begin(), strings_.end(), page,
                                        [](const DrawnString& s, int p) { return s.page < p; });
    int best = -1;
    double best_area = 0;
    for (auto it = first; it != strings_.end() && it->page == page; ++it) {
        for (const TextPiece& piece : it->pieces) {
            const InchBox b = BoxOf(piece, 0, piece.length);
            if (x < b.left || x > b.right || y < b.top || y > b.bottom) continue;
            const double area = it->box.Width() * it->box.Height();
            if (best < 0 || area < best_area) {
                best = static_cast<int>(it - strings_.begin());
                best_area = area;
            }
        }
    }
    return best;
}

QString TextIndex::Context(const TextMatch& match, int words) const {
    const QString& text = strings_[static_cast<size_t>(match.string)].text;
    int begin = match.start;
    for (int seen = 0; begin > 0; --begin) {
        if (text[begin - 1].isSpace() && begin < match.start && !text[begin].isSpace() &&
            ++seen >= words) {
            break;
        }
    }
    int end = match.start + match.length;
    for (int seen = 0; end < text.size(); ++end) {
        if (text[end].isSpace() && end > match.start + match.length && !text[end - 1].isSpace() &&
            ++seen >= words) {
            break;
        }
    }
    QString context = text.mid(begin, end - begin).simplified();
    if (begin > 0) context.prepend(QString::fromUtf8("… "));
    if (end < text.size()) context.append(QString::fromUtf8(" …"));
    return context;
}

}  // namespace cindral
