#include "correction/BankSuggestions.h"

#include "correction/CommentBank.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace {
constexpr int kRows = 6;
}

BankSuggestions::BankSuggestions(QPlainTextEdit* editor, const CommentBank& bank, int mark, Scope scope)
    : QObject(editor), editor_(editor), bank_(bank), mark_(mark), scope_(scope), list_(new QListWidget(editor))
{
    list_->setObjectName(QStringLiteral("lstBank"));
    list_->setAccessibleName(QStringLiteral("문구함 제안"));
    list_->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    list_->setAttribute(Qt::WA_ShowWithoutActivating);
    list_->setFocusPolicy(Qt::NoFocus);
    list_->setFont(editor->font());
    connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        list_->setCurrentItem(item);
        take();
    });
    connect(editor_, &QPlainTextEdit::textChanged, this, &BankSuggestions::refresh);
    editor_->installEventFilter(this);
}

QString BankSuggestions::typed() const
{
    if (scope_ == Scope::WholeText)
        return editor_->toPlainText();
    const QTextCursor caret = editor_->textCursor();
    return caret.block().text().left(caret.positionInBlock());
}

void BankSuggestions::refresh()
{
    if (filling_)
        return;
    shown_ = bank_.matches(typed(), mark_);
    if (shown_.isEmpty() || !editor_->isVisible()) {
        hide();
        return;
    }
    list_->clear();
    for (const BankEntry& entry : shown_) {
        QString line = entry.text.simplified();
        if (!entry.points.isEmpty())
            line += QStringLiteral("  (%1)").arg(entry.points);
        if (entry.stock)
            line += QStringLiteral("  [기본]");
        list_->addItem(line);
    }
    const int rowHeight = list_->sizeHintForRow(0);
    list_->resize(std::max(editor_->width(), 260), rowHeight * int(std::min<qsizetype>(shown_.size(), kRows)) + 4);
    list_->move(editor_->viewport()->mapToGlobal(editor_->cursorRect().bottomLeft()));
    list_->show();
    list_->raise();
}

void BankSuggestions::step(int by)
{
    const int row = list_->currentRow() < 0 ? (by > 0 ? 0 : list_->count() - 1)
                                            : std::clamp(list_->currentRow() + by, 0, list_->count() - 1);
    list_->setCurrentRow(row);
    editor_->setAccessibleDescription(QStringLiteral("문구함: %1").arg(shown_[row].text));
    QAccessibleEvent event(list_, QAccessible::Selection);
    event.setChild(row);
    QAccessible::updateAccessibility(&event);
}

void BankSuggestions::take()
{
    const int row = list_->currentRow();
    if (row < 0 || row >= shown_.size())
        return;
    const BankEntry entry = shown_[row];
    hide();
    filling_ = true;
    if (scope_ == Scope::WholeText) {
        editor_->setPlainText(entry.text);
    } else {
        QTextCursor caret = editor_->textCursor();
        caret.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
        caret.insertText(entry.text);
        editor_->setTextCursor(caret);
    }
    editor_->moveCursor(scope_ == Scope::WholeText ? QTextCursor::End : QTextCursor::NoMove);
    filling_ = false;
    emit chosen(entry);
}

void BankSuggestions::hide()
{
    list_->hide();
    list_->clearSelection();
    list_->setCurrentRow(-1);
    editor_->setAccessibleDescription(QString());
}

bool BankSuggestions::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut)
        hide();
    if (event->type() != QEvent::KeyPress || !list_->isVisible())
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Down:
        step(1);
        return true;
    case Qt::Key_Up:
        step(-1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (list_->currentRow() < 0)
            break;
        take();
        return true;
    case Qt::Key_Escape:
        hide();
        return true;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
