#include "app/view/find_bar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

namespace cindral::app {

FindBar::FindBar(QWidget* parent) : QWidget(parent) {
    setObjectName("FindBar");
    Field = new QLineEdit(this);
    Field->setObjectName("FindEd");
    Field->setPlaceholderText("Find in the log");
    Field->setClearButtonEnabled(true);
    Field->setMinimumWidth(220);
    Field->installEventFilter(this);
    MatchCaseCb = new QCheckBox("Match &case", this);
    MatchCaseCb->setObjectName("MatchCaseCb");
    WholeWordsCb = new QCheckBox("&Whole words", this);
    WholeWordsCb->setObjectName("WholeWordsCb");
    auto make_button = [this](const char* name, const QString& text, const QString& tip) {
        auto* button = new QToolButton(this);
        button->setObjectName(name);
        button->setText(text);
        button->setToolTip(tip);
        button->setAutoRaise(true);
        return button;
    };
    PreviousBtn = make_button("FindPreviousBtn", "Previous", "Previous match (Shift+F3)");
    PreviousBtn->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    PreviousBtn->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    NextBtn = make_button("FindNextBtn", "Next", "Next match (F3)");
    NextBtn->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    NextBtn->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    SummaryLbl = new QLabel(this);
    SummaryLbl->setObjectName("FindSummaryLbl");
    SummaryLbl->setMinimumWidth(110);
    ResultsBtn = make_button("FindResultsBtn", "Results", "Show every match in a list at the side");
    ResultsBtn->setCheckable(true);
    CloseBtn = make_button("FindCloseBtn", QString(), "Close the find bar (Escape)");
    CloseBtn->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->addWidget(Field);
    layout->addWidget(PreviousBtn);
    layout->addWidget(NextBtn);
    layout->addWidget(MatchCaseCb);
    layout->addWidget(WholeWordsCb);
    layout->addWidget(SummaryLbl);
    layout->addStretch(1);
    layout->addWidget(ResultsBtn);
    layout->addWidget(CloseBtn);

    connect(Field, &QLineEdit::textChanged, this, &FindBar::SearchChanged);
    connect(MatchCaseCb, &QCheckBox::toggled, this, &FindBar::SearchChanged);
    connect(WholeWordsCb, &QCheckBox::toggled, this, &FindBar::SearchChanged);
    connect(PreviousBtn, &QToolButton::clicked, this, [this] { emit StepAsked(false); });
    connect(NextBtn, &QToolButton::clicked, this, [this] { emit StepAsked(true); });
    connect(ResultsBtn, &QToolButton::toggled, this, &FindBar::ResultsToggled);
    connect(CloseBtn, &QToolButton::clicked, this, &FindBar::Closed);
}

QString FindBar::Text() const {
    return Field->text();
}

FindOptions FindBar::Options() const {
    FindOptions options;
    options.match_case = MatchCaseCb->isChecked();
    options.whole_words = WholeWordsCb->isChecked();
    return options;
}

void FindBar::Open() {
    show();
    Field->setFocus(Qt::ShortcutFocusReason);
    Field->selectAll();
}

void FindBar::SetSummary(const QString& text) {
    SummaryLbl->setText(text);
}

void FindBar::SetNothingFound(bool nothing) {
    Field->setStyleSheet(nothing ? "QLineEdit { background: #ffe0e0; }" : QString());
}

bool FindBar::ResultsShown() const {
    return ResultsBtn->isChecked();
}

void FindBar::SetResultsShown(bool shown) {
    const QSignalBlocker quiet(ResultsBtn);
    ResultsBtn->setChecked(shown);
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Field && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            emit StepAsked(!(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            emit Closed();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace cindral::app
