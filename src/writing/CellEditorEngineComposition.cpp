// The cell editor's input-method side: compositions, their results, and commits that replace
// the text before the caret.
#include "writing/CellEditorEngine.h"

#include "document/ManuscriptGrid.h"
#include "text/Cp949.h"

#include <algorithm>

namespace {

constexpr int kFirst = ManuscriptGrid::kFirstCellColumn;
constexpr int kMargin = ManuscriptGrid::kMarginColumn;

qsizetype streamIndex(CellPos pos)
{
    return qsizetype(pos.line) * ManuscriptGrid::kStoredColumns + pos.column - kFirst;
}

}

void CellEditorEngine::InputMethod(const QString& commit, const QString& preedit, int replaceFrom, int replaceLength)
{
    if (host_.caret().column < kFirst)
        return;
    BeginStep(commit);
    if (!commit.isEmpty())
        replacePending_ = false;
    if (replaceLength > 0 && replaceFrom + replaceLength == 0) {
        ReplaceBeforeCaret(replaceLength);
        replacePending_ = commit.isEmpty();
    }
    for (const QString& character : Characters(commit)) {
        if (IsAscii(character))
            TypeCharacter(character[0]);
        else
            CommitCharacter(character);
    }
    if (!preedit.isEmpty()) {
        if (composing_)
            CompositionUpdate();
        else
            StartComposition();
        endPending_ = false;
    } else if (composing_) {
        endPending_ = true;
    }
    EndStep(false);
}

void CellEditorEngine::CommitCharacter(const QString& character)
{
    if (composing_)
        CompositionUpdate();
    else
        StartComposition();
    CompositionResult(character);
}

void CellEditorEngine::StartComposition()
{
    composing_ = true;
    endPending_ = false;
    FInputStarted = true;
    FResultCode.clear();
    typedBefore_ = {};
    // A half-width character typed into the caret cell keeps it; the syllable takes the next.
    if (FCellStarted) {
        typedBefore_ = {host_.caret(), PendingText};
        CommitPending(false);
        AdvanceCell(false);
    }
    PendingText.clear();
    OpenSyllableCell();
    FResultPlaced = false;
}

void CellEditorEngine::CompositionUpdate()
{
    if (!FResultPlaced)
        return;
    OpenSyllableCell();
    FResultPlaced = false;
}

void CellEditorEngine::CompositionResult(const QString& character)
{
    if (!Cp949::canEncode(character)) {
        host_.beep();
        return;
    }
    FResultPlaced = true;
    typedBefore_ = {};
    FResultCode = QString::fromLatin1(Cp949::encode(character).toHex().toUpper());
    PlaceResultChar();
    AdvanceCell(false);
    // Each syllable is a step of its own, whatever else the same update brings.
    history_.End(host_.caret());
    history_.Begin(host_.caret());
}

void CellEditorEngine::PlaceResultChar()
{
    const QString character = Cp949::decode(QByteArray::fromHex(FResultCode.toLatin1()));
    if (InMargin())
        AdvanceCell(false);
    SetCurrentCell(character);
    FResultCode.clear();
    FOpenCell = false;
}

void CellEditorEngine::EndComposition()
{
    composing_ = false;
    endPending_ = false;
    FInputStarted = false;
    // A syllable given up (the pre-edit erased or cancelled) leaves no empty cell behind, and
    // the half-width character typed before it may still take a partner ("1", ㄱ, Backspace,
    // "2" is one cell "12").
    if (FOpenCell)
        DeleteCell(false);
    if (!typedBefore_.text.isEmpty())
        ResumeCell(typedBefore_.pos, typedBefore_.text);
    typedBefore_ = {};
    history_.End(host_.caret());
}

void CellEditorEngine::FinishPendingComposition()
{
    if (composing_ && endPending_)
        EndComposition();
}

// A syllable's cell is opened at the caret, never in the margin: from there it would
// overwrite the first cell of the next line.
void CellEditorEngine::OpenSyllableCell()
{
    if (InMargin())
        AdvanceCell(false);
    OpenCell();
    FOpenCell = !FOverwrite;
    host_.setEditText(QString());
}

// Insert mode opens an empty cell at the caret, unless one opened before still waits.
void CellEditorEngine::OpenCell()
{
    if (!FOverwrite && !FOpenCell)
        InsertCell();
    FOpenCell = false;
}

// ---- the text before the caret ------------------------------------------------------

QString CellEditorEngine::SurroundingText() const
{
    QString text;
    for (const CellText& cell : TextBeforeCaret(0))
        text.prepend(cell.text);
    return text;
}

// Nearest first: the box's text before its cursor (unless it shows what follows the caret),
// then each cell back to the start of the caret line, and on through the lines above until
// `atLeast` characters are listed. A blank margin cell is no character.
QList<CellEditorEngine::CellText> CellEditorEngine::TextBeforeCaret(qsizetype atLeast) const
{
    const CellPos caret = host_.caret();
    QList<CellText> cells;
    if (caret.column < kFirst)
        return cells;
    qsizetype count = 0;
    if (!boxFollowsCaret_) {
        const QString typed = host_.editText().left(host_.editCursor());
        if (!typed.isEmpty()) {
            cells.append({caret, typed});
            count += typed.size();
        }
    }
    for (CellPos p = caret; p.line > 0 || p.column > kFirst;) {
        p = p.column > kFirst ? CellPos{p.line, p.column - 1} : CellPos{p.line - 1, kMargin};
        if (p.line < caret.line && count >= atLeast)
            break;
        if (p.column == kMargin && MarginBlank(p.line))
            continue;
        const QString text = grid_.isBlank(p.line, p.column) ? QStringLiteral(" ") : grid_.cell(p.line, p.column);
        cells.append({p, text});
        count += text.size();
    }
    return cells;
}

// The characters go from the nearest back. A cell that loses all of them leaves the stream
// (in overwrite mode, where nothing moves, it is emptied); a cell that keeps some keeps them
// as typed into it, the caret on it, so that the commit joins or follows them.
void CellEditorEngine::ReplaceBeforeCaret(qsizetype count)
{
    // The cell opened for the syllable being composed is opened again where the text went.
    const bool reopen = FOpenCell;
    if (reopen) {
        DeleteCell(false);
        boxFollowsCaret_ = true;
    }
    const CellPos caret = host_.caret();
    CellPos from = caret;
    bool caretCellGoes = false;
    CellText kept;
    qsizetype left = count;
    for (const CellText& cell : TextBeforeCaret(count)) {
        if (left == 0)
            break;
        const qsizetype taken = std::min(left, cell.text.size());
        left -= taken;
        QString rest = cell.text.left(cell.text.size() - taken);
        if (cell.pos == caret)
            rest += host_.editText().mid(host_.editCursor());
        if (!rest.isEmpty()) {
            kept = {cell.pos, rest};
        } else {
            from = cell.pos;
            caretCellGoes |= cell.pos == caret;
        }
    }
    const qsizetype removed = streamIndex(caret) - streamIndex(from) + (caretCellGoes ? 1 : 0);
    if (removed > 0) {
        SetCaret(from, true);
        if (FOverwrite) {
            for (qsizetype i = streamIndex(from); i < streamIndex(from) + removed; ++i)
                grid_.setCell(int(i / ManuscriptGrid::kStoredColumns), int(i % ManuscriptGrid::kStoredColumns) + kFirst,
                              QString());
            host_.setEditText(QString());
        } else {
            DeleteCells(from, int(removed));
        }
        boxFollowsCaret_ = true;
    }
    if (!kept.text.isEmpty()) {
        grid_.setCell(kept.pos.line, kept.pos.column, kept.text);
        ResumeCell(kept.pos, kept.text);
    }
    if (reopen)
        StartComposition();
}

// The caret goes back to a cell whose text stays typed into it: a half-width character there
// takes the next one as its partner.
void CellEditorEngine::ResumeCell(CellPos pos, const QString& text)
{
    SetCaret(pos, true);
    host_.setEditText(text);
    PendingText = text;
    FCellStarted = true;
    boxFollowsCaret_ = false;
}
