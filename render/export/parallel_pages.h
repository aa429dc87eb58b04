#pragma once
// Pages of one log drawn on several threads at once, each thread from its own copy of the
// log document: the engine under `render --pages` and the HTML table's pictures.

#include <QImage>
#include <functional>

namespace cindral {

class LogDocument;

// Hears each page drawn, on the thread that drew it and concurrently with the others:
// `pages` is that thread's copy of the document, `page` is 0-based.
using PageDelivery = std::function<void(const LogDocument& pages, int page, const QImage& image)>;

// Draws pages `first` to `last` (0-based, inclusive) of `document`, at its resolution, on
// `jobs` threads, and hands each to `deliver`. `progress` hears (pages delivered, page count)
// on the calling thread, which also watches its status sink for a cancel. A confirmed cancel
// or a failure (of drawing or of `deliver`) stops every thread at its next poll; a page drawn
// after the stop is not delivered, and the failure (Cancelled for a cancel) is raised once
// every thread has ended.
void DrawPagesInParallel(const LogDocument& document, int first, int last, int jobs,
                         const PageDelivery& deliver,
                         const std::function<void(long, long)>& progress = {});

// The number of threads that keeps every processor busy.
int ProcessorCount();

}  // namespace cindral
