// Find in the log: the find bar, the matches highlighted on the pages shown, the results
// list, and Copy Text for a drawn string.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>
#include <cmath>
#include <optional>

#include "app/view/find_bar.h"
#include "app/view/find_controller.h"
#include "app/view/find_results_panel.h"
#include "app/view/match_overlay.h"
#include "app/view/page_strip.h"
#include "app/window/cindral_frm.h"
#include "core/base/errors.h"
#include "render/document/log_document.h"
#include "render/document/text_index.h"

namespace cindral::app {

void TCindralFrm::createFindControls() {
    find_ = new FindController(this);
    FindBar1 = new FindBar(this);
    FindToolBar = new QToolBar("Find", this);
    FindToolBar->setObjectName("FindToolBar");
    FindToolBar->setMovable(false);
    FindToolBar->addWidget(FindBar1);
    addToolBar(Qt::BottomToolBarArea, FindToolBar);
    FindToolBar->hide();
    FindResults = new FindResultsPanel(this);
    addDockWidget(Qt::RightDockWidgetArea, FindResults);
    FindResults->hide();
    page_marks_ = new MatchOverlay(Image1);
    strip_marks_ = new MatchOverlay(Strip);

    connect(FindBar1, &FindBar::SearchChanged, this, [this] {
        jump_to_match_ = true;
        find_->SetDocument(Document.get());
        find_->Search(FindBar1->Text(), FindBar1->Options(), ShownPage);
    });
    connect(FindBar1, &FindBar::StepAsked, this, &TCindralFrm::FindStep);
    connect(FindBar1, &FindBar::Closed, this, &TCindralFrm::CloseFind);
    connect(FindBar1, &FindBar::ResultsToggled, this, [this](bool on) {
        FindResults->setVisible(on);
        FindChanged();
    });
    connect(FindResults, &QDockWidget::visibilityChanged, this,
            [this](bool shown) { FindBar1->SetResultsShown(shown); });
    connect(FindResults, &FindResultsPanel::MatchChosen, this, [this](int match) {
        jump_to_match_ = true;
        find_->SetCurrent(match);
    });
    connect(find_, &FindController::Changed, this, &TCindralFrm::FindChanged);
    connect(find_, &FindController::CurrentChanged, this, &TCindralFrm::FindCurrentChanged);

    for (QWidget* page : {static_cast<QWidget*>(Image1), static_cast<QWidget*>(Strip)}) {
        page->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(page, &QWidget::customContextMenuRequested, this,
                [this, page](const QPoint& at) { ShowPageMenu(page, at); });
    }
}

void TCindralFrm::Find1Click() {
    FindToolBar->show();
    FindBar1->Open();
    if (!FindBar1->Text().isEmpty()) {
        find_->SetDocument(Document.get());
        if (find_->Text() != FindBar1->Text() || find_->Matches().empty()) {
            jump_to_match_ = true;
            find_->Search(FindBar1->Text(), FindBar1->Options(), ShownPage);
        }
    }
    updateActions();
}

void TCindralFrm::FindStep(bool forward) {
    if (!FindOpen() || FindBar1->Text().isEmpty()) {
        Find1Click();
        return;
    }
    jump_to_match_ = true;
    if (find_->Searching()) return;  // the first match is gone to once the index is built
    find_->Step(forward);
}

void TCindralFrm::CloseFind() {
    FindToolBar->hide();
    FindResults->hide();
    find_->Clear();
    ScrollBox1->setFocus();
    updateActions();
}

bool TCindralFrm::FindOpen() const {
    return FindToolBar && !FindToolBar->isHidden();
}

const FindController& TCindralFrm::Finder() const {
    return *find_;
}

void TCindralFrm::FindChanged() {
    FindBar1->SetNothingFound(!find_->Text().isEmpty() && !find_->Searching() &&
                              find_->Matches().empty());
    if (FindResults->isVisible() || FindResults->Count() > 0) {
        const DepthSign sign = ShownDepths();
        FindResults->SetMatches(find_->Index(), find_->Matches(), [sign](const TextMatch& match) {
            return QString::asprintf("%.2f", sign.Shown(match.depth));
        });
    }
    FindCurrentChanged();
}

void TCindralFrm::FindCurrentChanged() {
    FindBar1->SetSummary(find_->Summary());
    FindResults->SetCurrent(find_->Current());
    const TextMatch* match = find_->CurrentMatch();
    if (match && jump_to_match_ && Document && !NoPages) {
        jump_to_match_ = false;
        if (match->page != ShownPage) {
            ShownPage = std::clamp(match->page, 0, Document->LastPage());
            ShowCurrentPage();
        }
        ScrollToMatch();
    }
    UpdateMatchMarks();
}

// Device-independent pixels per inch of the page pictures on screen.
QSizeF TCindralFrm::ShownPixelsPerInch() const {
    if (!Document) return {};
    const QSize page = Continuous() ? Strip->PageSize() : Image1->size();
    return {page.width() / Document->Header().PageWidth,
            page.height() / Document->Header().PageHeight};
}

static QRectF OnScreen(const InchBox& box, const QSizeF& scale, double top) {
    return QRectF(box.left * scale.width(), top + box.top * scale.height(),
                  box.Width() * scale.width(), box.Height() * scale.height());
}

void TCindralFrm::UpdateMatchMarks() {
    if (!find_) return;  // while the window is being made
    const QSizeF scale = ShownPixelsPerInch();
    std::vector<QRectF> boxes;
    QRectF current;
    const TextMatch* chosen = find_->CurrentMatch();
    if (FindOpen() && Document && !NoPages) {
        for (const TextMatch& match : find_->Matches()) {
            if (!Continuous() && match.page != DisplayedPage) continue;
            const double top = Continuous() ? Strip->PageTop(match.page) : 0;
            for (const InchBox& box : match.boxes) {
                const QRectF shown = OnScreen(box, scale, top);
                if (&match != chosen) {
                    boxes.push_back(shown);
                } else {
                    current = current.isEmpty() ? shown : current.united(shown);
                }
            }
        }
    }
    MatchOverlay* marks = Continuous() ? strip_marks_ : page_marks_;
    (Continuous() ? page_marks_ : strip_marks_)->SetBoxes({}, {});
    marks->SetBoxes(std::move(boxes), current);
}

void TCindralFrm::ScrollToMatch() {
    const TextMatch* match = find_->CurrentMatch();
    if (!match) return;
    const QSizeF scale = ShownPixelsPerInch();
    const double top = Continuous() ? Strip->PageTop(match->page) : 0;
    const QRectF box = OnScreen(match->box, scale, top);
    scrolling_to_page_ = true;
    // The whole match in view where it fits, with room around it to read it in.
    ScrollBox1->ensureVisible(int(box.center().x()), int(box.center().y()),
                              int(std::min(box.width() / 2 + 60, 0.45 * ScrollBox1->width())),
                              int(std::min(box.height() / 2 + 80, 0.45 * ScrollBox1->height())));
    scrolling_to_page_ = false;
    if (Continuous()) RequestVisiblePages();
}

// The whole text drawn under `at` of the page widget (Image1 or the strip); nothing where no
// string is drawn.
std::optional<QString> TCindralFrm::TextUnder(QWidget* page_widget, const QPoint& at) const {
    int page = DisplayedPage;
    double top = 0;
    if (page_widget == Strip) {
        page = Strip->PageAt(at.y());
        top = Strip->PageTop(page);
    }
    const QSizeF scale = ShownPixelsPerInch();
    if (!Document || NoPages || page < 0 || scale.isEmpty()) return std::nullopt;
    const std::shared_ptr<const TextIndex> index = Document->Texts();
    const int string =
        index->StringAt(page, at.x() / scale.width(), (at.y() - top) / scale.height());
    if (string < 0) return std::nullopt;
    return index->Strings()[size_t(string)].text;
}

void TCindralFrm::ShowPageMenu(QWidget* page_widget, const QPoint& at) {
    if (!Document || NoPages) return;
    QMenu menu(this);
    std::optional<QString> text;
    try {
        text = TextUnder(page_widget, at);
    } catch (const CindralError& e) {
        ShowStatusLine("Cannot read the page's texts: " + QString::fromStdString(e.what()));
    }
    QAction* copy_text = menu.addAction("Copy &Text");
    copy_text->setObjectName("CopyTextMenuItem");
    copy_text->setEnabled(text.has_value());
    if (text) {
        copy_text->setStatusTip(*text);
        connect(copy_text, &QAction::triggered, this,
                [copied = *text] { QGuiApplication::clipboard()->setText(copied); });
    }
    menu.addSeparator();
    menu.addAction(actions_.Copy1);
    menu.addAction(actions_.CopyDepth1);
    menu.addSeparator();
    menu.addAction(actions_.Find1);
    menu.exec(page_widget->mapToGlobal(at));
}

}  // namespace cindral::app
