#pragma once

#include "document/CellNotes.h"
#include "writing/CellEditorHost.h"
#include "writing/ManuscriptRules.h"
#include "writing/SheetWords.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <optional>

class ManuscriptGrid;

// The manuscript-paper rules and Korean spelling, checked as the student writes: a short
// pause after the cells change, a snapshot of them goes to a thread of its own, and the
// findings come back for the text as it then stands; findings for text that has changed
// since are dropped, the next check follows. Nothing here changes a cell by itself.
//
// The grid shows the findings through CellNotes: a hint per cell and its marks.
class WritingChecks : public QObject, public CellNotes {
    Q_OBJECT
public:
    // The pause after the last change before the cells are checked.
    static constexpr int kPauseMs = 300;

    explicit WritingChecks(ManuscriptGrid& grid, QObject* parent = nullptr);
    ~WritingChecks() override;

    // Loads the spelling dictionary (SpellChecker::defaultDictionary() unless told) on the
    // checking thread; one that is missing turns spelling off (SpellingOff).
    void UseDictionary(const QString& dictionary, const QString& userWords);
    // Checks follow the cells' changes from now on, and the sheet is checked soon.
    void Start();
    // No more checks; the findings shown are cleared.
    void Stop();
    bool Started() const { return started_; }
    // Checks the cells as they are now, without waiting for the pause.
    void CheckNow();
    // A check is running or waiting for the pause.
    bool Busy() const { return inFlight_ || pause_.isActive(); }

    struct Misspelling {
        QString word;
        QList<CellPos> cells;
    };
    const QList<ManuscriptRules::Finding>& Findings() const { return findings_; }
    const QList<Misspelling>& Misspellings() const { return misspellings_; }
    // The misspelt word a cell belongs to, if any.
    const Misspelling* MisspellingAt(CellPos cell) const;
    // The first finding or misspelt word after `cell` in reading order, from the start of
    // the sheet again past the last.
    std::optional<CellPos> NextFinding(CellPos cell) const;
    // Empty while spelling is on (or not yet loaded).
    const QString& SpellingProblem() const { return spellingProblem_; }

    // Asks for suggestions off this thread; Suggested brings them.
    void Suggest(const QString& word);
    // The word is accepted from now on, also in later runs; the sheet is checked again.
    void AddToDictionary(const QString& word);

    QString note(int line, int column) const override;
    int marks(int line, int column) const override;

signals:
    // New findings are shown: the views repaint.
    void Checked();
    // Spelling is off, with the one line that tells why.
    void SpellingOff(const QString& message);
    void Suggested(const QString& word, const QStringList& suggestions);

private:
    void changed();
    void finished(quint64 revision, const QList<ManuscriptRules::Finding>& findings,
                  const QList<Misspelling>& misspellings);
    void index();

    QPointer<ManuscriptGrid> grid_;  // the session may go first
    QThread thread_;
    QObject* worker_;  // lives on thread_
    QTimer pause_;
    bool started_ = false;
    quint64 revision_ = 0;  // counts the cells' changes
    bool inFlight_ = false;
    bool again_ = false;  // the cells changed while a check ran
    QList<ManuscriptRules::Finding> findings_;
    QList<Misspelling> misspellings_;
    // Cell (line * 22 + column) to its finding's or misspelling's index; a cell with both
    // shows both.
    QHash<int, int> ruleAt_;
    QHash<int, int> wordAt_;
    QString spellingProblem_;
};
