#include "correction/ErrorStatsButton.h"

#include "core/AppError.h"
#include "correction/CorrectionLaunch.h"
#include "correction/ErrorHistory.h"
#include "correction/TfrmErrorStats.h"
#include "ui/ErrorBox.h"
#include "ui/Fonts.h"

namespace {

const QString kName = QStringLiteral("stats");

QString caption()
{
    return QStringLiteral("오류 통계를 받고 있습니다.");
}

}

ErrorStatsButton::ErrorStatsButton(QWidget* parent) : QPushButton(QStringLiteral("오류 통계"), parent)
{
    setObjectName(QStringLiteral("btnErrorStats"));
    setCursor(Qt::PointingHandCursor);
    setFont(GulimcheFont(12));
    setFixedHeight(24);
    hide();
    connect(this, &QPushButton::clicked, this, [this] { Guarded([&] { open(); }); });
}

void ErrorStatsButton::Offer(const CorrectionLaunch& launch, bool classTable)
{
    additions_ = CourseAdditions(launch.lectureKey, launch.password);
    classTable_ = classTable;
    bool answered = false;
    try {
        if (const std::optional<QJsonObject> answer = additions_.get(kName, {}, caption())) {
            ErrorHistory::fromJson(*answer);
            answered = true;
        }
    } catch (const AppError&) {
        // The history is an extra: the run goes on without it, as on a site that has none.
    }
    setVisible(answered);
}

TfrmErrorStats* ErrorStatsButton::Window() const
{
    return window_;
}

void ErrorStatsButton::open()
{
    const std::optional<QJsonObject> answer = additions_.get(kName, {}, caption());
    if (!answer)
        throw AppError(QStringLiteral("강의 사이트가 오류 통계를 주지 않습니다"));
    ErrorHistory history = ErrorHistory::fromJson(*answer);
    if (!window_)
        window_ = new TfrmErrorStats(window(), additions_, classTable_);
    window_->setHistory(std::move(history));
    window_->show();
    window_->raise();
    window_->activateWindow();
}
