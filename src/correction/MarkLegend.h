#pragma once

#include <QDialog>

class QListWidget;

// The marks' legend for a run without the palette (viewing a correction): every mark kind's
// picture beside its name and what it is for, one list row each, read by a screen reader as
// it shows. It does not block the frame: the student reads the page beside it.
class TMarkLegend : public QDialog {
    Q_OBJECT
public:
    explicit TMarkLegend(QWidget* parent);

    QListWidget* lstLegend;
};
