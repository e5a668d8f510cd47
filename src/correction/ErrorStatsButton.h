#pragma once

#include "net/CourseAdditions.h"

#include <QPointer>
#include <QPushButton>

struct CorrectionLaunch;
class TfrmErrorStats;

// The push button "오류 통계" in the strip below the page. It shows only once
// the course server has answered the history request for the run's lecture; a site that
// offers none, or a run that cannot sign, keeps it hidden and sees nothing else of it. A
// click asks again, so the window shows the corrections saved since.
class ErrorStatsButton : public QPushButton {
    Q_OBJECT
public:
    explicit ErrorStatsButton(QWidget* parent);

    // Asks the server for the launch's lecture; `classTable` offers the class table in the
    // window (a teacher run). Never raises: a refusal or no answer leaves the button hidden.
    void Offer(const CorrectionLaunch& launch, bool classTable);
    // The window, once opened.
    TfrmErrorStats* Window() const;

private:
    void open();

    CourseAdditions additions_{{}, {}};
    bool classTable_ = false;
    QPointer<TfrmErrorStats> window_;
};
