#pragma once

#include <QAbstractButton>
#include <QPixmap>

// A button drawn as a picture that shows its word: hand cursor, clicked on release over it
// as any button. Tab reaches it and marks it with a frame; Space and Enter press it. Its
// text, and so its accessible name, is the word its picture shows. A click does not take
// the focus from the editor the person is typing in. A checkable one shows its checked
// state pressed in.
class PictureButton : public QAbstractButton {
    Q_OBJECT
public:
    PictureButton(const QPixmap& picture, const QString& word, QWidget* parent);

    int Tag = 0;

    QPixmap pixmap() const { return picture_; }
    void setPixmap(const QPixmap& picture);
    QSize sizeHint() const override { return picture_.deviceIndependentSize().toSize(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPixmap picture_;
};
