#pragma once

#include <QString>

// Tells an input method's repeat of a syllable from new input. When the program commits the
// syllable being composed (a click elsewhere, a focus change, an action that reads the text),
// some input methods commit the same syllable once more a moment later, to whichever widget
// has the focus by then. That second commit, with no key or other input in between, is a
// repeat; anything typed in between makes the next commit new input again.
class CompositionTracker {
public:
    // An input-method update reaching a widget. False when its commit is a repeat, to be
    // dropped; the pre-edit it carries still counts.
    bool Update(const QString& commit, const QString& preedit);
    // A key press reached a widget: the input method let it through.
    void KeyPressed();
    // The syllable being composed, if any, has just been committed by the program or by a
    // focus change: the input method may repeat it.
    void Committed();
    // A pre-edit is shown: committing now hands over a syllable.
    bool Composing() const { return !preedit_.isEmpty(); }

private:
    QString preedit_;   // shown now
    QString composed_;  // the last pre-edit shown since the last commit
    QString settled_;   // the last commit that took the composed pre-edit, nothing since
    QString repeat_;    // the commit an input method may still repeat
};
