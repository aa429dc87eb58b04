// The toolbar at a 200 % desktop scale: every control shows in the window's default size,
// none behind the overflow button.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QProcess>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <fstream>

#include "app/window/cindral_frm.h"
#include "app/window/startup.h"
#include "core/environment/settings.h"
#include "frm_test_support.h"

namespace cindral::app {
namespace {

using cindral::testing::TempDir;

constexpr const char* kTestName = "ToolBar.EveryControlShowsAtTwiceTheScale";

TEST(ToolBar, EveryControlShowsAtTwiceTheScale) {
    if (qgetenv("QT_SCALE_FACTOR") != "2") {
        // The scale is fixed when the application starts, so the check runs in a child of
        // this test program, on a full-HD screen of the offscreen platform.
        TempDir dir;
        const std::string screens = dir.File("screens.json");
        std::ofstream(screens) << R"({"screens": [{"name": "hd", "x": 0, "y": 0,
            "width": 1920, "height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_SCALE_FACTOR", "2");
        environment.insert("QT_QPA_PLATFORM",
                           "offscreen:configfile=" + QString::fromStdString(screens));
        environment.insert("XDG_CONFIG_HOME", QString::fromStdString(dir.path()));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QString("--gtest_filter=") + kTestName});
        ASSERT_TRUE(child.waitForFinished(120000));
        const QString output = QString::fromLocal8Bit(child.readAll());
        EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
        EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
        return;
    }
    ASSERT_EQ(qApp->devicePixelRatio(), 2);
    SettingsEnvironment environment = CurrentSettingsEnvironment();
    environment.screen = CurrentScreenMetrics();
    ASSERT_EQ(environment.screen.monitor_width, 960);
    Settings settings = DefaultSettings(environment);
    TCindralFrm window(settings);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // The find bar too, which is hidden until asked for.
    window.Find1Click();
    const QList<QToolBar*> bars = window.findChildren<QToolBar*>();
    ASSERT_FALSE(bars.isEmpty());
    for (QToolBar* bar : bars) {
        SCOPED_TRACE(bar->objectName().toStdString());
        auto* overflow = bar->findChild<QToolButton*>("qt_toolbar_ext_button");
        EXPECT_TRUE(overflow == nullptr || !overflow->isVisible());
        for (QAction* action : bar->actions()) {
            if (action->isSeparator()) continue;
            QWidget* shown = bar->widgetForAction(action);
            ASSERT_NE(shown, nullptr);
            EXPECT_TRUE(shown->isVisible()) << action->iconText().toStdString();
            EXPECT_TRUE(bar->rect().contains(shown->geometry()))
                << action->iconText().toStdString();
        }
    }
    EXPECT_TRUE(window.ElevationCb->isVisible());
    EXPECT_TRUE(window.DepthEd->isVisible());
}

}  // namespace
}  // namespace cindral::app
