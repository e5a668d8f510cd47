#include "correction/TotalBox.h"

#include "correction/ScoreSheet.h"
#include "ui/Fonts.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>

TTotalBox::TTotalBox(ScoreSheet& sheet, QWidget* parent) : QComboBox(parent), FSheet(sheet)
{
    setObjectName(QStringLiteral("ComboBox1"));
    setAccessibleName(QStringLiteral("평점"));
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setFont(GulimcheFont(123));
    // Pasted text is held to digits as typed text is.
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    lineEdit()->installEventFilter(this);
    lineEdit()->setText(sheet.total());

    connect(lineEdit(), &QLineEdit::textEdited, this, &TTotalBox::ComboBox1Change);
    connect(&sheet, &ScoreSheet::totalChanged, this, [this](const QString& text) {
        if (lineEdit()->text() != text)
            lineEdit()->setText(text);
    });
}

bool TTotalBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lineEdit() && event->type() == QEvent::KeyPress
        && !ComboBox1KeyPress(static_cast<const QKeyEvent&>(*event)))
        return true;
    return QComboBox::eventFilter(watched, event);
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
