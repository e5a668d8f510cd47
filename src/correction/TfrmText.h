#pragma once

#include <QDialog>

class CommentBank;
class QCheckBox;
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

    // Offers the bank's entries for a mark of kind `mark` as the teacher types, and the
    // check box "문구함에 추가". Taking an entry fills the text and, when it has them, the points.
    void OfferBank(const CommentBank& bank, int mark);
    // The id of the entry taken last ("" for none) and whether the text goes into the bank.
    const QString& TakenEntry() const { return FTakenEntry; }
    bool AddToBank() const;

    QPlainTextEdit* memText;
    QComboBox* cmbPoint;
    QPushButton* btnOK;
    QPushButton* btnCancel;
    QCheckBox* chkBank = nullptr;  // only while a bank is offered

protected:
    // Texts the record could not keep whole are refused with a message and the dialog
    // stays open, instead of being cut when the page is stored.
    void accept() override;

private:
    QString FTakenEntry;
};
