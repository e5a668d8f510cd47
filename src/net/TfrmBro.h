#pragma once

#include <QDialog>

class QWebEngineView;

// The discussion window: one browser view filling it.
class TfrmBro : public QDialog {
    Q_OBJECT
public:
    explicit TfrmBro(QWidget* parent = nullptr);

    QWebEngineView* web;
};
