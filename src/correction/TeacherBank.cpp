#include "correction/TeacherBank.h"

#include "core/AppError.h"
#include "core/Endpoint.h"
#include "correction/BankSuggestions.h"
#include "correction/CommentBank.h"
#include "correction/CorrectionLaunch.h"
#include "correction/TfrmBank.h"
#include "correction/TfrmText.h"
#include "ui/ErrorBox.h"
#include "ui/Fonts.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace {

// A mark the bank has no kind for (a number) takes entries for any mark.
int kindOf(int mark)
{
    return BankEntry::markKinds().contains(mark) ? mark : 0;
}

}

TeacherBank::TeacherBank(QWidget* strip, QPlainTextEdit* comment, QLabel* notice, QObject* parent)
    : QObject(parent), btnBank(new QPushButton(QStringLiteral("문구함"), strip)), comment_(comment), notice_(notice)
{
    btnBank->setObjectName(QStringLiteral("btnBank"));
    btnBank->setAccessibleName(QStringLiteral("문구함"));
    btnBank->setFont(GulimcheFont(12));
    btnBank->setFixedHeight(24);
    btnBank->hide();
    if (auto* row = qobject_cast<QBoxLayout*>(strip->layout()))
        row->insertWidget(1, btnBank);
    connect(btnBank, &QPushButton::clicked, this, &TeacherBank::openWindow);
}

TeacherBank::~TeacherBank() = default;

void TeacherBank::load(const CorrectionLaunch& launch)
{
    bank_ = std::make_unique<CommentBank>(CourseAdditions(launch.lectureKey, launch.password),
                                          CommentBank::LocalFileFor(ServerUrl(), launch.teacherNo));
    bank_->load();
    if (!bank_->offered()) {
        bank_.reset();
        return;
    }
    btnBank->show();
    connect(bank_.get(), &CommentBank::changed, this, &TeacherBank::showStatus);
    showStatus();
    auto* suggestions = new BankSuggestions(comment_, *bank_, 0, BankSuggestions::Scope::CurrentLine);
    // Counted once the key that took it has been handled: the count is a request.
    connect(suggestions, &BankSuggestions::chosen, this, [this](const BankEntry& entry) {
        QTimer::singleShot(0, this, [this, id = entry.id] {
            if (bank_)
                bank_->countUse(id);
        });
    });
}

CommentBank* TeacherBank::bank() const
{
    return bank_.get();
}

void TeacherBank::offerIn(TfrmText& dialog, int mark) const
{
    if (bank_)
        dialog.OfferBank(*bank_, kindOf(mark));
}

void TeacherBank::keep(const TfrmText& dialog, int mark)
{
    if (!bank_)
        return;
    if (!dialog.TakenEntry().isEmpty())
        bank_->countUse(dialog.TakenEntry());
    if (!dialog.AddToBank())
        return;
    try {
        bank_->add(dialog.Strings().replace(QStringLiteral("\r\n"), QStringLiteral("\n")).trimmed(), kindOf(mark),
                   dialog.Point().trimmed());
    } catch (const AppError& error) {
        ShowInfo(QStringLiteral("문구함에 넣지 못했습니다: ") + error.message());
    }
}

void TeacherBank::openWindow()
{
    if (!bank_)
        return;
    if (!window_)
        window_ = new TfrmBank(*bank_, btnBank->window());
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void TeacherBank::showStatus()
{
    if (bank_ && !bank_->status().isEmpty())
        notice_->setText(bank_->status());
}
