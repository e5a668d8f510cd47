#pragma once

#include "writing/CellEditorHost.h"
#include "writing/PaperHistory.h"

#include <QList>
#include <QString>
#include <QStringList>

class ManuscriptGrid;

// Turns typing and Hangul composition into manuscript cells: every character a cell of its
// own, two half-width characters sharing one, hanging punctuation in the margin cell. The
// essay is one stream of cells; opening or removing a cell moves the rest of it on or back
// through all following lines.
//
// Input arrives as the widget receives it: key presses (key code and text) and input-method
// updates (commit and pre-edit strings). Input methods differ in how they order those; every
// order gives the same cells.
class CellEditorEngine {
public:
    CellEditorEngine(ManuscriptGrid& grid, CellEditorHost& host);

    // `key` is a Qt::Key; `text` the characters the key types, if any.
    void KeyPress(int key, const QString& text);
    // One input-method update: a committed string, the pre-edit now being composed, and the
    // characters the commit takes the place of, as QInputMethodEvent gives them (`replaceFrom`
    // relative to the caret, negative backwards). Only a range ending at the caret replaces.
    void InputMethod(const QString& commit, const QString& preedit, int replaceFrom = 0, int replaceLength = 0);
    // The text before the caret as input methods are told it: the caret line's cells before
    // the caret (a blank cell a space), then the box's text before its cursor. A replacement
    // counts back through the same text, and on through the lines above.
    QString SurroundingText() const;
    // The grid's current cell changed, by the editor or otherwise: what was typed into the
    // previous cell is settled there.
    void CellChanged();

    // Undo and redo one action of the student. A syllable being composed is dropped first,
    // and that is the undo; the caret goes to where the change was.
    void Undo();
    void Redo();
    const PaperHistory& history() const { return history_; }

    // The operations the handlers are made of.
    void InsertCell();
    void DeleteCell(bool backspace);
    void BreakLine();
    void AdvanceCell(bool skip);
    void MoveDown(bool adjust);
    void MoveUp(bool adjust);
    void MoveLeft(bool adjust);

    // Typed half-width characters as written on manuscript paper: upper-case letters and
    // most signs become full-width; lower-case letters, digits, "." "," and "'" stay.
    static QString ToFullWidth(QChar c);
    // ".", ",", "?" or "？": what may stand in a margin cell.
    static bool IsHangingPunctuation(const QString& text);
    // Blanks and control characters off both ends, as cell texts are compared.
    static QString TrimCell(const QString& text);

    bool overwrite() const { return FOverwrite; }

    // The text typed into the current cell that the cell may still grow from (a half-width
    // character that another may join); emptied whenever the current cell changes.
    QString PendingText;

private:
    // A cell and its characters before the caret.
    struct CellText {
        CellPos pos;
        QString text;
    };

    static QStringList Characters(const QString& text);
    static bool IsAscii(const QString& character);

    void KeyDown(int key);
    void TypeCharacter(QChar c);
    void TypePrintable(QChar c);
    void TypeSpace();
    void TypeBackspace();
    void StartComposition();
    void CompositionUpdate();
    void CompositionResult(const QString& character);
    void EndComposition();
    void CommitCharacter(const QString& character);
    void FinishPendingComposition();
    void PlaceResultChar();
    QList<CellText> TextBeforeCaret(qsizetype atLeast) const;
    void ReplaceBeforeCaret(qsizetype count);
    void ResumeCell(CellPos pos, const QString& text);

    void ClearCell();
    void CommitPending(bool enter);
    void ShowPending();
    void StoreEditText();
    void SetCurrentCell(const QString& text);
    void OpenCell();
    void OpenSyllableCell();
    void DeleteCells(CellPos target, int count);
    void GrowFor(int line);
    void SetCaret(CellPos pos, bool lineFirst);
    bool InMargin() const;
    bool MarginBlank(int line) const;
    void BeginStep(const QString& typed);
    void EndStep(bool moveOnly);
    void ShowHistoryCaret(CellPos caret);

    ManuscriptGrid& grid_;
    CellEditorHost& host_;
    PaperHistory history_;

    QString FResultCode;         // the committed character's code page 949 bytes in hex
    bool FResultPlaced = false;  // a committed syllable was placed and the caret moved on
    bool FCellStarted = false;   // a half-width character was typed into the caret cell
    bool FInputStarted = false;  // input has begun since the last composition ended
    bool FOverwrite = false;
    // The caret cell was opened for input that has not arrived: a syllable being composed,
    // or a typed half-width character erased again. The next input takes it.
    bool FOpenCell = false;
    bool composing_ = false;
    // An empty pre-edit ended the composition unless its commit follows: some input
    // methods clear the pre-edit before they commit the syllable.
    bool endPending_ = false;
    // Text was taken out for a commit that has not arrived: some input methods delete the
    // text they replace in an update of its own.
    bool replacePending_ = false;
    // The caret moved on past what was just written: the box shows text that follows it.
    bool boxFollowsCaret_ = false;
    // The half-width character a composition began after, given back to its cell when the
    // composition ends without a syllable.
    CellText typedBefore_;
};
