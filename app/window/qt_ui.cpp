#include "app/window/qt_ui.h"

#include <QApplication>
#include <QMessageBox>

namespace cindral::app {
namespace {

QMessageBox::Icon IconFor(MessageKind kind) {
    switch (kind) {
        case MessageKind::Error:
            return QMessageBox::Critical;
        case MessageKind::Warning:
            return QMessageBox::Warning;
        case MessageKind::Confirmation:
            return QMessageBox::Question;
        case MessageKind::Information:
            return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ButtonsFor(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok:
            return QMessageBox::Ok;
        case Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case Buttons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case Buttons::Yes:
            return QMessageBox::Yes;
    }
    return QMessageBox::Ok;
}

Answer AnswerFor(int button, Buttons buttons) {
    switch (button) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Cancel:
            return Answer::Cancel;
    }
    // Closed by the window manager: the answer nobody can regret.
    return SafeDefault(buttons);
}

}  // namespace

Answer QtUi::ShowMessage(MessageKind kind, const std::string& caption, const std::string& text,
                         Buttons buttons) {
    QString title =
        caption.empty() ? QApplication::applicationName() : QString::fromStdString(caption);
    QMessageBox box(IconFor(kind), title, QString::fromStdString(MessageDisplayText(text)),
                    ButtonsFor(buttons));
    box.setTextFormat(Qt::PlainText);
    // A question starts on its safe answer, so Enter never destroys anything.
    Answer safe = SafeDefault(buttons);
    if (safe == Answer::No) box.setDefaultButton(QMessageBox::No);
    if (safe == Answer::Cancel) box.setDefaultButton(QMessageBox::Cancel);
    return AnswerFor(box.exec(), buttons);
}

void QtUi::RestoreCursor() {
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

}  // namespace cindral::app
