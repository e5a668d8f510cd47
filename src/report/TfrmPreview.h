#pragma once

#include "report/PreparedReport.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QPrinter;
class QScrollArea;

// The preview window of a prepared report: one page at a time with zoom and page
// navigation, printing through the print dialog with a progress window, and saving as PDF.
class TfrmPreview : public QWidget {
    Q_OBJECT
public:
    explicit TfrmPreview(PreparedReport report, QWidget* parent = nullptr);

    const PreparedReport& report() const { return report_; }
    int pageCount() const { return report_.pageCount(); }
    int currentPage() const { return page_; }  // from 0
    void showPage(int index);                  // clamped to the pages there are

    // 1 shows the paper at its own size on the screen.
    double zoom() const { return zoom_; }
    void setZoom(double zoom);
    // Pixels of the page view per layout unit at the current zoom.
    double pixelsPerUnit() const;

    // Prints every page with a progress window that can stop it; false when stopped.
    bool printTo(QPrinter& printer);
    void saveAsPdf(const QString& path);

    // What the PDF save dialog suggests: the document's name (the essay's title, else the
    // window's caption) and the date, e.g. "봄 2024-05-02.pdf"; no character a file name
    // cannot hold.
    QString documentName;
    static QString PdfFileName(const QString& name, const QDate& date);

private:
    class PageView;

    void print();
    void savePdf();
    void zoomChosen(int index);
    void fitZoom(bool wholePage);
    void updateNavigation();

    PreparedReport report_;
    int page_ = 0;
    double zoom_ = 1;
    PageView* view_;
    QScrollArea* scroll_;
    QLabel* pageLabel_;
    QComboBox* zoomBox_;
};

// Opens a new preview window on the report (not modal, released when closed); the PDF save
// suggests a file name from `documentName` (the caption when empty).
TfrmPreview* ShowReportPreview(PreparedReport report, const QString& caption, const QString& documentName = {});
