#pragma once

#include "correction/RuleSuggestions.h"

#include <QWidget>

// The manuscript-paper suggestions of the page shown, laid over the board: the corner mark
// of the writing frame on each cell and its hint as the tool tip. It takes no mouse events,
// and the page picture stays as it was, so nothing of it is saved or printed.
class SuggestionOverlay : public QWidget {
    Q_OBJECT
public:
    explicit SuggestionOverlay(QWidget* board);

    void Show(const QList<RuleSuggestions::Suggestion>& suggestions);
    const QList<RuleSuggestions::Suggestion>& Shown() const { return shown_; }

protected:
    // The board has the mouse: its tool tips come here for the hint under it.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QList<RuleSuggestions::Suggestion> shown_;
};
