// The log document over one table of states (tests/document_states.h): the pages an interval
// and a page length give, the first and the last page drawn at the depths they should show,
// the page one past the last refused, the depth at a row, and a reload that keeps what the
// user set, whether the file was rewritten in place or replaced by rename, and that changes
// nothing when the new file cannot be read.

#include "document_states.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <filesystem>
#include <functional>
#include <set>

#include "core/base/errors.h"
#include "core/base/whole_file.h"
#include "render/document/log_document.h"
#include "temp_dir.h"

namespace cindral {
namespace {

using testing::DocumentState;
using testing::LogVersion;
using testing::Paging;

LogDocumentOptions Options() {
    LogDocumentOptions options;
    options.files.pattern_file = testing::BinDir() + "/QuenUtil.Pat";
    options.files.symbol_file = testing::BinDir() + "/QuenUtil.Sym";
    return options;
}

void Apply(const DocumentState& state, LogDocument& document) {
    if (state.page_length) document.SetPageLength(true, *state.page_length);
    if (state.interval) document.SetInterval(state.interval->first, state.interval->second);
}

// The rows of `image` with a dark pixel in its middle column, below `end`.
std::set<int> DarkRows(const QImage& image, int end) {
    std::set<int> rows;
    for (int row = 0; row < std::min(end, image.height()); ++row) {
        if (qGray(image.pixel(image.width() / 2, row)) < 128) rows.insert(row);
    }
    return rows;
}

std::string Refusal(LogDocument& document, int page) {
    try {
        document.RenderPage(page);
    } catch (const CindralError& e) {
        return e.what();
    }
    return "drawn";
}

// Everything the document shows in `state` (`file`: the version on disk).
void ExpectPaging(LogDocument& document, const Paging& want, const LogVersion& file,
                  const DocumentState& state, bool custom_length) {
    EXPECT_EQ(document.Header().TopDepth, want.top);
    EXPECT_EQ(document.Header().BottomDepth, want.bottom);
    EXPECT_EQ(document.Header().CustomPageLength == 1, custom_length);
    if (custom_length) {
        EXPECT_EQ(document.Header().UnitsPerPage, want.per_page);
    }
    EXPECT_EQ(document.FileHeader().TopDepth, file.top);
    EXPECT_EQ(document.FileHeader().BottomDepth, file.bottom);
    ASSERT_EQ(document.PageCount(), want.pages);
    const int last = want.pages - 1;
    for (int page : {0, last}) {
        SCOPED_TRACE(::testing::Message() << "page " << page);
        const double first_row_depth = want.top - page * want.per_page;
        EXPECT_NEAR(document.DepthAt(page, 0, false), first_row_depth, 1e-9);
        EXPECT_NEAR(document.DepthAt(page, 10, true), first_row_depth - 10 + testing::kStatesDatum,
                    1e-9);
        const QImage image = document.RenderPage(page);
        EXPECT_EQ(image.size(), QSize(300, 500));
        // The rules are on the rows their depths give, down to the page's or the interval's
        // end (a rule on that last row belongs to either).
        const int end = int(std::min(want.per_page, std::floor(first_row_depth - want.bottom)));
        std::set<int> rules;
        for (double depth = file.bottom; depth <= file.top; depth += testing::kRuleStep) {
            const long row = std::lround(first_row_depth - depth);
            if (row >= 0 && row < end - 1) rules.insert(int(row));
        }
        EXPECT_EQ(DarkRows(image, end - 1), rules) << state.name;
    }
    const std::string pages = std::to_string(want.pages);
    EXPECT_EQ(Refusal(document, want.pages), "Page " + std::to_string(want.pages + 1) +
                                                 " is not in the log (" + pages +
                                                 (want.pages == 1 ? " page)." : " pages)."));
    EXPECT_NE(Refusal(document, -1), "drawn");
}

class DocumentStates : public ::testing::TestWithParam<DocumentState> {};

TEST_P(DocumentStates, PagesDepthsAndReloads) {
    const DocumentState& state = GetParam();
    testing::TempDir dir;
    const std::string log = dir.File("log.gdx");
    struct Replace {
        const char* how;
        std::function<void()> write;
    };
    const Replace replacements[] = {
        {"in place", [&] { testing::WriteStatesLog(log, testing::kSecondVersion); }},
        {"by rename",
         [&] {
             testing::WriteStatesLog(dir.File("log.part"), testing::kSecondVersion);
             std::filesystem::rename(dir.File("log.part"), log);
         }},
    };
    for (const Replace& replace : replacements) {
        SCOPED_TRACE(replace.how);
        testing::WriteStatesLog(log, testing::kFirstVersion);
        LogDocument document(log, Options(), testing::kStatesDpi);
        Apply(state, document);
        {
            SCOPED_TRACE("as set");
            ExpectPaging(document, state.first, testing::kFirstVersion, state,
                         bool(state.page_length));
        }
        // A file caught half written is refused and changes nothing.
        std::vector<uint8_t> cut = testing::ReadFileBytes(log);
        cut.resize(cut.size() - 7);
        WriteFileBytes(log, cut);
        EXPECT_THROW(document.Reload(), CindralError);
        {
            SCOPED_TRACE("after a refused reload");
            ExpectPaging(document, state.first, testing::kFirstVersion, state,
                         bool(state.page_length));
        }
        replace.write();
        document.Reload();
        SCOPED_TRACE("after the reload");
        ExpectPaging(document, state.after, testing::kSecondVersion, state, true);
        // A copy for another thread lays out the same pages.
        const std::unique_ptr<LogDocument> copy = document.Copy();
        EXPECT_EQ(copy->PageCount(), state.after.pages);
        EXPECT_TRUE(copy->RenderPage(state.after.pages - 1) ==
                    document.RenderPage(state.after.pages - 1));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, DocumentStates, ::testing::ValuesIn(testing::kDocumentStates),
                         [](const auto& info) { return testing::StateName(info.param); });

}  // namespace
}  // namespace cindral
