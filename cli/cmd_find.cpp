// cindral-cli find: every drawn string of a log that holds a text, in depth order, from the
// same text index the viewer's find bar searches.

#include <QString>
#include <cstdio>
#include <memory>
#include <string>

#include "cli/command.h"
#include "cli/gui_application.h"
#include "cli/json_text.h"
#include "cli/log_opening.h"
#include "cli/options.h"
#include "render/document/log_document.h"
#include "render/document/text_index.h"

namespace cindral::cli {
namespace {

const char kUsage[] = "find FILE TEXT [--case] [--word] [--json]";

const char kDetails[] =
    "TEXT     what to look for; blanks match any run of blanks, and a phrase runs on over\n"
    "         the lines of a wrapped text\n"
    "--case   upper and lower case must match\n"
    "--word   whole words only\n"
    "--json   one JSON array of matches, each with its box on the page in inches\n"
    "Each match is a line: page (from 1), depth (or header / footer), x in inches from the\n"
    "page's left edge, and the whole string, separated by tabs. No match: nothing on\n"
    "standard output, \"no matches\" on standard error, exit status 0.\n";

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string Utf8(const QString& text) {
    return text.toUtf8().toStdString();
}

// Tabs and line ends in a string would break the one-line-a-match form.
std::string OneLine(const QString& text) {
    QString line = text;
    for (QChar& c : line) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r')) c = ' ';
    }
    return Utf8(line);
}

std::string Where(const TextMatch& m) {
    return m.band == Band::None ? Fixed(m.depth, 2) : BandName(m.band);
}

std::string JsonMatch(const TextIndex& index, const TextMatch& m) {
    const DrawnString& s = index.Strings()[static_cast<size_t>(m.string)];
    return "{\"page\": " + std::to_string(m.page + 1) + ", \"band\": \"" +
           (m.band == Band::None ? "data" : BandName(m.band)) +
           "\", \"depth\": " + (m.band == Band::None ? Fixed(m.depth, 4) : "null") +
           ", \"x\": " + Fixed(m.box.left, 4) + ", \"text\": " + JsonString(Utf8(s.text)) +
           ", \"match\": " + JsonString(Utf8(s.text.mid(m.start, m.length))) +
           ", \"box\": {\"left\": " + Fixed(m.box.left, 4) + ", \"top\": " + Fixed(m.box.top, 4) +
           ", \"right\": " + Fixed(m.box.right, 4) + ", \"bottom\": " + Fixed(m.box.bottom, 4) +
           "}}";
}

int RunFind(const std::vector<std::string>& args) {
    ArgumentReader reader(args);
    FindOptions options;
    options.match_case = reader.Flag("--case");
    options.whole_words = reader.Flag("--word");
    const bool json = reader.Flag("--json");
    const CommonOptions common = reader.Common();
    const std::vector<std::string> words = reader.Positionals();
    if (words.size() != 2) throw UsageError{"needs a FILE and the TEXT to find"};
    const QString text = QString::fromLocal8Bit(words[1].c_str()).trimmed();
    if (text.isEmpty()) throw UsageError{"needs a TEXT that is not blank"};

    const std::unique_ptr<QGuiApplication> application = EnsureGuiApplication();
    const std::unique_ptr<LogDocument> document = OpenLogDocument(words[0], common);
    const std::shared_ptr<const TextIndex> index = document->Texts();
    const std::vector<TextMatch> matches = index->Find(text, options);
    if (json && !matches.empty()) {
        std::string out = "[";
        for (size_t i = 0; i < matches.size(); ++i) {
            out += (i == 0 ? "\n  " : ",\n  ") + JsonMatch(*index, matches[i]);
        }
        out += "\n]\n";
        std::fputs(out.c_str(), stdout);
    } else if (!json) {
        for (const TextMatch& m : matches) {
            const DrawnString& s = index->Strings()[static_cast<size_t>(m.string)];
            const std::string line = std::to_string(m.page + 1) + "\t" + Where(m) + "\t" +
                                     Fixed(m.box.left, 2) + "\t" + OneLine(s.text) + "\n";
            std::fputs(line.c_str(), stdout);
        }
    }
    if (matches.empty()) std::fputs("no matches\n", stderr);
    return kExitOk;
}

const CommandRegistration registration({"find", kUsage, RunFind, kDetails});

}  // namespace
}  // namespace cindral::cli
