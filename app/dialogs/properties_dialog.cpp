#include "app/dialogs/properties_dialog.h"

#include <QClipboard>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>

#include "render/document/log_document.h"
#include "render/document/log_summary.h"

namespace cindral::app {
namespace {

QString Number(double value) {
    return QString::fromStdString(ShortestNumber(value));
}

QString Inches(double inches) {
    return inches < 0 ? QString("none") : Number(inches) + " in";
}

struct Paper {
    const char* name;
    double width, height;  // inches, portrait
};

constexpr double kMillimetre = 1 / 25.4;
constexpr Paper kPapers[] = {
    {"Letter", 8.5, 11},
    {"Legal", 8.5, 14},
    {"Tabloid", 11, 17},
    {"Executive", 7.25, 10.5},
    {"A3", 297 * kMillimetre, 420 * kMillimetre},
    {"A4", 210 * kMillimetre, 297 * kMillimetre},
    {"A5", 148 * kMillimetre, 210 * kMillimetre},
};

}  // namespace

QString PaperName(double width_inches, double height_inches) {
    // Sizes typed in inches to two places (A4 as 8.3 x 11.7) still match.
    constexpr double kTolerance = 0.05;
    auto near = [](double a, double b) { return std::abs(a - b) <= kTolerance; };
    for (const Paper& paper : kPapers) {
        if (near(width_inches, paper.width) && near(height_inches, paper.height)) {
            return paper.name;
        }
        if (near(width_inches, paper.height) && near(height_inches, paper.width)) {
            return QString(paper.name) + ", landscape";
        }
    }
    return {};
}

QString FileSizeText(long long bytes) {
    const QLocale locale;
    QString text = locale.toString(bytes) + (bytes == 1 ? " byte" : " bytes");
    if (bytes >= 1024 * 1024) {
        text += " (" + locale.toString(double(bytes) / (1024.0 * 1024.0), 'f', 1) + " MB)";
    } else if (bytes >= 1024) {
        text += " (" + locale.toString(double(bytes) / 1024.0, 'f', 1) + " KB)";
    }
    return text;
}

std::vector<PropertyRow> LogPropertyRows(const std::string& path, const LogDocument& document,
                                         double pixels_per_inch, DepthSign depths) {
    const GdxHeader& file = document.FileHeader();
    const GdxHeader& view = document.Header();
    const QFileInfo info(QString::fromStdString(path));
    std::vector<PropertyRow> rows;
    auto add = [&rows](const QString& label, const QString& value) {
        rows.push_back({label, value});
    };
    add("File", info.absoluteFilePath());
    add("Size", info.exists() ? FileSizeText(info.size()) : QString("(the file is gone)"));
    add("Modified", info.exists() ? info.lastModified().toString("yyyy-MM-dd HH:mm:ss")
                                  : QString("(the file is gone)"));
    add("File version", QString::number(file.version) +
                            (file.version == kOldHeaderCode ? " (older header)" : " (current)"));
    add("Pages", QString::number(document.LayoutAt(pixels_per_inch).LastPage + 1));

    const auto range = [&depths](const GdxHeader& h) {
        return Number(depths.Shown(h.TopDepth)) + " to " + Number(depths.Shown(h.BottomDepth));
    };
    add("Depths",
        range(file) + (depths.Flipped() ? " (as the log's depth track prints them; the file "
                                          "keeps them negative)"
                                        : " (as the file keeps them)"));
    if (view.TopDepth != file.TopDepth || view.BottomDepth != file.BottomDepth) {
        add("Interval shown", range(view));
    }
    add("Depth scale", Number(file.DepthUnitsPerInch) + " depth units per inch");
    add("Width", Number(file.MinX) + " to " + Number(file.MaxX) + " (" +
                     Number(file.XUnitsPerInch) + " units per inch)");
    const QString paper = PaperName(file.PageWidth, file.PageHeight);
    add("Page size", Number(file.PageWidth) + " x " + Number(file.PageHeight) + " in" +
                         (paper.isEmpty() ? QString() : " (" + paper + ")"));
    const bool repeat = file.RepeatBands != 0;
    add("Header, first page", Inches(file.FirstHeaderHeight));
    add("Header, later pages",
        repeat ? Inches(file.NextHeaderHeight) : QString("none (bands are not repeated)"));
    add("Footer", Inches(file.FooterHeight) + (file.FooterHeight < 0 ? QString()
                                               : repeat              ? QString(", on every page")
                                                        : QString(", on the last page")));
    add("Gap between bands", Inches(file.BandGap));
    add("Page length", view.CustomPageLength == 1
                           ? Number(view.UnitsPerPage) + " depth units per page"
                           : QString("by page size"));
    add("Elevation datum", Number(file.ElevationDatum));
    add("Commands", QLocale().toString(static_cast<qlonglong>(SummaryOf(document).commands)));
    return rows;
}

TPropertiesDialog::TPropertiesDialog(const std::vector<PropertyRow>& rows, const QString& details,
                                     QWidget* parent)
    : QDialog(parent), rows_(rows) {
    setWindowTitle("Log Properties");
    Tabs = new QTabWidget(this);

    // The form scrolls rather than cutting a long value (a deep path) short.
    auto* form_page = new QWidget;
    Form = new QFormLayout(form_page);
    Form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    Form->setRowWrapPolicy(QFormLayout::DontWrapRows);
    Form->setLabelAlignment(Qt::AlignRight);
    for (const PropertyRow& row : rows_) {
        auto* value = new QLabel(row.value, form_page);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        value->setTextFormat(Qt::PlainText);
        values_.push_back(value);
        Form->addRow(row.label + ":", value);
    }
    auto* scroll = new QScrollArea;
    scroll->setObjectName("PropertiesScroll");
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(form_page);
    // Wide enough for the form as far as the screen allows; what is wider scrolls.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int room = screen ? screen->availableGeometry().width() * 9 / 10 : 1000;
    const QSize wanted = form_page->sizeHint();
    scroll->setMinimumSize(std::min(wanted.width() + 24, room), wanted.height() + 8);
    Tabs->addTab(scroll, "&General");

    // The record summary, as the CLI prints it, in columns.
    Details = new QPlainTextEdit(details, this);
    Details->setObjectName("Details");
    Details->setReadOnly(true);
    Details->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Details->setLineWrapMode(QPlainTextEdit::NoWrap);
    Details->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Tabs->addTab(Details, "&Records");

    auto* buttons = new QDialogButtonBox(this);
    CopyBtn = buttons->addButton("&Copy", QDialogButtonBox::ActionRole);
    CopyBtn->setToolTip("Copy all the properties and the records as text.");
    CloseBtn = buttons->addButton(QDialogButtonBox::Close);
    connect(CopyBtn, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(Text()); });
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Tabs);
    layout->addWidget(buttons);
    CloseBtn->setDefault(true);
}

QString TPropertiesDialog::Text() const {
    QString text;
    for (const PropertyRow& row : rows_) text += row.label + ": " + row.value + "\n";
    return text + "\n" + Details->toPlainText();
}

QLabel* TPropertiesDialog::ValueLabel(const QString& label) const {
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].label == label) return values_[i];
    }
    return nullptr;
}

}  // namespace cindral::app
