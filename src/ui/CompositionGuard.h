#pragma once

#include "ui/CompositionTracker.h"

#include <QObject>

// Keeps a syllable being composed where it was typed. Watching the whole application, it
// commits the composition before a mouse press acts anywhere (a button that takes no focus
// would otherwise act on text without it), and drops the input method's repeat of a syllable
// the program committed, which would otherwise land a second time, often in another widget.
class CompositionGuard : public QObject {
public:
    // Watches the application from now on; once is enough.
    static void Install();
    // Hands the syllable being composed to the widget composing it, now: an action that reads
    // what was typed calls this first.
    static void CommitComposition();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit CompositionGuard(QObject* application);
    static CompositionGuard* instance();
    void commit();

    CompositionTracker tracker_;
};
