#include "correction/TfrmErrorStats.h"

#include "core/AppError.h"
#include "core/WholeFile.h"
#include "correction/ErrorHistoryChart.h"
#include "correction/ErrorHistoryPrint.h"
#include "ui/ErrorBox.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonValue>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QTableView>
#include <QVBoxLayout>

TfrmErrorStats::TfrmErrorStats(QWidget* parent, CourseAdditions additions, bool classTable)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      lblStudent(new QLabel(this)), chtErrorStats(new ErrorHistoryChart(this)), tblErrorStats(new QTableView(this)),
      btnPrint(new QPushButton(QStringLiteral("인쇄"), this)),
      btnClassCsv(new QPushButton(QStringLiteral("반 전체 CSV 저장"), this)),
      btnClose(new QPushButton(QStringLiteral("닫기"), this)), additions_(std::move(additions)),
      model_(new ErrorHistoryModel(this))
{
    setObjectName(QStringLiteral("frmErrorStats"));
    setWindowTitle(QStringLiteral("오류 통계"));
    lblStudent->setObjectName(QStringLiteral("lblStudent"));
    btnPrint->setObjectName(QStringLiteral("btnPrint"));
    btnClassCsv->setObjectName(QStringLiteral("btnClassCsv"));
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClassCsv->setVisible(classTable);

    auto* scroll = new QScrollArea(this);
    scroll->setWidget(chtErrorStats);
    scroll->setWidgetResizable(true);
    // The table repeats the chart's numbers for a screen reader, which skips the picture.
    chtErrorStats->setAccessibleName(QStringLiteral("오류 통계 그래프"));
    chtErrorStats->setAccessibleDescription(QStringLiteral("같은 숫자가 아래 표에 있습니다"));
    tblErrorStats->setObjectName(QStringLiteral("tblErrorStats"));
    tblErrorStats->setAccessibleName(QStringLiteral("오류 통계 표"));
    tblErrorStats->setModel(model_);
    tblErrorStats->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblErrorStats->setTabKeyNavigation(false);
    tblErrorStats->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* button : {btnPrint, btnClassCsv, btnClose})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblStudent);
    layout->addWidget(scroll, 3);
    layout->addWidget(tblErrorStats, 2);
    layout->addLayout(buttons);
    resize(760, 620);

    connect(btnPrint, &QPushButton::clicked, this, [this] { Guarded([&] { print(); }); });
    connect(btnClassCsv, &QPushButton::clicked, this, [this] { Guarded([&] { chooseClassCsv(); }); });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
}

void TfrmErrorStats::setHistory(ErrorHistory history)
{
    chtErrorStats->setHistory(history);
    model_->setHistory(std::move(history));
    const ErrorHistory& shown = model_->history();
    lblStudent->setText(shown.essays().isEmpty() ? QStringLiteral("%1: 아직 첨삭을 받은 글이 없습니다.").arg(heading())
                                                 : QStringLiteral("%1: 첨삭을 받은 글 %2편, 첨삭 기호 %3가지")
                                                       .arg(heading())
                                                       .arg(shown.essays().size())
                                                       .arg(shown.kinds().size()));
}

QString TfrmErrorStats::heading() const
{
    const ErrorHistory& history = model_->history();
    const QString who = history.studentName().isEmpty()
                            ? history.studentNumber()
                            : QStringLiteral("%1 (%2)").arg(history.studentName(), history.studentNumber());
    return QStringLiteral("오류 통계 - %1").arg(who);
}

void TfrmErrorStats::saveClassCsv(const QString& path)
{
    const std::optional<QJsonObject> answer =
        additions_.get(QStringLiteral("classstats"), {}, QStringLiteral("반 전체 오류 통계를 받고 있습니다."));
    if (!answer || !answer->value(QStringLiteral("csv")).isString())
        throw AppError(QStringLiteral("이 강의 사이트는 반 전체 오류 통계를 주지 않습니다"));
    if (const std::optional<QString> why =
            WriteWholeFile(path, answer->value(QStringLiteral("csv")).toString().toUtf8()))
        throw AppError(QStringLiteral("%1 에 저장하지 못했습니다: %2. 다른 곳을 골라 다시 저장하십시오")
                           .arg(QDir::toNativeSeparators(path), *why));
}

void TfrmErrorStats::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(heading());
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        PrintErrorHistory(printer, model_->history(), heading());
}

void TfrmErrorStats::chooseClassCsv()
{
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("반 전체 오류 통계 저장"),
                                                QDir::home().filePath(QStringLiteral("오류통계.csv")),
                                                QStringLiteral("CSV 파일 (*.csv)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        path += QLatin1String(".csv");
    saveClassCsv(path);
    ShowInfo(QStringLiteral("반 전체 오류 통계를 %1 에 저장했습니다.").arg(QDir::toNativeSeparators(path)));
}
