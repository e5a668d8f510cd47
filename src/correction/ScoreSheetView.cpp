#include "correction/ScoreSheetView.h"

#include "correction/ScoreSheet.h"
#include "ui/Fonts.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTableView>

namespace {

const QColor kFixedColour(0xFF, 0xFF, 0xD0);  // light yellow, $00D0FFFF
const QColor kWrongColour(0xFF, 0xD8, 0xD8);
const QColor kSuggestionColour(0x80, 0x80, 0x80);

// Fixed cells light yellow and bold, the others white; the captions of column 0 sit
// left on one line, everything else is centred.
void pGridDrawCell(QPainter& painter, const QRect& rect, int row, int column, const QString& text, QFont font)
{
    const bool fixed = ScoreSheet::isFixed(row, column);
    // A score its row cannot take stands out until it is put right.
    const bool wrong = ScoreSheet::isTypedScore(row) && !fixed && !ScoreSheet::isValidScore(row, text);
    painter.save();
    painter.fillRect(rect, fixed ? kFixedColour : wrong ? kWrongColour : QColor(Qt::white));
    font.setBold(fixed || wrong);
    painter.setFont(font);
    painter.setPen(wrong ? QColor(Qt::red) : QColor(Qt::black));
    const int alignment = column == 0 && row >= 1 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter;
    painter.drawText(rect, alignment | Qt::TextSingleLine, text);
    painter.restore();
}

class ScoreHeader : public QHeaderView {
public:
    explicit ScoreHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override
    {
        pGridDrawCell(*painter, rect, 0, logicalIndex, model()->headerData(logicalIndex, Qt::Horizontal).toString(),
                      font());
    }
};

// Every change of the editor's text reaches the sheet at once, so the totals follow each
// key and a wrong value is reported as it is typed.
class ScoreDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        pGridDrawCell(*painter, option.rect, index.row(), index.column(), index.data().toString(), option.font);
        const QString suggested = index.data(ScoreSheet::SuggestionRole).toString();
        if (suggested.isEmpty())
            return;
        // Grey and italic, so a suggestion is never read as a score given.
        painter->save();
        QFont font = option.font;
        font.setItalic(true);
        painter->setFont(font);
        painter->setPen(kSuggestionColour);
        painter->drawText(option.rect, Qt::AlignCenter | Qt::TextSingleLine, QStringLiteral("제안 ") + suggested);
        painter->restore();
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        editor->setFont(option.font);
        editor->setAlignment(Qt::AlignCenter);
        QAbstractItemModel* model = const_cast<QAbstractItemModel*>(index.model());
        const QPersistentModelIndex cell(index);
        QObject::connect(editor, &QLineEdit::textEdited, editor, [model, cell](const QString& text) {
            if (cell.isValid())
                model->setData(cell, text);
        });
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        auto* line = static_cast<QLineEdit*>(editor);
        const QString text = index.data(Qt::EditRole).toString();
        // The sheet echoes every typed change back; leave the caret where it is.
        if (line->text() != text)
            line->setText(text);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        model->setData(index, static_cast<QLineEdit*>(editor)->text());
    }
};

}

TScoreSheetView::TScoreSheetView(ScoreSheet& sheet, QWidget* parent)
    : QWidget(parent), pGrid(new QTableView(this)), CheckBox1(new QCheckBox(this)), FAccept(new QShortcut(this)),
      FSheet(sheet)
{
    setObjectName(QStringLiteral("ScoreSheetView"));
    pGrid->setObjectName(QStringLiteral("pGrid"));
    pGrid->setFont(GulimcheFont(13));
    pGrid->setHorizontalHeader(new ScoreHeader(pGrid));
    pGrid->setModel(&sheet);
    pGrid->setItemDelegate(new ScoreDelegate(pGrid));
    pGrid->setShowGrid(false);
    pGrid->setFrameShape(QFrame::NoFrame);
    pGrid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    pGrid->setEditTriggers(QAbstractItemView::AllEditTriggers);
    pGrid->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    pGrid->verticalHeader()->hide();
    pGrid->verticalHeader()->setMinimumSectionSize(0);
    pGrid->verticalHeader()->setDefaultSectionSize(kRowHeight);
    pGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* header = pGrid->horizontalHeader();
    header->setMinimumSectionSize(0);
    header->setFixedHeight(kRowHeight);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    pGrid->setColumnWidth(0, 300);
    pGrid->setColumnWidth(1, 64);
    pGrid->setColumnWidth(2, 64);
    // Row 0 is drawn as the header, which stays put while the rows scroll.
    pGrid->setRowHidden(0, true);

    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setAccessibleName(sheet.text(ScoreSheet::kDeductionRow, 0));
    CheckBox1->setGeometry(kDeductionLeft, kOutOfSight, 97, 17);
    CheckBox1->setChecked(sheet.deduction());
    CheckBox1->raise();

    // F7 anywhere in the sheet, its cell editors included, as F7 on the board takes a
    // suggestion there.
    FAccept->setKey(QKeySequence(Qt::Key_F7));
    FAccept->setContext(Qt::WidgetWithChildrenShortcut);
    connect(FAccept, &QShortcut::activated, this, &TScoreSheetView::AcceptSuggestion);
    connect(CheckBox1, &QCheckBox::clicked, this, &TScoreSheetView::CheckBox1Click);
    connect(&sheet, &ScoreSheet::deductionChanged, CheckBox1, &QCheckBox::setChecked);
    connect(pGrid->verticalScrollBar(), &QScrollBar::valueChanged, this, &TScoreSheetView::pGridTopLeftChanged);
    connect(pGrid->horizontalScrollBar(), &QScrollBar::valueChanged, this, &TScoreSheetView::pGridTopLeftChanged);
}

void TScoreSheetView::pGridTopLeftChanged()
{
    const QRect cell = pGrid->visualRect(FSheet.index(ScoreSheet::kDeductionRow, ScoreSheet::kScoreColumn));
    if (!cell.isValid() || !pGrid->viewport()->rect().intersects(cell)) {
        CheckBox1->move(CheckBox1->x(), kOutOfSight);
        return;
    }
    CheckBox1->move(CheckBox1->x(), pGrid->y() + pGrid->viewport()->y() + cell.top());
}

void TScoreSheetView::SetReadOnly()
{
    pGrid->setCurrentIndex(QModelIndex());
    pGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pGrid->setSelectionMode(QAbstractItemView::NoSelection);
    CheckBox1->setEnabled(false);
    FAccept->setEnabled(false);
}

void TScoreSheetView::AcceptSuggestion()
{
    if (FSheet.acceptSuggestion())
        pGrid->scrollTo(FSheet.index(ScoreSheet::kManuscriptRow, ScoreSheet::kScoreColumn));
}

void TScoreSheetView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    pGrid->setGeometry(rect());
    pGridTopLeftChanged();
}

void TScoreSheetView::CheckBox1Click(bool checked)
{
    FSheet.setDeduction(checked);
}
