#include "correction/MemoText.h"

#include <QPlainTextEdit>

QString MemoText(const QPlainTextEdit* memo)
{
    QString text = memo->toPlainText();
    if (text.isEmpty())
        return text;
    if (!text.endsWith(u'\n'))
        text.append(u'\n');
    return text.replace(u'\n', QStringLiteral("\r\n"));
}

void SetMemoText(QPlainTextEdit* memo, const QString& text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    memo->setPlainText(shown);
}
