#include "correction/MemoText.h"

#include <QPlainTextEdit>

QString AsRecordText(QString shown)
{
    if (shown.isEmpty())
        return shown;
    if (!shown.endsWith(u'\n'))
        shown.append(u'\n');
    return shown.replace(u'\n', QStringLiteral("\r\n"));
}

QString AsShownText(QString stored)
{
    return stored.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
}

QString MemoText(const QPlainTextEdit* memo)
{
    return AsRecordText(memo->toPlainText());
}

void SetMemoText(QPlainTextEdit* memo, const QString& text)
{
    memo->setPlainText(AsShownText(text));
}
