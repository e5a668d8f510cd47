#include "correction/TotalBox.h"

#include "correction/ScoreSheet.h"
#include "ui/Fonts.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>

TTotalBox::TTotalBox(ScoreSheet& sheet, QWidget* parent) : QLineEdit(parent), FSheet(sheet)
{
    setObjectName(QStringLiteral("ComboBox1"));
    setAccessibleName(QStringLiteral("평점"));
    setFont(GulimcheFont(123));
    setFrame(false);
    setAlignment(Qt::AlignCenter);
    setReadOnly(true);
    // Pasted text is held to digits as typed text is.
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    showTotal();

    connect(this, &QLineEdit::textEdited, this, &TTotalBox::ComboBox1Change);
    connect(&sheet, &ScoreSheet::totalChanged, this, &TTotalBox::showTotal);
    connect(&sheet, &QAbstractItemModel::dataChanged, this, &TTotalBox::showTotal);
}

void TTotalBox::SetTyped(bool typed)
{
    setReadOnly(!typed);
}

void TTotalBox::showTotal()
{
    const int wrong = FSheet.invalidRow();
    const QString shown = wrong < 0 ? FSheet.total() : QStringLiteral("?");
    if (text() != shown)
        setText(shown);
    QPalette colours = palette();
    colours.setColor(QPalette::Text, wrong < 0 ? QColor(Qt::black) : QColor(Qt::red));
    setPalette(colours);
    const QString why = wrong < 0 ? QString() : ScoreSheet::rangeMessage(wrong);
    setToolTip(why);
    setAccessibleDescription(why);
}

void TTotalBox::keyPressEvent(QKeyEvent* event)
{
    if (!isReadOnly() && !ComboBox1KeyPress(*event))
        return;
    QLineEdit::keyPressEvent(event);
}

bool TTotalBox::ComboBox1KeyPress(const QKeyEvent& key) const
{
    if (key.key() == Qt::Key_Backspace)
        return false;
    const QString text = key.text();
    for (QChar c : text)
        if (c.isPrint() && (c < u'0' || c > u'9'))
            return false;
    return true;
}

void TTotalBox::ComboBox1Change(const QString& typed)
{
    FSheet.typeTotal(typed);
}
