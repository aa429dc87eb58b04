#include "app/dialogs/goto_depth_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/dialogs/help_dialog.h"
#include "core/pages/depth_interval.h"
#include "render/document/log_document.h"

namespace cindral::app {
namespace {

// The slack the interval dialog allows: a value typed with six decimals matches a limit
// that has more.
constexpr double kSlack = 0.000001;

}  // namespace

int PageHolding(const LogDocument& document, double value, bool elevation) {
    // The first value a page's data window shows; pages go down the log, so the page that
    // holds the value is the last one starting at or above it.
    auto page_top = [&](int page) {
        return document.DepthAt(page, document.Geometry(page).DataTopPx, elevation);
    };
    int low = 0;
    int high = document.LastPage();
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (page_top(middle) >= value) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    return low;
}

DepthSearch FindDepth(const LogDocument& document, double value, bool elevation,
                      const DepthSign& sign) {
    const GdxHeader& view = document.Header();
    // Elevations are the file's numbers plus the datum; depths as the sign shows them.
    const DepthSign shown = elevation ? DepthSign() : sign;
    auto shown_g = [&shown](double v) { return FormatG(shown.Shown(v)); };
    const double datum = elevation ? view.ElevationDatum : 0;
    const char* what = elevation ? "elevation" : "depth";
    DepthSearch search;
    if (!std::isfinite(value)) {
        search.problem = std::string("The ") + what + " is not a number.";
        return search;
    }
    const double top = view.TopDepth + datum;
    const double base = view.BottomDepth + datum;
    value = shown.FromShown(value);
    if (value > top + kSlack) {
        search.problem = std::string("The ") + what + " (" + shown_g(value) +
                         ") is higher than the log's top (" + shown_g(top) + ")";
        return search;
    }
    if (value < base - kSlack) {
        search.problem = std::string("The ") + what + " (" + shown_g(value) +
                         ") is lower than the log's base (" + shown_g(base) + ")";
        return search;
    }
    const double depth = std::clamp(value, base, top) - datum;
    if (document.LastPage() < 0) {
        search.problem = "The log has no page.";
        return search;
    }
    const int low = PageHolding(document, depth, false);
    const PageGeometry g = document.Geometry(low);
    const double first = document.DepthAt(low, g.DataTopPx, false);
    const double row_depth = first - document.DepthAt(low, g.DataTopPx + 1, false);
    int row = g.DataTopPx;
    if (row_depth > 0) {
        row += static_cast<int>(std::floor((first - depth) / row_depth));
        // Rounding in the division can land a row off; the read-out decides.
        while (row > g.DataTopPx && document.DepthAt(low, row, false) < depth) --row;
        while (row < g.DataBottomPx && document.DepthAt(low, row + 1, false) >= depth) ++row;
        row = std::min(row, std::max(g.DataTopPx, g.DataBottomPx));
    }
    search.place = DepthPlace{low, row};
    return search;
}

TGotoDepthDialog::TGotoDepthDialog(double value, bool elevation, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle("Go to Depth");
    ValueLbl = new QLabel("&Depth or elevation:", this);
    ValueEd = new QLineEdit(QString::number(value, 'f', 2), this);
    ValueEd->setObjectName("ValueEd");
    auto* validator = new QDoubleValidator(this);
    validator->setLocale(QLocale::c());
    validator->setNotation(QDoubleValidator::StandardNotation);
    ValueEd->setValidator(validator);
    ValueLbl->setBuddy(ValueEd);
    ElevationCb = new QCheckBox("&Elevation", this);
    ElevationCb->setObjectName("ElevationCb");
    ElevationCb->setChecked(elevation);

    auto* buttons = new QDialogButtonBox(this);
    OKBTN = buttons->addButton(QDialogButtonBox::Ok);
    CancelBTN = buttons->addButton(QDialogButtonBox::Cancel);
    connect(OKBTN, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBTN, &QPushButton::clicked, this, &QDialog::reject);
    InstallHelpKey(this, help_topic::kGoToDepth);

    auto* row = new QHBoxLayout;
    row->addWidget(ValueLbl);
    row->addWidget(ValueEd, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(ElevationCb);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ValueEd->selectAll();
    ValueEd->setFocus();
}

double TGotoDepthDialog::Value() const {
    bool ok = false;
    const double value = QLocale::c().toDouble(ValueEd->text(), &ok);
    return ok ? value : std::nan("");
}

bool TGotoDepthDialog::Elevation() const {
    return ElevationCb->isChecked();
}

}  // namespace cindral::app
