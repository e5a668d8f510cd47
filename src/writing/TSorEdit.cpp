#include "writing/TSorEdit.h"

#include "core/AppError.h"
#include "document/ManuscriptGrid.h"
#include "ui/CompositionGuard.h"
#include "ui/HistoryKeys.h"

#include <QApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTableView>

#include <algorithm>

TSorEdit::TSorEdit(QWidget* parent) : QLineEdit(parent)
{
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
}

TSorEdit::~TSorEdit() = default;

void TSorEdit::setGrid(QTableView* grid)
{
    auto* sheet = grid ? qobject_cast<ManuscriptGrid*>(grid->model()) : nullptr;
    if (grid && !sheet)
        throw AppError(QStringLiteral("원고지 칸 편집기에는 원고지 표가 필요합니다."));
    grid_ = grid;
    CellEditorHost& host = *this;
    engine_ = sheet ? std::make_unique<CellEditorEngine>(*sheet, host) : nullptr;
    if (grid)
        connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
            if (engine_)
                engine_->CellChanged();
            updateMicroFocus();
        });
}

void TSorEdit::setCellText(const QString& text)
{
    QLineEdit::selectAll();
    QLineEdit::insert(text);
}

void TSorEdit::setCellSize(QSize size)
{
    cellSize_ = size;
    resize(size);
}

QVariant TSorEdit::inputMethodQuery(Qt::InputMethodQuery query) const
{
    if (!engine_)
        return QLineEdit::inputMethodQuery(query);
    switch (query) {
    case Qt::ImSurroundingText:
        return engine_->SurroundingText();
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition:
        return int(engine_->SurroundingText().size());
    case Qt::ImCurrentSelection:
        return QString();
    default:
        return QLineEdit::inputMethodQuery(query);
    }
}

// The box shows the whole pre-edit: one syllable fits its cell, each further one takes the
// width of the next cell.
void TSorEdit::showPreedit(const QString& preedit, const QList<QInputMethodEvent::Attribute>& attributes)
{
    QInputMethodEvent show(preedit, attributes);
    QLineEdit::inputMethodEvent(&show);
    if (cellSize_.isValid() && grid_)
        resize(cellSize_.width() + int(std::max<qsizetype>(preedit.size() - 1, 0)) * grid_->columnWidth(caret().column),
               cellSize_.height());
}

void TSorEdit::keyPressEvent(QKeyEvent* event)
{
    event->accept();
    if (!engine_)
        return;
    const HistoryKey history = HistoryKeyOf(event->key(), event->modifiers());
    if (history == HistoryKey::None) {
        engine_->KeyPress(event->key(), event->text());
        return;
    }
    // An input method hands over the syllable it composes, so that undo takes it; the box
    // shows no pre-edit afterwards.
    CompositionGuard::CommitComposition();
    showPreedit({});
    if (history == HistoryKey::Undo)
        engine_->Undo();
    else
        engine_->Redo();
}

void TSorEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (!engine_) {
        event->ignore();
        return;
    }
    // The pre-edit leaves the box before the cells change: moving the box while it shows
    // one would make the input method commit it once more.
    showPreedit({});
    engine_->InputMethod(event->commitString(), event->preeditString(), event->replacementStart(),
                         event->replacementLength());
    showPreedit(event->preeditString(), event->attributes());
    event->accept();
}

void TSorEdit::mouseReleaseEvent(QMouseEvent* event)
{
    // The middle button would paste the selection into the box.
    if (event->button() == Qt::MiddleButton)
        return;
    QLineEdit::mouseReleaseEvent(event);
}

CellPos TSorEdit::caret() const
{
    const QModelIndex current = grid_ ? grid_->currentIndex() : QModelIndex();
    return current.isValid() ? CellPos{current.row(), current.column()} : CellPos{0, 0};
}

void TSorEdit::setCaretColumn(int column)
{
    const QModelIndex current = grid_->currentIndex();
    grid_->setCurrentIndex(grid_->model()->index(current.isValid() ? current.row() : 0, column));
}

void TSorEdit::setCaretLine(int line)
{
    const QModelIndex current = grid_->currentIndex();
    grid_->setCurrentIndex(grid_->model()->index(line, current.isValid() ? current.column() : 1));
}

void TSorEdit::pageCaret(bool down)
{
    QKeyEvent page(QEvent::KeyPress, down ? Qt::Key_PageDown : Qt::Key_PageUp, Qt::NoModifier);
    QApplication::sendEvent(grid_, &page);
}

QString TSorEdit::editText() const
{
    return text();
}

void TSorEdit::setEditText(const QString& text)
{
    setCellText(text);
}

void TSorEdit::selectEditText()
{
    QLineEdit::selectAll();
}

bool TSorEdit::editHasSelection() const
{
    return hasSelectedText();
}

int TSorEdit::editCursor() const
{
    return cursorPosition();
}

void TSorEdit::editInsert(const QString& text)
{
    QLineEdit::insert(text);
}

void TSorEdit::editBackspace()
{
    QLineEdit::backspace();
}

void TSorEdit::focusEdit()
{
    setFocus();
}

void TSorEdit::beep()
{
    QApplication::beep();
}
