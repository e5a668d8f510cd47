#include "correction/TfrmText.h"

#include "core/AppError.h"
#include "correction/BankSuggestions.h"
#include "correction/MemoText.h"
#include "document/CorrectionRecord.h"
#include "text/Cp949.h"
#include "ui/ErrorBox.h"
#include "ui/Fonts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

namespace {
constexpr int kClientWidth = 272;
constexpr int kClientHeight = 130;
constexpr int kStripHeight = 41;
}

TfrmText::TfrmText(QWidget* parent)
    : QDialog(parent), memText(new QPlainTextEdit(this)), cmbPoint(new QComboBox(this)),
      btnOK(new QPushButton(QStringLiteral("저장"), this)), btnCancel(new QPushButton(QStringLiteral("취소"), this))
{
    setObjectName(QStringLiteral("frmText"));
    setWindowTitle(QStringLiteral("Text"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(GulimcheFont(13));
    setFixedSize(kClientWidth, kClientHeight);

    memText->setObjectName(QStringLiteral("memText"));
    memText->setAccessibleName(QStringLiteral("글"));
    memText->setLineWrapMode(QPlainTextEdit::NoWrap);
    memText->setGeometry(0, 0, kClientWidth, kClientHeight - kStripHeight);

    const int y = kClientHeight - kStripHeight + 8;
    auto* label = new QLabel(QStringLiteral("점수"), this);
    label->setGeometry(8, y, 30, 25);
    label->setBuddy(cmbPoint);
    cmbPoint->setObjectName(QStringLiteral("cmbPoint"));
    cmbPoint->setAccessibleName(QStringLiteral("점수"));
    cmbPoint->setEditable(true);
    cmbPoint->setInsertPolicy(QComboBox::NoInsert);
    for (int point = 1; point <= 10; ++point)
        cmbPoint->addItem(QString::number(-point));
    cmbPoint->setCurrentIndex(-1);
    cmbPoint->setGeometry(40, y, 70, 25);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setGeometry(120, y, 70, 25);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(196, y, 70, 25);
    connect(btnOK, &QPushButton::clicked, this, &TfrmText::accept);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmText::reject);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TfrmText::OfferBank(const CommentBank& bank, int mark)
{
    // The check box takes a row of its own under the buttons.
    constexpr int kRow = 24;
    setFixedSize(kClientWidth, kClientHeight + kRow);
    chkBank = new QCheckBox(QStringLiteral("문구함에 추가"), this);
    chkBank->setObjectName(QStringLiteral("chkBank"));
    chkBank->setGeometry(8, kClientHeight - 2, kClientWidth - 16, kRow);
    chkBank->show();
    auto* suggestions = new BankSuggestions(memText, bank, mark, BankSuggestions::Scope::WholeText);
    connect(suggestions, &BankSuggestions::chosen, this, [this](const BankEntry& entry) {
        FTakenEntry = entry.id;
        if (!entry.points.isEmpty())
            SetPoint(entry.points);
    });
}

bool TfrmText::AddToBank() const
{
    return chkBank && chkBank->isChecked();
}

void TfrmText::SetStrings(const QString& strings)
{
    SetMemoText(memText, strings);
}

QString TfrmText::Strings() const
{
    return MemoText(memText);
}

void TfrmText::SetPoint(const QString& point)
{
    cmbPoint->setEditText(point);
}

QString TfrmText::Point() const
{
    return cmbPoint->currentText();
}

void TfrmText::accept()
{
    try {
        Cp949::encode(Strings() + Point());
    } catch (const AppError& error) {
        ShowInfo(error.message());
        return;
    }
    const int bytes = Cp949::byteLength(Strings());
    if (bytes > CorrectionRecord::kStringsSize) {
        ShowInfo(QStringLiteral("글은 %1바이트(한글 %2자)까지만 저장할 수 있습니다. 지금 %3바이트입니다.")
                     .arg(CorrectionRecord::kStringsSize)
                     .arg(CorrectionRecord::kStringsSize / 2)
                     .arg(bytes));
        return;
    }
    if (Cp949::byteLength(Point()) > CorrectionRecord::kShortSize) {
        ShowInfo(QStringLiteral("점수는 %1바이트까지만 넣을 수 있습니다.").arg(CorrectionRecord::kShortSize));
        return;
    }
    QDialog::accept();
}
