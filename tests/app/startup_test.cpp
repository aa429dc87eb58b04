// The start-up step in a private folder: its logs, files, registry value and failures.

#include "app/window/startup.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QSettings>
#include <QStringList>
#include <QSvgRenderer>
#include <QWidget>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

#include "app/dialogs/status_dialog.h"
#include "core/environment/directories.h"
#include "core/environment/status.h"
#include "core/format/gdx_writer.h"
#include "recording_ui.h"
#include "temp_dir.h"

namespace cindral::app {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

std::string ReadText(const std::string& path) {
    std::vector<uint8_t> bytes = ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

class StartUpTest : public ::testing::Test {
  protected:
    StartUpTest() {
        std::filesystem::create_directory(dir.File("prog"));
        std::filesystem::create_directory(dir.File("tmp"));
        environment.program_path = dir.File("prog/cindral");
        environment.temp_directory = dir.File("tmp");
        environment.registry_file = dir.File("registry.ini");
        environment.message_boxes = false;
        environment.ask_printer = false;
    }
    ~StartUpTest() override { SetLogFile(""); }

    std::unique_ptr<Session> Start(const std::vector<std::string>& parameters = {}) {
        args = {"cindral"};
        for (const std::string& p : parameters) args.push_back(p);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        return StartUp(static_cast<int>(args.size()), argv.data(), environment);
    }

    TempDir dir;
    StartUpEnvironment environment;
    RecordingUi ui;
    ScopedUi scoped_ui{ui};
    std::vector<std::string> args;
};

TEST_F(StartUpTest, WritesBothLogsAndCreatesTheSettingsAndOptionsFiles) {
    auto session = Start({"log.gdx"});
    ASSERT_TRUE(session);
    std::string prog = dir.File("prog") + "/";
    EXPECT_EQ(ReadText(dir.File("tmp/startup.log")),
              "Startup Log for Borneth 2003\n"
              "   Command line mode\n"
              "Setting Window Style\n"
              "Determine Program Directory\n"
              "Program Directory = " +
                  prog +
                  "\n"
                  "Create BN2001.LOG - End of Start Log\n");
    EXPECT_EQ(ReadText(dir.File("prog/cindral.LOG")),
              "Execution Log for cindral\n"
              "Borneth 2003\n"
              "Version=" +
                  std::string(CINDRAL_VERSION) +
                  "\n"
                  "Windows 2000: 2.10.0\n"
                  "Windows Directory = /etc/\n"
                  "Program Directory = " +
                  prog +
                  "\n"
                  "User Directory = " +
                  prog +
                  "\n"
                  "Windows\\Temp = " +
                  dir.File("tmp") +
                  "/\n"
                  "Creating status window...\n"
                  "  Hiding Status window...\n"
                  "  Updating hints...\n");
    EXPECT_EQ(ReadFileBytes(dir.File("prog/cindral.Cn2")).size(), 3568u);
    EXPECT_EQ(ReadFileBytes(dir.File("prog/cindral.CN1")).size(), 100u);
    EXPECT_TRUE(session->CommandLineMode());
    EXPECT_EQ(session->Parameters(), QStringList{"log.gdx"});
    EXPECT_EQ(&CurrentStatusSink(), static_cast<StatusSink*>(&session->StatusWindow()));
    EXPECT_TRUE(session->StatusWindow().isHidden());
    EXPECT_TRUE(ui.messages.empty());
    session.reset();
    EXPECT_NE(&CurrentStatusSink(), nullptr);
}

TEST_F(StartUpTest, WithoutParametersThereIsNoCommandLineMode) {
    auto session = Start();
    ASSERT_TRUE(session);
    EXPECT_FALSE(session->CommandLineMode());
    EXPECT_EQ(ReadText(dir.File("tmp/startup.log")).find("Command line mode"), std::string::npos);
}

TEST_F(StartUpTest, AnOptionsFileOf99BytesIsReplacedByTheDefaults) {
    WriteFileBytes(dir.File("prog/cindral.CN1"), std::vector<uint8_t>(99, 1));
    auto session = Start();
    ASSERT_TRUE(session);
    std::vector<uint8_t> options = ReadFileBytes(dir.File("prog/cindral.CN1"));
    ASSERT_EQ(options.size(), 100u);
    EXPECT_EQ(options[0], 0);
    EXPECT_EQ(options[84], 500 & 0xFF);
    EXPECT_FALSE(session->Options().BetaOptions);
}

TEST_F(StartUpTest, TheRegistryValueIsWrittenOnceAndThenRead) {
    auto first = Start();
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->DesignerVisible());
    first.reset();
    {
        QSettings registry(QString::fromStdString(dir.File("registry.ini")), QSettings::IniFormat);
        EXPECT_EQ(registry.value("Borneth 2003/DesignerVisible").toBool(), true);
        registry.setValue("Borneth 2003/DesignerVisible", false);
    }
    auto second = Start();
    ASSERT_TRUE(second);
    EXPECT_FALSE(second->DesignerVisible());
}

TEST_F(StartUpTest, ShutDownWritesTheSettingsTheWindowLeft) {
    auto session = Start();
    ASSERT_TRUE(session);
    QWidget window;
    window.setGeometry(30, 40, 500, 300);
    StoreWindowPlacement(window, CurrentSettings());
    ShutDown(*session);
    Settings saved = DecodeSettings(ReadFileBytes(dir.File("prog/cindral.Cn2")));
    EXPECT_FALSE(saved.Maximized);
    EXPECT_EQ(saved.WindowLeft, 30);
    EXPECT_EQ(saved.WindowTop, 40);
    EXPECT_EQ(saved.WindowWidth, 500);
    EXPECT_EQ(saved.WindowHeight, 300);
}

TEST_F(StartUpTest, AStartUpLogThatCannotBeCreatedEndsTheProgram) {
    environment.temp_directory = dir.File("missing");
    EXPECT_FALSE(Start());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(ui.messages[0].text, "IO Error 2\r\n\r\nUnable to create the initial start up log: " +
                                       dir.File("missing") + "/startup.log");
}

TEST_F(StartUpTest, AnExecutionLogThatCannotBeCreatedEndsTheProgram) {
    // Neither the program folder nor the configuration and state folders can take files.
    WriteFileBytes(dir.File("not-a-folder"), {1});
    std::vector<std::pair<const char*, std::optional<std::string>>> saved;
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_STATE_HOME"}) {
        const char* old = std::getenv(name);
        saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        setenv(name, dir.File("not-a-folder").c_str(), 1);
    }
    environment.program_path = dir.File("no-such-folder/cindral");
    auto session = Start();
    for (const auto& [name, value] : saved) {
        value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }
    EXPECT_FALSE(session);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("\r\n\r\nUnable to create the cindral log file."),
              std::string::npos)
        << ui.messages[0].text;
    EXPECT_EQ(ui.messages[0].text.rfind("IO Error ", 0), 0u);
}

TEST(WindowPlacement, AWindowNeverPlacedStartsAtTop20) {
    Settings s;
    s.WindowTop = kWindowNotPlaced;
    s.WindowLeft = 48;
    s.WindowWidth = 1152;
    s.WindowHeight = 648;
    EXPECT_EQ(InitialWindowGeometry(s), QRect(48, 20, 1152, 648));
    s.WindowTop = 70;
    EXPECT_EQ(InitialWindowGeometry(s).top(), 70);
}

// Qt's SVG renderer draws the program's icon (the window's and the desktop's) without a
// warning, and draws all of it: the sand of the lithology column is there.
TEST(ProgramIcon, DrawsWithoutSvgWarnings) {
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext& context, const QString& text) {
            if (context.category && QByteArray(context.category).startsWith("qt.svg")) {
                warnings << text;
            }
        });
    QImage drawn(256, 256, QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    bool valid = false;
    {
        QSvgRenderer renderer(QString(":/icons/cindral.svg"));
        valid = renderer.isValid();
        QPainter painter(&drawn);
        renderer.render(&painter);
    }
    qInstallMessageHandler(previous);
    ASSERT_TRUE(valid);
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join("\n").toStdString();
    int sand = 0;
    for (int y = 24; y < 76; ++y) {
        for (int x = 56; x < 120; ++x) sand += drawn.pixel(x, y) == qRgb(0xf2, 0xd1, 0x6b);
    }
    EXPECT_GT(sand, 64 * 52 / 2);
}

}  // namespace
}  // namespace cindral::app
