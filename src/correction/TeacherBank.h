#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

class CommentBank;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;
class TfrmBank;
class TfrmText;
struct CorrectionLaunch;

// The comment bank in a teacher run: loaded at set-up and shown only when the course site
// offers it: the button "문구함" that opens its window, and entries offered in the page
// comment and in the text dialog of a mark. The bank's status goes to the notice line.
class TeacherBank : public QObject {
    Q_OBJECT
public:
    // The button goes first into `strip`'s row of buttons, hidden until the bank is offered.
    TeacherBank(QWidget* strip, QPlainTextEdit* comment, QLabel* notice, QObject* parent);
    ~TeacherBank() override;

    void load(const CorrectionLaunch& launch);
    // Nothing while the bank is not offered.
    CommentBank* bank() const;
    void offerIn(TfrmText& dialog, int mark) const;
    // After the dialog was saved: counts the entry taken, adds the text when asked.
    void keep(const TfrmText& dialog, int mark);
    void openWindow();

    QPushButton* btnBank;

private:
    void showStatus();

    QPlainTextEdit* comment_;
    QLabel* notice_;
    std::unique_ptr<CommentBank> bank_;
    QPointer<TfrmBank> window_;
};
