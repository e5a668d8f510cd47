#pragma once

#include <QLabel>

// A picture that acts as a button: hand cursor, clicked on release over it. Its
// accessible name is the word its picture shows.
class PictureButton : public QLabel {
    Q_OBJECT
public:
    PictureButton(const QPixmap& picture, const QString& word, QWidget* parent);

    int Tag = 0;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
