#include "cli/page_batch.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <regex>

#include "cli/command.h"
#include "cli/options.h"
#include "core/base/errors.h"
#include "render/document/log_document.h"
#include "render/export/parallel_pages.h"

namespace cindral::cli {

int JobsOption(ArgumentReader& reader) {
    std::optional<long> jobs = reader.Integer("-j");
    if (const std::optional<long> long_jobs = reader.Integer("--jobs")) {
        if (jobs) throw UsageError{"-j and --jobs say the same; give one"};
        jobs = long_jobs;
    }
    // More threads than this gain nothing and only cost memory.
    if (jobs && (*jobs < 1 || *jobs > 256)) {
        throw UsageError{"-j needs a whole number of threads from 1 to 256"};
    }
    return jobs ? static_cast<int>(*jobs) : ProcessorCount();
}

std::optional<PageRange> ParsePageRange(const std::string& option, const std::string& text,
                                        bool allow_all) {
    if (allow_all && text == "all") return std::nullopt;
    static const std::regex kRange(R"(\s*(\d{1,9})\s*(?:-\s*(\d{1,9})\s*)?)");
    std::smatch match;
    if (!std::regex_match(text, match, kRange)) {
        throw UsageError{option + (allow_all ? " needs A-B, A or all" : " needs A-B or A") +
                         ", whole page numbers from 1"};
    }
    const long first = std::stol(match[1].str());
    const long last = match[2].matched ? std::stol(match[2].str()) : first;
    if (first < 1 || last < first) throw UsageError{option + " needs A-B with 1 <= A <= B"};
    return PageRange{first, last};
}

PageNamePattern::PageNamePattern(const std::string& pattern, bool many_pages) {
    std::string* part = &before_;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            *part += pattern[i];
            continue;
        }
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            *part += '%';
            ++i;
            continue;
        }
        // %[0][width]d, the width at most two digits.
        size_t j = i + 1;
        const bool zeros = j < pattern.size() && pattern[j] == '0';
        if (zeros) ++j;
        int width = 0;
        size_t digits = 0;
        while (j < pattern.size() && std::isdigit(static_cast<unsigned char>(pattern[j])) &&
               digits < 2) {
            width = width * 10 + (pattern[j] - '0');
            ++j;
            ++digits;
        }
        if (j >= pattern.size() || pattern[j] != 'd') {
            throw UsageError{
                "-o takes the page number as %d or %0Nd (N up to 99); write %% for a "
                "'%' in the name"};
        }
        if (numbered_) throw UsageError{"-o has room for one page number only"};
        numbered_ = true;
        zeros_ = zeros;
        width_ = width;
        part = &after_;
        i = j;
    }
    if (many_pages && !numbered_) {
        throw UsageError{"-o needs %d (or %03d …) in the name for more than one page"};
    }
}

std::string PageNamePattern::NameOf(long page) const {
    if (!numbered_) return before_;
    char number[128];
    std::snprintf(number, sizeof number, zeros_ ? "%0*ld" : "%*ld", width_, page);
    return before_ + number + after_;
}

void RenderPageBatch(const LogDocument& document, PageRange range, const PageNamePattern& names,
                     const PageBatchOptions& options,
                     const std::function<void(long, long)>& progress) {
    DrawPagesInParallel(
        document, static_cast<int>(range.first - 1), static_cast<int>(range.last - 1), options.jobs,
        [&](const LogDocument&, int page, const QImage& image) {
            SavePicture(image, names.NameOf(page + 1), options.format, options.quality,
                        options.pixels_per_inch);
        },
        progress);
}

}  // namespace cindral::cli
