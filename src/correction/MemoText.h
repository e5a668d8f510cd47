#pragma once

#include <QString>

class QPlainTextEdit;

// A memo's whole text as records keep it: every line followed by CR LF, empty when the
// memo is empty.
QString MemoText(const QPlainTextEdit* memo);
// Shows a stored text; MemoText gives it back unchanged.
void SetMemoText(QPlainTextEdit* memo, const QString& text);
