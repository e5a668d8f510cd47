#pragma once

class ErrorHistory;
class QPagedPaintDevice;
class QString;

// The error history's chart on paper (a printer, a PDF writer): `heading` and the column
// captions on every page, as many strips of marks to a page as fit. Raises AppError when
// the device cannot be painted on.
void PrintErrorHistory(QPagedPaintDevice& device, const ErrorHistory& history, const QString& heading);
