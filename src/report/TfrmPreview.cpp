#include "report/TfrmPreview.h"

#include "report/ReportPrinting.h"
#include "report/ReportTemplate.h"
#include "ui/ErrorBox.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

constexpr int kPaperGap = 12;  // grey around the paper, in pixels

struct ZoomChoice {
    const char* label;
    double zoom;  // 0: fit the width, -1: fit the whole page
};

constexpr ZoomChoice kZoomChoices[] = {
    {"50%", 0.5}, {"75%", 0.75}, {"100%", 1.0}, {"150%", 1.5}, {"200%", 2.0}, {"쪽 너비", 0}, {"쪽 전체", -1},
};
constexpr int kDefaultZoomChoice = 2;

}

class TfrmPreview::PageView : public QWidget {
public:
    explicit PageView(TfrmPreview* owner) : QWidget(owner), owner_(owner) {}

    QSize pageSize() const
    {
        const QSizeF paper = owner_->report_.pages.at(owner_->page_).size * owner_->pixelsPerUnit();
        return QSize(qCeil(paper.width()), qCeil(paper.height()));
    }

    QSize sizeHint() const override
    {
        if (owner_->report_.pages.isEmpty())
            return QSize(2 * kPaperGap, 2 * kPaperGap);
        return pageSize() + QSize(2 * kPaperGap, 2 * kPaperGap);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(128, 128, 128));
        if (owner_->report_.pages.isEmpty())
            return;
        const QRect paper(QPoint(kPaperGap, kPaperGap), pageSize());
        painter.fillRect(paper.translated(3, 3), QColor(64, 64, 64));
        painter.fillRect(paper, Qt::white);
        painter.translate(paper.topLeft());
        painter.scale(owner_->pixelsPerUnit(), owner_->pixelsPerUnit());
        owner_->report_.paintPage(painter, owner_->page_);
    }

private:
    TfrmPreview* owner_;
};

TfrmPreview::TfrmPreview(PreparedReport report, QWidget* parent)
    : QWidget(parent, Qt::Window), report_(std::move(report)), view_(new PageView(this)),
      scroll_(new QScrollArea(this)), pageLabel_(new QLabel(this)), zoomBox_(new QComboBox(this))
{
    setObjectName(QStringLiteral("frmPreview"));
    auto* bar = new QToolBar(this);
    auto action = [&](const QString& text, const char* name, QKeySequence key, auto handler) {
        QAction* a = bar->addAction(text, this, handler);
        a->setObjectName(QLatin1String(name));
        a->setShortcut(key);
        return a;
    };
    action(QStringLiteral("처음"), "actFirst", QKeySequence(Qt::CTRL | Qt::Key_Home), [this] { showPage(0); });
    action(QStringLiteral("이전"), "actPrior", QKeySequence(Qt::Key_PageUp), [this] { showPage(page_ - 1); });
    bar->addWidget(pageLabel_);
    action(QStringLiteral("다음"), "actNext", QKeySequence(Qt::Key_PageDown), [this] { showPage(page_ + 1); });
    action(QStringLiteral("마지막"), "actLast", QKeySequence(Qt::CTRL | Qt::Key_End),
           [this] { showPage(pageCount() - 1); });
    bar->addSeparator();
    for (const ZoomChoice& choice : kZoomChoices)
        zoomBox_->addItem(QString::fromUtf8(choice.label));
    zoomBox_->setCurrentIndex(kDefaultZoomChoice);
    zoomBox_->setAccessibleName(QStringLiteral("배율"));
    bar->addWidget(zoomBox_);
    connect(zoomBox_, &QComboBox::activated, this, &TfrmPreview::zoomChosen);
    action(QStringLiteral("확대"), "actZoomIn", QKeySequence::ZoomIn, [this] { setZoom(zoom_ * 1.25); });
    action(QStringLiteral("축소"), "actZoomOut", QKeySequence::ZoomOut, [this] { setZoom(zoom_ / 1.25); });
    bar->addSeparator();
    action(QStringLiteral("인쇄"), "actPrint", QKeySequence::Print, [this] { print(); });
    action(QStringLiteral("PDF 저장"), "actSavePdf", QKeySequence::Save, [this] { savePdf(); });
    action(QStringLiteral("닫기"), "actClose", QKeySequence(Qt::Key_Escape), [this] { close(); });

    scroll_->setWidget(view_);
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll_->setBackgroundRole(QPalette::Dark);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(scroll_);
    view_->resize(view_->sizeHint());
    updateNavigation();
}

double TfrmPreview::pixelsPerUnit() const
{
    return zoom_ * view_->logicalDpiX() / ReportUnits::kUnitsPerInch;
}

void TfrmPreview::showPage(int index)
{
    const int page = std::clamp(index, 0, std::max(0, pageCount() - 1));
    if (page != page_) {
        page_ = page;
        view_->resize(view_->sizeHint());
        view_->update();
        scroll_->verticalScrollBar()->setValue(0);
    }
    updateNavigation();
}

void TfrmPreview::setZoom(double zoom)
{
    zoom_ = std::clamp(zoom, 0.1, 8.0);
    view_->resize(view_->sizeHint());
    view_->update();
}

void TfrmPreview::zoomChosen(int index)
{
    const double zoom = kZoomChoices[index].zoom;
    if (zoom > 0)
        setZoom(zoom);
    else
        fitZoom(zoom < 0);
}

void TfrmPreview::fitZoom(bool wholePage)
{
    if (report_.pages.isEmpty())
        return;
    const QSizeF paper = report_.pages.at(page_).size * (view_->logicalDpiX() / ReportUnits::kUnitsPerInch);
    const QSize room = scroll_->viewport()->size() - QSize(2 * kPaperGap, 2 * kPaperGap);
    double zoom = room.width() / paper.width();
    if (wholePage)
        zoom = std::min(zoom, room.height() / paper.height());
    setZoom(zoom);
}

void TfrmPreview::updateNavigation()
{
    pageLabel_->setText(QStringLiteral(" %1 / %2 ").arg(pageCount() ? page_ + 1 : 0).arg(pageCount()));
    pageLabel_->setAccessibleName(QStringLiteral("쪽 %1 / %2").arg(pageCount() ? page_ + 1 : 0).arg(pageCount()));
    findChild<QAction*>(QStringLiteral("actFirst"))->setEnabled(page_ > 0);
    findChild<QAction*>(QStringLiteral("actPrior"))->setEnabled(page_ > 0);
    findChild<QAction*>(QStringLiteral("actNext"))->setEnabled(page_ + 1 < pageCount());
    findChild<QAction*>(QStringLiteral("actLast"))->setEnabled(page_ + 1 < pageCount());
}

bool TfrmPreview::printTo(QPrinter& printer)
{
    QProgressDialog progress(QStringLiteral("인쇄하고 있습니다."), QStringLiteral("취소"), 0, pageCount(), this);
    progress.setWindowTitle(windowTitle());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    const bool done = PrintReport(report_, printer, [&](int page, int count) {
        progress.setLabelText(QStringLiteral("인쇄하고 있습니다. (%1 / %2쪽)").arg(page + 1).arg(count));
        progress.setValue(page);
        return !progress.wasCanceled();
    });
    progress.setValue(pageCount());
    return done;
}

void TfrmPreview::saveAsPdf(const QString& path)
{
    SaveReportPdf(report_, path);
}

void TfrmPreview::print()
{
    try {
        QPrinter printer(QPrinter::HighResolution);
        printer.setDocName(windowTitle());
        QPrintDialog dialog(&printer, this);
        dialog.setMinMax(1, pageCount());
        if (dialog.exec() == QDialog::Accepted)
            printTo(printer);
    } catch (...) {
        ShowCurrentException();
    }
}

void TfrmPreview::savePdf()
{
    try {
        const QString name = PdfFileName(documentName.isEmpty() ? windowTitle() : documentName, QDate::currentDate());
        QString path = QFileDialog::getSaveFileName(this, QStringLiteral("PDF로 저장"), QDir::home().filePath(name),
                                                    QStringLiteral("PDF 파일 (*.pdf)"));
        if (path.isEmpty())
            return;
        if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
            path += QLatin1String(".pdf");
        saveAsPdf(path);
    } catch (...) {
        ShowCurrentException();
    }
}

QString TfrmPreview::PdfFileName(const QString& name, const QDate& date)
{
    QString base;
    for (QChar c : name.simplified())
        base += QStringLiteral("/\\:*?\"<>|").contains(c) || c.unicode() < 32 ? u'_' : c;
    base = base.left(80).trimmed();
    return (base.isEmpty() ? QString() : base + u' ') + date.toString(Qt::ISODate) + QStringLiteral(".pdf");
}

TfrmPreview* ShowReportPreview(PreparedReport report, const QString& caption, const QString& documentName)
{
    auto* window = new TfrmPreview(std::move(report));
    window->documentName = documentName;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(caption);
    QSize size(860, 980);
    if (const QScreen* screen = window->screen())
        size = size.boundedTo(screen->availableSize());
    window->resize(size);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
