#pragma once

#include "document/ManuscriptGrid.h"
#include "writing/CellEditorEngine.h"

#include <QString>

#include <algorithm>

// The host duty of the writing frame without widgets: the edit box is a text with a caret
// and a selection; arriving on a cell loads its trimmed text, selected.
class FakeHost : public CellEditorHost {
public:
    explicit FakeHost(int lines = 21) : grid(lines), engine(grid, *this) {}

    CellPos caret() const override { return pos; }
    void setCaretColumn(int column) override
    {
        if (column != pos.column)
            arrive({pos.line, column});
    }
    void setCaretLine(int line) override
    {
        if (line != pos.line)
            arrive({line, pos.column});
    }
    void pageCaret(bool down) override { arrive({std::max(0, pos.line + (down ? 10 : -10)), pos.column}); }

    QString editText() const override { return text; }
    void setEditText(const QString& t) override
    {
        text = t;
        cursor = int(t.size());
        selStart = selEnd = 0;
    }
    void selectEditText() override
    {
        selStart = 0;
        selEnd = cursor = int(text.size());
    }
    bool editHasSelection() const override { return selEnd > selStart; }
    int editCursor() const override { return cursor; }
    void editInsert(const QString& t) override
    {
        removeSelection();
        text.insert(cursor, t);
        cursor += int(t.size());
    }
    void editBackspace() override
    {
        if (editHasSelection())
            removeSelection();
        else if (cursor > 0)
            text.remove(--cursor, 1);
    }
    void focusEdit() override {}
    void beep() override { ++beeps; }

    // Puts the caret somewhere as the frame does: the cell's text loaded and selected.
    void place(CellPos p) { arrive(p); }

    void type(const QString& keys)
    {
        for (QChar c : keys)
            engine.KeyPress(keyOf(c), QString(c));
    }
    void press(int key) { engine.KeyPress(key, QString()); }

    ManuscriptGrid grid;
    CellEditorEngine engine;
    CellPos pos{0, 1};
    QString text;
    int cursor = 0;
    int selStart = 0;
    int selEnd = 0;
    int beeps = 0;

private:
    static int keyOf(QChar c)
    {
        switch (c.unicode()) {
        case ' ':
            return Qt::Key_Space;
        case '\b':
            return Qt::Key_Backspace;
        case '\r':
            return Qt::Key_Return;
        default:
            return c.isLetter() && c.unicode() < 0x80 ? Qt::Key_A + (c.toUpper().unicode() - 'A') : 0;
        }
    }
    void arrive(CellPos p)
    {
        pos = p;
        engine.CellChanged();
        text = grid.cell(p.line, p.column).trimmed();
        selectEditText();
    }
    void removeSelection()
    {
        if (!editHasSelection())
            return;
        text.remove(selStart, selEnd - selStart);
        cursor = selStart;
        selStart = selEnd = 0;
    }
};

// The three ways a syllable arrives, and the plain key that carries one whole.
enum class HangulPath { CommitWithNextPreedit, PreeditClearedBeforeCommit, CommitOnly, PlainKey };

// Types the syllables in a row; jamo pre-edits are the syllable's first stage.
inline void typeHangul(FakeHost& host, const QString& syllables, HangulPath path)
{
    const auto jamo = [](QChar s) { return QString(QChar(0x3131 + (s.unicode() - 0xAC00) / 588 % 19)); };
    CellEditorEngine& e = host.engine;
    switch (path) {
    case HangulPath::CommitWithNextPreedit:
        e.InputMethod({}, jamo(syllables[0]));
        for (qsizetype i = 0; i < syllables.size(); ++i) {
            e.InputMethod({}, syllables[i]);
            e.InputMethod(syllables[i], i + 1 < syllables.size() ? jamo(syllables[i + 1]) : QString());
        }
        break;
    case HangulPath::PreeditClearedBeforeCommit:
        for (QChar s : syllables) {
            e.InputMethod({}, jamo(s));
            e.InputMethod({}, s);
            e.InputMethod({}, {});
            e.InputMethod(s, {});
        }
        break;
    case HangulPath::CommitOnly:
        for (QChar s : syllables)
            e.InputMethod(s, {});
        break;
    case HangulPath::PlainKey:
        for (QChar s : syllables)
            e.KeyPress(0, s);
        break;
    }
}
