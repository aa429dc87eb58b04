#pragma once
// The thumbnails: a side panel of small page pictures, drawn on a thread of their own at a
// low resolution, only for the pages the panel shows; a click goes to that page.

#include <QDockWidget>
#include <memory>

class QListWidget;

namespace cindral {
class LogDocument;
}

namespace cindral::app {

class PageWorker;

class ThumbnailPanel : public QDockWidget {
    Q_OBJECT
  public:
    // Longest side of a thumbnail, in device-independent pixels.
    static constexpr int kThumbnailSide = 120;

    explicit ThumbnailPanel(QWidget* parent = nullptr);
    ~ThumbnailPanel() override;

    // The pages of `document` (nullptr: none); their pictures drawn so far are forgotten.
    void SetDocument(const LogDocument* document);
    // Marks the page on screen.
    void SetCurrentPage(int page);
    // Whether page `page` has its picture yet.
    bool HasPicture(int page) const;

    QListWidget* List;

  signals:
    void PageChosen(int page);

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // Asks for the pictures of the pages in view that have none.
    void RequestVisible();
    void PageDone(int page, const QImage& image, const QString& error, bool cancelled);

    PageWorker* worker_;
};

}  // namespace cindral::app
