#include "app/view/find_controller.h"

#include <algorithm>

#include "core/base/errors.h"
#include "render/document/log_document.h"

namespace cindral::app {

FindController::FindController(QObject* parent) : QObject(parent) {}

FindController::~FindController() {
    if (builder_) builder_->wait();
}

bool FindController::SetDocument(const LogDocument* document) {
    const bool same = document == document_ && (!index_ || document->TextsIfBuilt() == index_);
    if (same) return false;
    document_ = document;
    ++generation_;
    index_.reset();
    error_.clear();
    matches_.clear();
    current_ = -1;
    searching_ = false;
    emit Changed();
    return true;
}

void FindController::Clear() {
    text_.clear();
    matches_.clear();
    current_ = -1;
    emit Changed();
}

void FindController::Search(const QString& text, const FindOptions& options, int from_page) {
    text_ = text;
    options_ = options;
    from_page_ = from_page;
    Run();
}

void FindController::SearchAgain(int from_page) {
    from_page_ = from_page;
    Run();
}

void FindController::Run() {
    matches_.clear();
    current_ = -1;
    if (text_.isEmpty() || !document_) {
        searching_ = false;
        emit Changed();
        return;
    }
    if (!index_) index_ = document_->TextsIfBuilt();
    if (!index_) {
        searching_ = true;
        if (!building_) StartBuilding();
        emit Changed();
        return;
    }
    searching_ = false;
    matches_ = index_->Find(text_, options_);
    if (!matches_.empty()) {
        auto first = std::find_if(matches_.begin(), matches_.end(),
                                  [this](const TextMatch& m) { return m.page >= from_page_; });
        current_ = first == matches_.end() ? 0 : int(first - matches_.begin());
    }
    emit Changed();
}

void FindController::StartBuilding() {
    // The copy shares the document's bytes and its text cache; the thread owns the copy, so
    // closing the log meanwhile cannot pull the pages from under it.
    std::shared_ptr<LogDocument> copy = document_->Copy();
    const int generation = generation_;
    building_ = true;
    builder_ = QThread::create([this, copy, generation] {
        std::shared_ptr<const TextIndex> index;
        QString error;
        try {
            index = copy->Texts();
        } catch (const CindralError& e) {
            error = QString::fromStdString(e.what());
        }
        // Delivered on the window's thread; the destructor waits for this thread, and a call
        // still queued goes with the controller.
        QMetaObject::invokeMethod(
            this, [this, index, error, generation] { Built(index, error, generation); },
            Qt::QueuedConnection);
    });
    connect(builder_, &QThread::finished, builder_, &QObject::deleteLater);
    builder_->start();
}

void FindController::Built(const std::shared_ptr<const TextIndex>& index, const QString& error,
                           int generation) {
    if (builder_) builder_->wait();
    builder_ = nullptr;
    building_ = false;
    // Built for a log no longer shown, or for its layout before a new interval: start again
    // for this one if a search waits.
    const bool stale =
        generation != generation_ || (index && document_ && document_->TextsIfBuilt() != index);
    if (stale) {
        if (searching_ && document_) StartBuilding();
        return;
    }
    // A search made after the thread filled the document's cache took the index from there
    // and has its matches; searching again would move the current match back.
    if (index && index == index_ && !searching_) return;
    error_ = error;
    index_ = index;
    if (!index_) {
        searching_ = false;
        emit Changed();
        return;
    }
    Run();
}

void FindController::Step(bool forward) {
    if (matches_.empty()) return;
    const int count = int(matches_.size());
    current_ = current_ < 0 ? 0 : (current_ + (forward ? 1 : count - 1)) % count;
    emit CurrentChanged();
}

void FindController::SetCurrent(int match) {
    if (match < 0 || match >= int(matches_.size())) return;
    current_ = match;
    emit CurrentChanged();
}

const TextMatch* FindController::CurrentMatch() const {
    return current_ >= 0 && current_ < int(matches_.size()) ? &matches_[current_] : nullptr;
}

QString FindController::Summary() const {
    if (searching_) return QString::fromUtf8("Searching\u2026");
    if (!error_.isEmpty()) return "Cannot search: " + error_;
    if (text_.isEmpty()) return QString();
    if (matches_.empty()) return "No matches";
    return QString("%1 of %2").arg(current_ + 1).arg(matches_.size());
}

}  // namespace cindral::app
