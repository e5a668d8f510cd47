#include "writing/CellEditorEngine.h"

#include "document/ManuscriptGrid.h"
#include "text/Cp949.h"

#include <algorithm>
#include <array>

namespace {

constexpr int kFirst = ManuscriptGrid::kFirstCellColumn;
constexpr int kLast = ManuscriptGrid::kLastCellColumn;
constexpr int kMargin = ManuscriptGrid::kMarginColumn;

bool isBlankText(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() > 0x20)
            return false;
    return true;
}

// Lead byte 0xA3, trail byte code + 0x80: the full-width row of code page 949.
QString fullWidthRow(char c)
{
    return Cp949::decode(QByteArray{"\xA3"} + char(c + 0x80));
}

}

CellEditorEngine::CellEditorEngine(ManuscriptGrid& grid, CellEditorHost& host)
    : grid_(grid), host_(host), history_(grid)
{
}

QStringList CellEditorEngine::Characters(const QString& text)
{
    QStringList list;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        list.append(text.mid(i, n));
        i += n - 1;
    }
    return list;
}

bool CellEditorEngine::IsAscii(const QString& character)
{
    return character.size() == 1 && character[0].unicode() < 0x80;
}

QString CellEditorEngine::ToFullWidth(QChar c)
{
    static const std::array<QString, 128> table = [] {
        std::array<QString, 128> t;
        for (char c = 'A'; c <= 'Z'; ++c)
            t[c] = fullWidthRow(c);
        for (char c : QByteArrayView("!#$%&()*+-/:;=?@[\\]_{}"))
            t[c] = fullWidthRow(c);
        const struct {
            char typed;
            const char* code;
        } elsewhere[] = {{'^', "\xA1\xD2"}, {'|', "\xA6\xA2"}, {'<', "\xA1\xB4"}, {'>', "\xA1\xB5"},
                         {'~', "\xA1\xAD"}, {'`', "\xA2\xA5"}, {'"', "\xA1\xC8"}};
        for (const auto& e : elsewhere)
            t[e.typed] = Cp949::decode(QByteArray(e.code));
        return t;
    }();
    const ushort u = c.unicode();
    return u < 128 && !table[u].isNull() ? table[u] : QString(c);
}

bool CellEditorEngine::IsHangingPunctuation(const QString& text)
{
    if (text.size() != 1)
        return false;
    const char16_t c = text[0].unicode();
    return c == u'.' || c == u',' || c == u'?' || c == u'？';
}

QString CellEditorEngine::TrimCell(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 0x20)
        --end;
    return begin == 0 && end == text.size() ? text : text.mid(begin, end - begin);
}

void CellEditorEngine::CellChanged()
{
    PendingText.clear();
    FCellStarted = false;
    FOpenCell = false;
    boxFollowsCaret_ = false;
}

// ---- events -------------------------------------------------------------------------

void CellEditorEngine::KeyPress(int key, const QString& text)
{
    if (host_.caret().column < kFirst)
        return;
    FinishPendingComposition();
    replacePending_ = false;
    BeginStep(text);
    KeyDown(key);
    QString typed = text;
    if (typed.isEmpty() && key == Qt::Key_Backspace)
        typed = QStringLiteral("\b");
    else if (typed.isEmpty() && (key == Qt::Key_Return || key == Qt::Key_Enter))
        typed = QStringLiteral("\r");
    for (const QString& character : Characters(typed)) {
        if (IsAscii(character)) {
            TypeCharacter(character[0]);
        } else {
            // A character that arrives whole (no input method running) is a composition
            // of its own.
            const bool wasComposing = composing_;
            CommitCharacter(character);
            if (!wasComposing)
                EndComposition();
        }
    }
    const bool moveOnly = text.isEmpty() && key != Qt::Key_Delete && key != Qt::Key_Backspace && key != Qt::Key_Return
                          && key != Qt::Key_Enter;
    EndStep(moveOnly);
}

// ---- history ------------------------------------------------------------------------

// A half-width character typed into a cell that another may join stays one step with it;
// anything else typed ends that step first.
void CellEditorEngine::BeginStep(const QString& typed)
{
    const bool joins = FCellStarted && typed.size() == 1 && typed[0].unicode() > 0x20 && typed[0].unicode() < 0x7F;
    if (!composing_ && !joins && !replacePending_)
        history_.End(host_.caret());
    history_.Begin(host_.caret());
}

// An action ends with the key or input-method update that made it, unless a cell is held
// open for a syllable still being composed (the syllable and its cell are one step), a
// half-width character waits for its partner, or text was taken out for a commit to come.
void CellEditorEngine::EndStep(bool moveOnly)
{
    if ((composing_ && !FResultPlaced) || (FCellStarted && !PendingText.isEmpty()) || replacePending_)
        return;
    if (moveOnly)
        history_.EndMove(host_.caret());
    else
        history_.End(host_.caret());
}

void CellEditorEngine::Undo()
{
    if (composing_) {
        const bool syllableBeingComposed = !FResultPlaced;
        EndComposition();
        if (syllableBeingComposed) {
            ShowHistoryCaret(host_.caret());
            return;
        }
    }
    history_.End(host_.caret());
    if (const std::optional<CellPos> caret = history_.Undo())
        ShowHistoryCaret(*caret);
}

void CellEditorEngine::Redo()
{
    if (composing_)
        EndComposition();
    history_.End(host_.caret());
    if (const std::optional<CellPos> caret = history_.Redo())
        ShowHistoryCaret(*caret);
}

// The caret goes to the change, and the box shows its cell afresh: nothing typed before is
// pending any more.
void CellEditorEngine::ShowHistoryCaret(CellPos caret)
{
    SetCaret(caret, true);
    CellChanged();
    host_.setEditText(TrimCell(grid_.cell(caret.line, caret.column)));
    host_.selectEditText();
}

void CellEditorEngine::KeyDown(int key)
{
    switch (key) {
    case Qt::Key_Left:
        StoreEditText();
        MoveLeft(true);
        break;
    case Qt::Key_Up:
        StoreEditText();
        MoveUp(true);
        break;
    case Qt::Key_Right:
        StoreEditText();
        AdvanceCell(true);
        break;
    case Qt::Key_Down:
        StoreEditText();
        MoveDown(true);
        break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        host_.pageCaret(key == Qt::Key_PageDown);
        MoveDown(false);
        break;
    case Qt::Key_Insert:
        FOverwrite = !FOverwrite;
        break;
    case Qt::Key_Delete:
        DeleteCell(false);
        break;
    default:
        break;
    }
}

void CellEditorEngine::TypeCharacter(QChar c)
{
    const ushort code = c.unicode();
    if (code == 0x20) {
        TypeSpace();
    } else if (code == 0x0D) {
        CommitPending(true);
        BreakLine();
    } else if (code == 0x08) {
        TypeBackspace();
    } else if (code > 0x20 && code < 0x7F) {
        TypePrintable(c);
    }
    // Other control characters (Ctrl+V among them, and DEL) type nothing.
}

void CellEditorEngine::TypePrintable(QChar c)
{
    host_.editInsert(QString(c));
    if (!FInputStarted)
        host_.setEditText(QString(c));
    FInputStarted = true;

    PendingText = TrimCell(PendingText) + ToFullWidth(c);
    const QString typed = PendingText;
    // A letter never stands in the margin: it starts the next line.
    if (InMargin() && !IsHangingPunctuation(PendingText)) {
        AdvanceCell(false);
        host_.setEditText(typed);
        PendingText = typed;
    }
    if (Cp949::byteLength(PendingText) > 2) {
        // A half-width character followed by a double-byte one: each gets a cell.
        const QString rest = PendingText.mid(1);
        PendingText = PendingText.left(1);
        CommitPending(false);
        AdvanceCell(false);
        if (InMargin() && !IsHangingPunctuation(rest))
            AdvanceCell(false);
        PendingText = rest;
    }
    const int bytes = Cp949::byteLength(PendingText);
    if (bytes > 1 && Cp949::isDoubleByte(PendingText[0])) {
        OpenCell();
        CommitPending(false);
        AdvanceCell(false);
        FCellStarted = false;
    } else if (bytes == 1) {
        OpenCell();
        ShowPending();
        // Whichever way the character reached this cell, it is the one typed into.
        FCellStarted = true;
        boxFollowsCaret_ = false;
        if (IsHangingPunctuation(PendingText))
            AdvanceCell(false);
    } else if (bytes == 2) {
        CommitPending(false);
        AdvanceCell(false);
        FCellStarted = false;
    }
}

void CellEditorEngine::TypeSpace()
{
    const QString t = TrimCell(host_.editText());
    if (t.isEmpty()) {
        OpenCell();
        ClearCell();
        AdvanceCell(false);
    } else if (Cp949::byteLength(t) == 1) {
        AdvanceCell(false);
        if (!FOverwrite)
            InsertCell();
        ClearCell();
        host_.setEditText(QString());
    } else {
        if (!FOverwrite)
            InsertCell();
        else
            ClearCell();
        AdvanceCell(false);
    }
}

void CellEditorEngine::TypeBackspace()
{
    if (!host_.editHasSelection() && host_.editCursor() > 0) {
        host_.editBackspace();
        StoreEditText();
        // The erased character is no longer pending, and a typed cell left empty is kept
        // open for what comes next instead of opening another.
        if (!PendingText.isEmpty())
            PendingText.chop(1);
        if (FCellStarted && isBlankText(host_.editText())) {
            FCellStarted = false;
            FOpenCell = !FOverwrite;
        }
        return;
    }
    if (host_.caret() == CellPos{0, kFirst}) {
        if (host_.editHasSelection())
            DeleteCell(false);
        return;
    }
    DeleteCell(true);
    MoveLeft(false);
}

// ---- cell operations ----------------------------------------------------------------

void CellEditorEngine::SetCurrentCell(const QString& text)
{
    const CellPos c = host_.caret();
    grid_.setCell(c.line, c.column, text);
}

void CellEditorEngine::ClearCell()
{
    SetCurrentCell(QString());
}

void CellEditorEngine::CommitPending(bool enter)
{
    if (!enter)
        SetCurrentCell(PendingText);
    PendingText.clear();
}

void CellEditorEngine::ShowPending()
{
    SetCurrentCell(PendingText);
}

// A cell the box shows unchanged is left as stored: a blank kept as a space stays one.
void CellEditorEngine::StoreEditText()
{
    const CellPos c = host_.caret();
    if (host_.editText() != TrimCell(grid_.cell(c.line, c.column)))
        SetCurrentCell(host_.editText());
}

bool CellEditorEngine::InMargin() const
{
    return host_.caret().column == kMargin;
}

bool CellEditorEngine::MarginBlank(int line) const
{
    return isBlankText(grid_.cell(line, kMargin));
}

// Every line the caret goes to keeps three lines below it.
void CellEditorEngine::GrowFor(int line)
{
    if (grid_.lineCount() < line + 4)
        grid_.setLineCount(line + 4);
}

void CellEditorEngine::SetCaret(CellPos pos, bool lineFirst)
{
    if (lineFirst) {
        host_.setCaretLine(pos.line);
        host_.setCaretColumn(pos.column);
    } else {
        host_.setCaretColumn(pos.column);
        host_.setCaretLine(pos.line);
    }
}

void CellEditorEngine::AdvanceCell(bool skip)
{
    const CellPos c = host_.caret();
    CellPos target{c.line, c.column + 1};
    if (target.column > kMargin || (target.column == kMargin && skip && MarginBlank(c.line))) {
        target = {c.line + 1, kFirst};
        GrowFor(target.line);
    }
    SetCaret(target, false);
    FCellStarted = false;
    // Moved on past what was just written, the box shows the text that follows it.
    boxFollowsCaret_ = !skip;
}

void CellEditorEngine::MoveDown(bool adjust)
{
    const CellPos c = host_.caret();
    GrowFor(c.line + 1);
    int column = std::max(c.column, kFirst);
    if (column == kMargin && adjust && MarginBlank(c.line + 1))
        column = kLast;
    SetCaret({c.line + 1, column}, true);
}

void CellEditorEngine::MoveUp(bool adjust)
{
    const CellPos c = host_.caret();
    const int line = std::max(c.line - 1, 0);
    int column = std::max(c.column, kFirst);
    if (column == kMargin && adjust && MarginBlank(line))
        column = kLast;
    SetCaret({line, column}, true);
}

void CellEditorEngine::MoveLeft(bool adjust)
{
    const CellPos c = host_.caret();
    CellPos target = c.column > kFirst ? CellPos{c.line, c.column - 1}
                     : c.line == 0     ? CellPos{0, kFirst}
                                       : CellPos{c.line - 1, kMargin};
    if (target.column == kMargin && adjust && MarginBlank(target.line))
        target.column = kLast;
    SetCaret(target, true);
}

void CellEditorEngine::InsertCell()
{
    const CellPos c = host_.caret();
    grid_.openStreamCell(c.line, c.column, &IsHangingPunctuation);
    SetCurrentCell(QString());
    host_.focusEdit();
}

void CellEditorEngine::DeleteCell(bool backspace)
{
    CellPos target = host_.caret();
    if (backspace && target.column > kFirst)
        target.column -= 1;
    else if (backspace && target.line > 0)
        target = {target.line - 1, kMargin};
    DeleteCells(target, 1);
}

void CellEditorEngine::DeleteCells(CellPos target, int count)
{
    grid_.removeStreamCells(target.line, target.column, count, &IsHangingPunctuation);
    // The cell holds other text now: nothing typed into it is pending any more.
    PendingText.clear();
    FCellStarted = false;
    FOpenCell = false;
    // The box shows the cell's new text selected, as on arrival, so that what is typed next
    // replaces it instead of joining it.
    host_.setEditText(grid_.cell(target.line, target.column));
    host_.selectEditText();
    host_.focusEdit();
}

void CellEditorEngine::BreakLine()
{
    const CellPos c = host_.caret();
    grid_.insertLines(c.line, 1);
    for (int column = kFirst; column < c.column && column <= kLast; ++column)
        grid_.setCell(c.line, column, grid_.cell(c.line + 1, column));
    GrowFor(c.line + 1);
    SetCaret({c.line + 1, kFirst}, false);
    FCellStarted = false;
    boxFollowsCaret_ = true;
    // The copied beginning of the line goes; the rest of the essay follows on.
    if (c.column > kFirst)
        DeleteCells({c.line + 1, kFirst}, c.column - kFirst);
}
