#include "correction/SuggestionOverlay.h"

#include "document/CellNotes.h"
#include "writing/CellMarks.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

SuggestionOverlay::SuggestionOverlay(QWidget* board) : QWidget(board)
{
    setObjectName(QStringLiteral("ruleSuggestions"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    board->installEventFilter(this);
}

void SuggestionOverlay::Show(const QList<RuleSuggestions::Suggestion>& suggestions)
{
    shown_ = suggestions;
    setGeometry(parentWidget()->rect());
    raise();
    setVisible(!shown_.isEmpty());
    update();
}

bool SuggestionOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    if (event->type() != QEvent::ToolTip || !isVisible())
        return QWidget::eventFilter(watched, event);
    auto* help = static_cast<QHelpEvent*>(event);
    for (const RuleSuggestions::Suggestion& s : shown_)
        if (s.box.contains(help->pos())) {
            QToolTip::showText(help->globalPos(), s.hint, parentWidget(), s.box);
            return true;
        }
    return QWidget::eventFilter(watched, event);
}

void SuggestionOverlay::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (const RuleSuggestions::Suggestion& s : shown_)
        DrawCellMarks(painter, s.box, CellNotes::RuleMark);
}
