#pragma once

#include <QDialog>

class CommentBank;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

// The window "문구함": the teacher's own entries, which it adds, edits, deletes and
// reorders (by dragging, or Ctrl+Up / Ctrl+Down), and the course's stock, read-only.
// CSV files bring entries in and take them out.
class TfrmBank : public QDialog {
    Q_OBJECT
public:
    TfrmBank(CommentBank& bank, QWidget* parent = nullptr);

    // All or none; a bad file is named by its line in a box.
    void importCsv(const QString& path);
    void exportCsv(const QString& path);

    QListWidget* lstOwn;
    QListWidget* lstStock;
    QPlainTextEdit* memEntry;
    QComboBox* cmbMark;
    QLineEdit* edtPoints;
    QPushButton* btnAdd;
    QPushButton* btnEdit;
    QPushButton* btnDelete;
    QPushButton* btnImport;
    QPushButton* btnExport;
    QLabel* lblStatus;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showBank();
    void showSelected();
    QString selectedId() const;
    void addEntry();
    void editEntry();
    void deleteEntry();
    void move(int by);
    void dropped();
    // Runs a change of the bank; a refusal is shown, nothing else happens.
    template <typename Change>
    void attempt(Change change);

    CommentBank& bank_;
};
