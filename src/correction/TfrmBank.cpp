#include "correction/TfrmBank.h"

#include "board/DrawTool.h"
#include "core/AppError.h"
#include "core/WholeFile.h"
#include "correction/CommentBank.h"
#include "ui/ErrorBox.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QString lineOf(const BankEntry& entry)
{
    QString line = entry.text.simplified();
    if (entry.mark)
        line += QStringLiteral("  [%1]").arg(DrawToolName(TDrawTool(entry.mark)));
    if (!entry.points.isEmpty())
        line += QStringLiteral("  (%1)").arg(entry.points);
    if (entry.uses)
        line += QStringLiteral("  · %1회").arg(entry.uses);
    return line;
}

QPushButton* button(const QString& name, const QString& text, QWidget* parent)
{
    auto* out = new QPushButton(text, parent);
    out->setObjectName(name);
    return out;
}

}

TfrmBank::TfrmBank(CommentBank& bank, QWidget* parent)
    : QDialog(parent), lstOwn(new QListWidget(this)), lstStock(new QListWidget(this)),
      memEntry(new QPlainTextEdit(this)), cmbMark(new QComboBox(this)), edtPoints(new QLineEdit(this)),
      btnAdd(button(QStringLiteral("btnAdd"), QStringLiteral("추가"), this)),
      btnEdit(button(QStringLiteral("btnEdit"), QStringLiteral("고치기"), this)),
      btnDelete(button(QStringLiteral("btnDelete"), QStringLiteral("삭제"), this)),
      btnImport(button(QStringLiteral("btnImport"), QStringLiteral("CSV 가져오기"), this)),
      btnExport(button(QStringLiteral("btnExport"), QStringLiteral("CSV 내보내기"), this)), lblStatus(new QLabel(this)),
      bank_(bank)
{
    setObjectName(QStringLiteral("frmBank"));
    setWindowTitle(QStringLiteral("문구함"));
    resize(520, 560);

    lstOwn->setObjectName(QStringLiteral("lstOwn"));
    lstOwn->setAccessibleName(QStringLiteral("내 문구 (Ctrl+위/아래로 옮기기)"));
    lstOwn->setDragDropMode(QAbstractItemView::InternalMove);
    lstOwn->setDefaultDropAction(Qt::MoveAction);
    lstOwn->installEventFilter(this);
    lstStock->setObjectName(QStringLiteral("lstStock"));
    lstStock->setAccessibleName(QStringLiteral("기본 문구 (고칠 수 없음)"));
    memEntry->setObjectName(QStringLiteral("memEntry"));
    memEntry->setAccessibleName(QStringLiteral("문구"));
    memEntry->setFixedHeight(60);
    cmbMark->setObjectName(QStringLiteral("cmbMark"));
    cmbMark->setAccessibleName(QStringLiteral("표시"));
    cmbMark->addItem(QStringLiteral("(모든 표시)"), 0);
    for (const int mark : BankEntry::markKinds())
        cmbMark->addItem(DrawToolName(TDrawTool(mark)), mark);
    edtPoints->setObjectName(QStringLiteral("edtPoints"));
    edtPoints->setAccessibleName(QStringLiteral("점수"));
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setWordWrap(true);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("문구"), memEntry);
    fields->addRow(QStringLiteral("표시"), cmbMark);
    fields->addRow(QStringLiteral("점수"), edtPoints);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {btnAdd, btnEdit, btnDelete, btnImport, btnExport})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("내 문구"), this));
    layout->addWidget(lstOwn, 3);
    layout->addWidget(new QLabel(QStringLiteral("기본 문구"), this));
    layout->addWidget(lstStock, 1);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->addWidget(lblStatus);

    connect(btnAdd, &QPushButton::clicked, this, &TfrmBank::addEntry);
    connect(btnEdit, &QPushButton::clicked, this, &TfrmBank::editEntry);
    connect(btnDelete, &QPushButton::clicked, this, &TfrmBank::deleteEntry);
    connect(btnImport, &QPushButton::clicked, this, [this] {
        const QString path =
            QFileDialog::getOpenFileName(this, QStringLiteral("CSV 가져오기"), {}, QStringLiteral("CSV (*.csv)"));
        if (!path.isEmpty())
            importCsv(path);
    });
    connect(btnExport, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("CSV 내보내기"),
                                                          QStringLiteral("문구함.csv"), QStringLiteral("CSV (*.csv)"));
        if (!path.isEmpty())
            exportCsv(path);
    });
    connect(lstOwn, &QListWidget::currentRowChanged, this, &TfrmBank::showSelected);
    // Taken up once the drop has ended: the list is rebuilt from the bank.
    connect(lstOwn->model(), &QAbstractItemModel::rowsMoved, this,
            [this] { QTimer::singleShot(0, this, &TfrmBank::dropped); });
    connect(&bank_, &CommentBank::changed, this, &TfrmBank::showBank);
    showBank();
}

void TfrmBank::showBank()
{
    const QString selected = selectedId();
    lstOwn->clear();
    lstStock->clear();
    for (const BankEntry& entry : bank_.entries()) {
        auto* item = new QListWidgetItem(lineOf(entry));
        item->setData(Qt::UserRole, entry.id);
        if (entry.stock) {
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            lstStock->addItem(item);
        } else {
            lstOwn->addItem(item);
            if (entry.id == selected)
                lstOwn->setCurrentItem(item);
        }
    }
    lblStatus->setText(bank_.status());
}

QString TfrmBank::selectedId() const
{
    const QListWidgetItem* item = lstOwn->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

void TfrmBank::showSelected()
{
    const QString id = selectedId();
    for (const BankEntry& entry : bank_.entries()) {
        if (entry.id != id)
            continue;
        memEntry->setPlainText(entry.text);
        cmbMark->setCurrentIndex(std::max(0, cmbMark->findData(entry.mark)));
        edtPoints->setText(entry.points);
    }
}

template <typename Change>
void TfrmBank::attempt(Change change)
{
    try {
        change();
    } catch (const AppError& error) {
        ShowInfo(error.message());
    }
}

void TfrmBank::addEntry()
{
    attempt([this] {
        const QString id =
            bank_.add(memEntry->toPlainText().trimmed(), cmbMark->currentData().toInt(), edtPoints->text().trimmed());
        for (int row = 0; row < lstOwn->count(); ++row)
            if (lstOwn->item(row)->data(Qt::UserRole).toString() == id)
                lstOwn->setCurrentRow(row);
    });
}

void TfrmBank::editEntry()
{
    const QString id = selectedId();
    if (id.isEmpty())
        return ShowInfo(QStringLiteral("고칠 문구를 내 문구에서 고르십시오."));
    attempt([&] {
        bank_.edit(id, memEntry->toPlainText().trimmed(), cmbMark->currentData().toInt(), edtPoints->text().trimmed());
    });
}

void TfrmBank::deleteEntry()
{
    const QString id = selectedId();
    if (id.isEmpty())
        return ShowInfo(QStringLiteral("지울 문구를 내 문구에서 고르십시오."));
    attempt([&] { bank_.remove(id); });
}

void TfrmBank::move(int by)
{
    const QString id = selectedId();
    if (!id.isEmpty())
        attempt([&] { bank_.moveTo(id, lstOwn->currentRow() + by); });
}

void TfrmBank::dropped()
{
    QStringList ids;
    for (int row = 0; row < lstOwn->count(); ++row)
        ids << lstOwn->item(row)->data(Qt::UserRole).toString();
    attempt([&] { bank_.reorder(ids); });
}

void TfrmBank::importCsv(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ShowInfo(QStringLiteral("%1을(를) 읽을 수 없습니다: %2").arg(path, file.errorString()));
    attempt([&] {
        const QList<BankEntry> entries = BankCsv::Read(file.readAll());
        bank_.addAll(entries);
        lblStatus->setText(QStringLiteral("%1개 문구를 가져왔습니다. %2").arg(entries.size()).arg(bank_.status()));
    });
}

void TfrmBank::exportCsv(const QString& path)
{
    if (const std::optional<QString> why = WriteWholeFile(path, BankCsv::Write(bank_.ownEntries())))
        return ShowInfo(QStringLiteral("%1에 쓸 수 없습니다: %2").arg(path, *why));
    lblStatus->setText(QStringLiteral("%1개 문구를 %2에 내보냈습니다.").arg(bank_.ownEntries().size()).arg(path));
}

bool TfrmBank::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lstOwn && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::ControlModifier && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            move(key->key() == Qt::Key_Up ? -1 : 1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
