#pragma once
// The magnifier: a small frameless window floating over the page view that shows the part of
// the page beneath it enlarged (or reduced) by 0.5, 2, 3 or 4. Enlarged, it shows the page
// drawn at the magnified resolution (on a thread of its own, from the log document), so text
// and dotted lines stay sharp; until that page is drawn, the screen bitmap smoothly
// resampled. Dragging it anywhere moves it, dragging its edges resizes it, its popup menu
// sets the magnification; it stays inside the page view.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <memory>

class QAction;
class QMenu;
class QScrollArea;

namespace cindral {
class LogDocument;
}

namespace cindral::app {

class PageWorker;

// The part of the picture under a magnifier at `window` (in the coordinates the picture's
// top-left corner is at `picture_origin` in, i.e. already shifted by the scroll position),
// shrunk about its centre to 1/m of its size: each side moves in by round((W - W/m) / 2)
// (out, for m < 1). Halves round to even.
QRect MagSourceRect(const QRect& window, const QPoint& picture_origin, double magnification);

class TMagFrm : public QWidget {
    Q_OBJECT
  public:
    // A child of `parent` over `source_box`, showing `picture` (the widget that shows the
    // page) from `bitmap` (what it shows, at the picture's device pixel ratio).
    TMagFrm(QWidget* parent, QScrollArea* source_box, QWidget* picture, const QImage* bitmap);
    ~TMagFrm() override;

    // The page the bitmap shows, from `document` laid out at the bitmap's resolution (copied;
    // null: none, the bitmap alone is resampled).
    void SetPage(const LogDocument* document, int page);
    // True once the page is drawn at the magnified resolution and shown from it.
    bool Sharp() const;

    double Magnification() const { return magnification_; }
    // The rectangle of the bitmap shown, in bitmap pixels.
    QRect SourceRect() const;
    // What the window shows: the source resampled to its size.
    QImage Magnified() const;

    QMenu* PopupMenu1;
    QAction* MagHalfmnu;
    QAction* Mag2mnu;
    QAction* Mag3mnu;
    QAction* Mag4mnu;

    void ChangeMag(QAction* item);

  signals:
    // The mouse is over the magnifier, above this point of the picture (its own coordinates).
    void PointerOverPicture(const QPoint& at);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    // Which edges a press at `at` grabs (Qt::Edges), none for a move.
    Qt::Edges EdgesAt(const QPoint& at) const;
    // Asks for the page at the magnified resolution when it is not drawn yet.
    void RequestSharp();
    // Moves and shrinks the window into the page view.
    void KeepInside();

    QScrollArea* source_box_;
    QWidget* picture_;
    const QImage* bitmap_;
    double magnification_ = 2;
    Qt::Edges dragging_edges_;
    bool dragging_ = false;
    QPoint press_global_;
    QRect press_geometry_;
    std::unique_ptr<LogDocument> document_;
    int page_ = -1;
    PageWorker* sharp_worker_;
    int sharp_pixels_per_inch_ = 0;  // of the document the worker draws from; 0: none
    QImage sharp_;
};

}  // namespace cindral::app
