#pragma once
// The continuous view: the log's pages one below the other, a small gap between them, in one
// scroll area. The strip only shows the page pictures it is given (the window asks the
// drawing thread for the pages that come into view) and keeps those near the view only.

#include <QImage>
#include <QWidget>
#include <map>

namespace cindral::app {

class PageStrip : public QWidget {
    Q_OBJECT
  public:
    // Between two pages, in device-independent pixels.
    static constexpr int kGap = 8;

    explicit PageStrip(QWidget* parent = nullptr);

    // `page_size` in device-independent pixels; the pictures shown so far are forgotten.
    void SetLayout(int page_count, QSize page_size);
    int PageCount() const { return page_count_; }
    QSize PageSize() const { return page_size_; }
    int PageTop(int page) const { return page * (page_size_.height() + kGap); }
    // The page whose rows, or the gap below them, hold `y` (held to the pages there are).
    int PageAt(int y) const;

    void SetPicture(int page, const QImage& picture);
    bool HasPicture(int page) const { return pictures_.count(page) != 0; }
    // Forgets the pictures of pages outside `first` to `last`.
    void KeepOnly(int first, int last);

    QSize sizeHint() const override;

  signals:
    // The mouse is over `row` (device-independent) of `page`.
    void MouseAt(int page, int row);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    int page_count_ = 0;
    QSize page_size_;
    std::map<int, QImage> pictures_;
};

}  // namespace cindral::app
