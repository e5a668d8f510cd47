#include "correction/TeacherQueueBar.h"

#include "core/AppError.h"
#include "correction/TeacherPictures.h"
#include "ui/Fonts.h"
#include "ui/Keyboard.h"
#include "ui/PictureButton.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>

namespace {

// The face of the frame's other word buttons.
const QColor kButtonFace(0xFF, 0xB4, 0x3C);

PictureButton* wordButton(const QString& name, const QString& word, QWidget* parent)
{
    auto* button = new PictureButton(TeacherPictures::Word(word, {76, 24}, kButtonFace, Qt::white), word, parent);
    button->setObjectName(name);
    return button;
}

// "다음 답안: 이바다 - 가을 하늘 (Alt+→)", or why there is none.
QString describe(const std::optional<EssayQueue::Neighbour>& neighbour, const QString& word, const QString& arrow,
                 const QString& none)
{
    if (!neighbour)
        return none;
    return QStringLiteral("%1: %2 - %3 (Alt+%4)").arg(word, neighbour->student, neighbour->title, arrow);
}

}

TeacherQueueBar::TeacherQueueBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("QueueBar"));
    btnPrevious = wordButton(QStringLiteral("btnPrevious"), QStringLiteral("이전 답안"), this);
    btnNext = wordButton(QStringLiteral("btnNext"), QStringLiteral("다음 답안"), this);
    lblQueue = new QLabel(this);
    lblQueue->setObjectName(QStringLiteral("lblQueue"));
    lblQueue->setFont(GulimcheFont(12));
    lblQueue->setAccessibleName(QStringLiteral("답안 차례"));
    lblQueue->setMinimumWidth(56);
    lblQueue->setAlignment(Qt::AlignCenter);
    chkAll = new QCheckBox(QStringLiteral("모든 답안"), this);
    chkAll->setObjectName(QStringLiteral("chkAll"));
    chkAll->setFont(GulimcheFont(12));
    chkAll->setToolTip(QStringLiteral("첨삭한 답안도 차례에 넣습니다."));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    for (QWidget* widget : {static_cast<QWidget*>(btnPrevious), static_cast<QWidget*>(lblQueue),
                            static_cast<QWidget*>(btnNext), static_cast<QWidget*>(chkAll)})
        layout->addWidget(widget);

    // Alt with an arrow: a text box never types it, so it moves from anywhere in the window.
    Keyboard::PressOnKey(btnPrevious, QKeySequence(Qt::ALT | Qt::Key_Left));
    Keyboard::PressOnKey(btnNext, QKeySequence(Qt::ALT | Qt::Key_Right));
    connect(btnPrevious, &PictureButton::clicked, this,
            [this] { emit moveRequested(EssayQueue::Direction::Previous); });
    connect(btnNext, &PictureButton::clicked, this, [this] { emit moveRequested(EssayQueue::Direction::Next); });
    connect(chkAll, &QCheckBox::toggled, this, [this] { Refresh(); });
    hide();
}

void TeacherQueueBar::Load(const QString& lectureKey, const QString& token)
{
    queue_.emplace(lectureKey, token);
    Refresh();
}

bool TeacherQueueBar::AllEssays() const
{
    return chkAll->isChecked();
}

void TeacherQueueBar::Refresh()
{
    if (!queue_)
        return;
    std::optional<EssayQueue::Place> place;
    try {
        place = queue_->place(AllEssays());
    } catch (const AppError& error) {
        emit failed(QStringLiteral("첨삭할 답안 목록을 받지 못했습니다. ") + error.message());
        return;
    }
    if (!place) {
        queue_.reset();
        hide();
        return;
    }
    ShowPlace(*place);
    show();
}

void TeacherQueueBar::ShowPlace(const EssayQueue::Place& place)
{
    lblQueue->setText(QStringLiteral("%1 / %2").arg(place.position).arg(place.count));
    lblQueue->setToolTip(QStringLiteral("첨삭할 답안 %1편 가운데 %2번째").arg(place.count).arg(place.position));
    btnPrevious->setEnabled(place.previous.has_value());
    btnNext->setEnabled(place.next.has_value());
    btnPrevious->setToolTip(describe(place.previous, btnPrevious->text(), QStringLiteral("←"),
                                     QStringLiteral("첫 답안입니다. 앞에 첨삭할 답안이 없습니다.")));
    btnNext->setToolTip(describe(place.next, btnNext->text(), QStringLiteral("→"),
                                 QStringLiteral("마지막 답안입니다. 뒤에 첨삭할 답안이 없습니다.")));
}
