#include "app/dialogs/system_files_dialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialogs/help_dialog.h"
#include "core/environment/settings.h"
#include "core/environment/ui.h"

namespace cindral::app {
namespace {

QLineEdit* AddFileGroup(QVBoxLayout* layout, const QString& title, const QString& filter,
                        QPushButton*& browse, QWidget* owner) {
    auto* group = new QGroupBox(title, owner);
    auto* row = new QHBoxLayout(group);
    auto* edit = new QLineEdit(group);
    // Names come from the browse dialog only, so a typed name cannot point nowhere.
    edit->setReadOnly(true);
    browse = new QPushButton("...", group);
    browse->setToolTip("Select");
    row->addWidget(edit, 1);
    row->addWidget(browse);
    layout->addWidget(group);
    QObject::connect(browse, &QPushButton::clicked, owner, [edit, filter, owner] {
        const QString start = QFileInfo(edit->text()).absolutePath();
        const QString chosen = QFileDialog::getOpenFileName(owner, "Select", start, filter);
        if (!chosen.isEmpty()) edit->setText(chosen);
    });
    return edit;
}

}  // namespace

TSysFilesFra::TSysFilesFra(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    KeywordEd = AddFileGroup(layout, "&Keyword File", "Keyword Files (*.key);;All files (*)",
                             KeywordBtn, this);
    PatternEd = AddFileGroup(layout, "&Pattern File", "Pattern Files (*.pat);;All files (*)",
                             PatternBtn, this);
    SymbolEd =
        AddFileGroup(layout, "S&ymbol File", "Symbol File (*.sym);;All files (*)", SymbolBtn, this);
}

TSysFilesDlg::TSysFilesDlg(Settings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setWindowTitle("System Files");
    auto* layout = new QVBoxLayout(this);
    Frame = new TSysFilesFra(this);
    layout->addWidget(Frame);
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [] { ShowHelpTopic(help_topic::kSystemFiles); });
    Frame->KeywordEd->setText(QString::fromStdString(settings_.KeywordFile));
    Frame->PatternEd->setText(QString::fromStdString(settings_.PatternFile));
    Frame->SymbolEd->setText(QString::fromStdString(settings_.SymbolFile));
    resize(520, sizeHint().height());
}

void TSysFilesDlg::accept() {
    try {
        const std::string keyword = Frame->KeywordEd->text().toStdString();
        const std::string pattern = Frame->PatternEd->text().toStdString();
        const std::string symbol = Frame->SymbolEd->text().toStdString();
        for (const std::string* name : {&keyword, &pattern, &symbol}) {
            if (name->size() > kSettingsTextCapacity) {
                CurrentUi().ShowMessage(
                    MessageKind::Error, "",
                    "The file name is longer than the " + std::to_string(kSettingsTextCapacity) +
                        " characters the settings can keep; choose a file with a shorter path:\n" +
                        *name,
                    Buttons::Ok);
                return;
            }
        }
        settings_.KeywordFile = keyword;
        settings_.PatternFile = pattern;
        settings_.SymbolFile = symbol;
        QDialog::accept();
    } catch (const std::exception& e) {
        CurrentUi().ShowMessage(MessageKind::Error, "",
                                std::string("Error in the System Files Dialog - ") + e.what(),
                                Buttons::Ok);
    }
}

}  // namespace cindral::app
