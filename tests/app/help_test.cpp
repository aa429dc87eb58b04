#include "app/help.h"

#include <gtest/gtest.h>

#include <QFile>

#include "temp_dir.h"

namespace cindral::app {
namespace {

TEST(TopicAnchor, JoinsWordsInLowerCase) {
    struct Row {
        const char* heading;
        const char* anchor;
    };
    const Row rows[] = {
        {"Custom page length", "custom-page-length"},
        {"Reading depths and elevations", "reading-depths-and-elevations"},
        {"  Going to a page ...", "going-to-a-page"},
        {"Index", "index"},
    };
    for (const Row& row : rows) EXPECT_EQ(TopicAnchor(row.heading).toStdString(), row.anchor);
}

// Every topic the program opens must exist in the guide it ships, or help lands nowhere.
TEST(UserGuide, HasAnAnchorForEveryTopicTheProgramOpens) {
    QFile guide(QString::fromStdString(cindral::testing::SourceDir() + "/docs/user-guide.md"));
    ASSERT_TRUE(guide.open(QIODevice::ReadOnly));
    const QString html = UserGuideHtml(QString::fromUtf8(guide.readAll()));
    for (const char* topic :
         {help_topic::kIndex, help_topic::kOpen, help_topic::kSaveAs, help_topic::kGoToPage,
          help_topic::kCustomPageLength, help_topic::kSelectInterval,
          help_topic::kSystemFiles}) {
        EXPECT_TRUE(html.contains(QString("<a name=\"%1\">").arg(topic))) << topic;
    }
}

}  // namespace
}  // namespace cindral::app
