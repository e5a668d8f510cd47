#pragma once

#include "correction/TfrmText.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <functional>

// Double-clicks the board at a point as a teacher does; `inDialog` runs while the mark's
// text dialog is open (which is closed afterwards unless `inDialog` closed it). Returns
// whether a dialog opened.
inline bool DoubleClickForText(QWidget& board, QPoint at, const std::function<void(TfrmText&)>& inDialog)
{
    QTest::mouseClick(&board, Qt::LeftButton, {}, at);  // the double click's first press
    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<TfrmText*>(QApplication::activeModalWidget())) {
            opened = true;
            inDialog(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        }
    });
    QTest::mouseDClick(&board, Qt::LeftButton, {}, at);
    QApplication::processEvents();
    return opened;
}
