#include "writing/WritingSession.h"

#include "core/AppError.h"
#include "core/LaunchFields.h"
#include "document/EssayRecord.h"
#include "document/ManuscriptGrid.h"
#include "net/ReplyText.h"
#include "net/UploadForm.h"
#include "print/EssayPrint.h"
#include "ui/ErrorBox.h"
#include "writing/CellEditorEngine.h"
#include "writing/EssayMeasures.h"
#include "writing/EssaySave.h"

#include <QScopeGuard>

WritingSession::WritingSession(QObject* parent)
    : QObject(parent), grid_(new ManuscriptGrid(15, this)), cdEditor_(EssayRecord::fields())
{
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, [this] { Guarded([&] { TimerTimer(); }); });
    connect(grid_, &ManuscriptGrid::dataChanged, this, &WritingSession::noteChange);
}

void WritingSession::noteChange()
{
    if (showing_)
        return;
    edited_ = true;
    countShown_ = false;
    recountSoon();
    emit WorkChanged();
}

// The count follows every change, however it came (a syllable committed by a click, a paste),
// once the change is done: a single keystroke changes the cells several times.
void WritingSession::recountSoon()
{
    if (recountQueued_)
        return;
    recountQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        recountQueued_ = false;
        showCount();
    });
}

// A keystroke changes the cells and is released: the count is taken once for both.
void WritingSession::showCount()
{
    if (countShown_)
        return;
    countShown_ = true;
    emit Counted(CountCharacters());
}

void WritingSession::SetTitle(const QString& title)
{
    if (title == title_)
        return;
    title_ = title;
    noteChange();
}

WritingSession::~WritingSession() = default;

void WritingSession::ReadLaunchFields(const LaunchFields& fields)
{
    launch_ = WritingLaunch::Read(fields);
    lectureKey_ = launch_.lectureKey;
    revision_.start(launch_.essayRevision);
    title_ = launch_.title;
}

void WritingSession::EssayFetched(const QString& revision)
{
    revision_.fetched(revision);
}

bool WritingSession::NewerThanLaunch() const
{
    return revision_.newerThanLaunch();
}

int WritingSession::FirstPaper() const
{
    return launch_.manuscriptPaper ? EssayRecord::Manuscript : EssayRecord::BlankPaper;
}

bool WritingSession::OffersPaper(int kind) const
{
    return !launch_.paperFixed || (kind == EssayRecord::Manuscript) == launch_.manuscriptPaper;
}

void WritingSession::setInx(int kind)
{
    if (kind == inx_)
        return;
    inx_ = kind;
    countShown_ = false;
    emit InxChanged(kind);
    // Only the journal cares which paper is shown; the server gets what the save sends.
    if (!showing_)
        emit WorkChanged();
}

void WritingSession::setMemo(const QString& text)
{
    if (text == memo_)
        return;
    memo_ = text;
    noteChange();
}

void WritingSession::clearRecord()
{
    cdEditor_ = DataSet(EssayRecord::fields());
}

void WritingSession::LoadEssay(const QByteArray& packet)
{
    EssayRecord::load(cdEditor_, packet);
    for (const FieldDef& field : EssayRecord::fields())
        if (cdEditor_.findField(field.name) < 0) {
            clearRecord();
            throw AppError(QStringLiteral("받은 자료는 감상문 기록이 아닙니다 (%1 항목이 없습니다).").arg(field.name));
        }
    const std::optional<int> kind = EssayRecord::paperKind(cdEditor_);
    if (kind && (*kind < EssayRecord::Manuscript || *kind > EssayRecord::ScannedPages)) {
        clearRecord();
        throw AppError(QStringLiteral("받은 감상문의 종이 종류(%1)를 알 수 없습니다.").arg(*kind));
    }
}

void WritingSession::ShowEssay()
{
    showing_ = true;
    const auto shown = qScopeGuard([this] { showing_ = false; });
    timerTicked_ = false;
    edited_ = false;
    countShown_ = false;
    cdEditor_.cancelUpdates();
    memo_.clear();
    grid_->reset(ManuscriptGrid::kMinimumLines);
    if (const std::optional<int> kind = EssayRecord::paperKind(cdEditor_))
        setInx(*kind);
    if (!cdEditor_.isEmpty() && inx_ == EssayRecord::Manuscript) {
        EssayRecord::toGrid(cdEditor_, *grid_);
        cdEditor_.emptyDataSet();
    } else if (!cdEditor_.isEmpty() && inx_ == EssayRecord::BlankPaper) {
        memo_ =
            cdEditor_.asString(u"LText").replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
        cdEditor_.emptyDataSet();
    }
    emit MemoReplaced(memo_);

    const CellPos caret = CaretPlace();
    if (caret.line >= grid_->lineCount())
        grid_->setLineCount(caret.line + 1);
    emit EssayShown(caret);
}

CellPos WritingSession::CaretPlace() const
{
    if (inx_ != EssayRecord::Manuscript)
        return {0, 0};
    for (int line = grid_->lineCount() - 1; line >= 0; --line)
        for (int column = ManuscriptGrid::kMarginColumn; column >= ManuscriptGrid::kFirstCellColumn; --column)
            if (!CellEditorEngine::TrimCell(grid_->cell(line, column)).isEmpty())
                return column >= ManuscriptGrid::kLastCellColumn ? CellPos{line + 1, ManuscriptGrid::kFirstCellColumn}
                                                                 : CellPos{line, column + 1};
    return {0, ManuscriptGrid::kFirstCellColumn};
}

void WritingSession::MakeReadOnly()
{
    readOnly_ = true;
    emit MadeReadOnly();
}

QString WritingSession::CollectGridText() const
{
    return EssayMeasures::CollectGridText(*grid_);
}

int WritingSession::CountCharacters() const
{
    switch (inx_) {
    case EssayRecord::Manuscript:
        return EssayMeasures::CountGridCharacters(*grid_);
    case EssayRecord::BlankPaper:
        return EssayMeasures::CountMemoCharacters(memo_);
    default:
        return 0;
    }
}

void WritingSession::KeyReleased()
{
    showCount();
    if (timer_.isActive())
        return;
    startTime_ = QDateTime::currentDateTime();
    if (!readOnly_)
        timer_.start();
}

void WritingSession::TimerTimer(const QDateTime& now)
{
    timerTicked_ = true;
    emit TimeTicked(startTime_.secsTo(now));
}

int WritingSession::HiddenPaperWithText() const
{
    if (inx_ == EssayRecord::Manuscript && !memo_.trimmed().isEmpty())
        return EssayRecord::BlankPaper;
    if (inx_ == EssayRecord::BlankPaper && !CollectGridText().trimmed().isEmpty())
        return EssayRecord::Manuscript;
    return 0;
}

int WritingSession::HiddenPaperToConfirm() const
{
    const int hidden = HiddenPaperWithText();
    return hiddenConfirmed_.contains(hidden) ? 0 : hidden;
}

void WritingSession::HiddenPaperConfirmed(int kind)
{
    if (!hiddenConfirmed_.contains(kind))
        hiddenConfirmed_.append(kind);
}

UploadForm WritingSession::SaveForm()
{
    const bool rebuilt = inx_ == EssayRecord::Manuscript || inx_ == EssayRecord::BlankPaper;
    // Between saves the paper alone holds the essay.
    const auto release = qScopeGuard([this, rebuilt] {
        if (rebuilt)
            cdEditor_.emptyDataSet();
    });
    if (inx_ == EssayRecord::Manuscript)
        EssayRecord::writeManuscript(cdEditor_, launch_.studentNo, *grid_);
    else if (inx_ == EssayRecord::BlankPaper)
        EssayRecord::writeBlankPaper(cdEditor_, launch_.studentNo,
                                     QString(memo_).replace(u'\n', QStringLiteral("\r\n")));
    return EssaySave::form({launch_.studentNo, launch_.password, lectureKey_, title_, revision_.base()},
                           EssayRecord::toPacket(cdEditor_));
}

void WritingSession::SaveReplied(const ReplyText& reply, const QString& revision)
{
    lectureKey_ = EssaySave::lectureKeyAfter(lectureKey_, reply);
    revision_.accepted(revision);
}

QString WritingSession::PlainText() const
{
    QStringList lines;
    if (!title_.trimmed().isEmpty())
        lines << title_ << QString();
    if (inx_ == EssayRecord::BlankPaper) {
        lines << memo_;
    } else if (inx_ == EssayRecord::Manuscript) {
        QStringList sheet;
        for (int line = 0; line < grid_->lineCount(); ++line) {
            QString text;
            for (int column = ManuscriptGrid::kFirstCellColumn; column <= ManuscriptGrid::kMarginColumn; ++column) {
                const QString cell = CellEditorEngine::TrimCell(grid_->cell(line, column));
                text += cell.isEmpty() && column != ManuscriptGrid::kMarginColumn ? QStringLiteral(" ") : cell;
            }
            while (text.endsWith(u' '))
                text.chop(1);
            sheet << text;
        }
        while (!sheet.isEmpty() && sheet.last().isEmpty())
            sheet.removeLast();
        lines << sheet;
    }
    return lines.join(u'\n');
}

void WritingSession::Saved()
{
    timerTicked_ = false;
    edited_ = false;
    savedOnce_ = true;
}

void WritingSession::RestoreWork(const QString& title, int inx, const QString& memo, const QList<QStringList>& lines,
                                 qint64 seconds)
{
    {
        showing_ = true;
        const auto restored = qScopeGuard([this] { showing_ = false; });
        setInx(inx);
        grid_->reset(qMax(int(lines.size()), ManuscriptGrid::kMinimumLines));
        for (int column = ManuscriptGrid::kFirstCellColumn; column <= ManuscriptGrid::kMarginColumn; ++column) {
            QStringList texts;
            for (const QStringList& line : lines)
                texts.append(line.value(column - ManuscriptGrid::kFirstCellColumn));
            grid_->setColumn(column, texts);
        }
        memo_ = memo;
        emit MemoReplaced(memo_);
        title_ = title;
        emit TitleRestored(title);
    }
    edited_ = true;
    if (seconds >= 0 && !readOnly_) {
        startTime_ = QDateTime::currentDateTime().addSecs(-seconds);
        timer_.start();
        emit TimeTicked(seconds);
    }
    countShown_ = false;
    showCount();
    emit EssayShown(CaretPlace());
    emit WorkChanged();
}

void WritingSession::FillPrintData(DataSet& cdPrint)
{
    switch (inx_) {
    case EssayRecord::BlankPaper:
        EssayPrint::fillBlankPaper(cdPrint, memo_);
        break;
    case EssayRecord::ScannedPages:
        EssayPrint::fillScannedPages(cdPrint, cdEditor_);
        break;
    default:
        EssayPrint::fillManuscript(cdPrint, *grid_);
        break;
    }
}
