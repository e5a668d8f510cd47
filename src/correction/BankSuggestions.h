#pragma once

#include "document/BankEntry.h"

#include <QObject>

class CommentBank;
class QListWidget;
class QPlainTextEdit;

// Offers the comment bank's entries that match what is typed in a text box, in a list
// under the caret that never takes the focus: Down and Up pick one, Enter takes it,
// Escape closes the list; any other key types on. The entry picked is named in the box's
// accessible description, so a screen reader reads it out.
class BankSuggestions : public QObject {
    Q_OBJECT
public:
    // WholeText matches the box's whole text (a mark's note); CurrentLine the current line
    // up to the caret (the page comment), and an entry taken replaces that part.
    enum class Scope { WholeText, CurrentLine };

    BankSuggestions(QPlainTextEdit* editor, const CommentBank& bank, int mark, Scope scope);

    QListWidget* list() const { return list_; }

signals:
    // After the text was put in the box.
    void chosen(const BankEntry& entry);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString typed() const;
    void refresh();
    void step(int by);
    void take();
    void hide();

    QPlainTextEdit* editor_;
    const CommentBank& bank_;
    int mark_;
    Scope scope_;
    QListWidget* list_;
    QList<BankEntry> shown_;
    bool filling_ = false;  // the box is being filled with an entry, not typed in
};
