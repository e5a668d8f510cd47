#pragma once

#include <QDialog>

class QComboBox;
class QPlainTextEdit;
class QPushButton;

// The text dialog: edits a board item's text and its point text. Created for one edit.
// 저장 ends it with Accepted, 취소 with Rejected.
class TfrmText : public QDialog {
    Q_OBJECT
public:
    explicit TfrmText(QWidget* parent = nullptr);

    // Text whose lines are separated by CR LF, as items keep it.
    void SetStrings(const QString& strings);
    // The memo's whole text: every line followed by CR LF; empty for an empty memo.
    QString Strings() const;
    void SetPoint(const QString& point);
    QString Point() const;

    QPlainTextEdit* memText;
    QComboBox* cmbPoint;
    QPushButton* btnOK;
    QPushButton* btnCancel;

protected:
    // Texts the record could not keep whole are refused with a message and the dialog
    // stays open, instead of being cut when the page is stored.
    void accept() override;
};
