#pragma once

#include <QString>

class QPlainTextEdit;

// A memo's text in the form records keep it: every line followed by CR LF, empty when it
// is empty.
QString AsRecordText(QString shown);
// A stored text as a memo shows it: lines separated by LF (CR LF and a lone CR end a line).
QString AsShownText(QString stored);
// A memo's whole text as records keep it: every line followed by CR LF, empty when the
// memo is empty.
QString MemoText(const QPlainTextEdit* memo);
// Shows a stored text; MemoText gives it back unchanged.
void SetMemoText(QPlainTextEdit* memo, const QString& text);
