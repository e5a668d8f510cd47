#pragma once

#include "correction/EssayQueue.h"

#include <QWidget>

#include <optional>

class PictureButton;
class QCheckBox;
class QLabel;

// The teacher's way through the queue of essays: "이전 답안" (Alt+Left), the place "3 / 17",
// "다음 답안" (Alt+Right) and "모든 답안" for every essay instead of the uncorrected ones.
// Shown only while the course server answers the queue request; a button with nowhere to
// go is disabled and says why in its tooltip. The move itself is the main window's: the bar
// only asks for it.
class TeacherQueueBar : public QWidget {
    Q_OBJECT
public:
    explicit TeacherQueueBar(QWidget* parent);

    // Asks the course server where the run's lecture stands. A site without a queue leaves
    // the bar hidden and says nothing; one that refused or did not answer, `failed`.
    void Load(const QString& lectureKey, const QString& token);
    // The queue asked, once Load found one.
    const EssayQueue* Queue() const { return queue_ ? &*queue_ : nullptr; }
    bool AllEssays() const;
    // Asks again where the lecture stands. A failure keeps what the bar shows and says so.
    void Refresh();

    PictureButton* btnPrevious;
    QLabel* lblQueue;
    PictureButton* btnNext;
    QCheckBox* chkAll;

signals:
    void moveRequested(EssayQueue::Direction direction);
    void failed(const QString& message);

private:
    void ShowPlace(const EssayQueue::Place& place);

    std::optional<EssayQueue> queue_;
};
