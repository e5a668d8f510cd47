#pragma once

#include "writing/CellEditorHost.h"
#include "writing/WritingChecks.h"

#include <QObject>
#include <QPointer>

class QLabel;
class QMenu;
class QWidget;
class WritingSession;
struct EditorWidgets;

// The writing frame's side of the checks: the count of rule findings beside the character
// count, the status line that says spelling is off, F7 to the next finding, and the
// spelling menu (Shift+F7 or the context menu on a misspelt word) with its suggestions and
// "사전에 추가". The cells show the findings themselves (CellNotes).
class WritingHints : public QObject {
    Q_OBJECT
public:
    WritingHints(QWidget* frame, const EditorWidgets& ui, WritingSession& session, WritingChecks& checks);

    // F7: the caret to the next finding or misspelt word.
    void NextFinding();
    // Shift+F7: the spelling menu of the misspelt word at the caret, or of the next one.
    void SpellingMenu();

private:
    void showChecked();
    void showSpellingOff(const QString& message);
    void askSuggestions(CellPos cell);
    void showSuggestions(const QString& word, const QStringList& suggestions);
    void replaceWord(const WritingChecks::Misspelling& word, const QString& with);
    void describeCaretCell();
    CellPos caret() const;
    void moveCaret(CellPos cell);

    const EditorWidgets& ui_;
    WritingSession& session_;
    WritingChecks& checks_;
    QLabel* lblRules_;
    QLabel* lblSpelling_;
    QMenu* menu_;
    // The misspelt word the menu is asked for, by its first cell.
    QString menuWord_;
    CellPos menuCell_;
};
