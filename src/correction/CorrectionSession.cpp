#include "correction/CorrectionSession.h"

#include "core/AppError.h"
#include "correction/BoardPage.h"
#include "correction/HandwrittenPage.h"
#include "correction/MemoText.h"
#include "correction/ReviewLines.h"
#include "correction/TfrmTemp.h"
#include "correction/Thumbnail.h"
#include "document/EssayRecord.h"
#include "jpeg/Jpeg.h"
#include "print/AnswerPrint.h"
#include "print/CorrectionPrint.h"
#include "print/PrintDataSets.h"
#include "print/PrintTemplates.h"
#include "print/PrintVariables.h"
#include "report/ReportEngine.h"

#include <algorithm>

CorrectionSession::CorrectionSession(QObject* parent)
    : QObject(parent), cdTempEditor(EssayRecord::fields()), cdTeacher(CorrectionRecord::fields()),
      cdTemp(CorrectionRecord::fields()), cdPrint(PrintDataSets::correctionPrint()),
      cdPrint2(PrintDataSets::reviewPrint())
{
    // The start-up has made the renderer already; a session made on its own makes it here.
    CreateFrmTemp();
    // Scores are work too: typed points and a typed total.
    connect(&scores_, &ScoreSheet::edited, this, [this] { SetModified(true); });
    connect(&page_, &CorrectionPage::changed, this, [this](CorrectionPage::Changes what) {
        if (!(what & CorrectionPage::PageTurned))
            emit WorkChanged();
    });
    connect(&page_, &CorrectionPage::edited, this, [this] { changed_ = true; });
}

void CorrectionSession::SetModified(bool modified)
{
    changed_ = modified;
    changedOutsideHistory_ = modified;
    if (modified)
        emit WorkChanged();
    else
        page_.markSaved();
}

void CorrectionSession::ToolChosen()
{
    changed_ = true;
}

void CorrectionSession::SetReadOnly()
{
    locked_ = true;
    page_.setLocked(true);
}

void CorrectionSession::RestoreWork(int mode, const DataSet& boardPages, const DataSet& pictures, const QString& review,
                                    const QStringList& points, bool deduction, const QString& total)
{
    cdTemp.copyFrom(boardPages);
    cdTemp.mergeChangeLog();
    cdTeacher.copyFrom(pictures);
    cdTeacher.mergeChangeLog();
    page_.reset();
    review_ = review;
    emit ReviewLoaded(review_);
    scores_.load(points, deduction);
    scores_.setTotal(total);
    mode_ = mode;
    SetModified(true);
}

void CorrectionSession::ReadTeacherFields(const LaunchFields& fields)
{
    Start(CorrectionLaunch::TeacherLaunch(fields));
    // A run that may not edit must not save either, however far its set-up gets.
    noSave_ = !launch_.editable;
}

void CorrectionSession::ReadViewFields(const LaunchFields& fields)
{
    Start(CorrectionLaunch::ViewLaunch(fields));
}

void CorrectionSession::Start(const CorrectionLaunch& launch)
{
    launch_ = launch;
    reportPoint_ = launch.reportPoint;
    revision_.start(launch.correctionRevision);
    scores_.setTotal(reportPoint_);
}

void CorrectionSession::CorrectionFetched(const QString& revision)
{
    revision_.fetched(revision);
}

bool CorrectionSession::NewerThanLaunch() const
{
    return revision_.newerThanLaunch();
}

void CorrectionSession::SaveAccepted(const QString& revision)
{
    revision_.accepted(revision);
}

QString CorrectionSession::PlainText() const
{
    QStringList parts;
    if (!review_.trimmed().isEmpty())
        parts << QStringLiteral("총평\n") + QString(review_).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (mode_ == 1) {
        DataSet work;
        work.copyFrom(cdTemp);
        for (int index = 0; index < pages_.size(); ++index) {
            const QString comment = CorrectionRecord::loadPage(work, pages_[index]).comment;
            if (!comment.trimmed().isEmpty())
                parts << QStringLiteral("%1쪽\n").arg(index + 1)
                             + QString(comment).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        }
    }
    return parts.join(QStringLiteral("\n\n"));
}

void CorrectionSession::SetViewOnly()
{
    SetReadOnly();
    noSave_ = true;
}

void CorrectionSession::Load(DataSet essay, DataSet correction)
{
    cdEditor = std::move(essay);
    cdTeacher = std::move(correction);
    page_.reset();
    cdEditor.first();
    cdTemp.emptyDataSet();
    cdTempEditor.emptyDataSet();
    frmTemp->BuildLineTable(cdEditor, cdTempEditor);
    cdTemp.copyFrom(cdTeacher);
    ReadSummary();
    if (CorrectionRecord::isHandwritten(cdTeacher)) {
        BuildPageList(2);
    } else {
        BuildPageList(1);
        cdTeacher.emptyDataSet();
    }
}

void CorrectionSession::ReadSummary()
{
    const std::optional<CorrectionRecord::Summary> summary = CorrectionRecord::readSummary(cdTemp);
    if (!summary)
        return;
    if (!summary->review.isEmpty() && summary->review != review_) {
        review_ = summary->review;
        emit ReviewLoaded(review_);
    }
    scores_.load(summary->points, summary->deduction);
}

void CorrectionSession::BuildPageList(int mode)
{
    mode_ = mode;
    pages_.clear();
    const int pages =
        mode == 1 ? std::max(TfrmTemp::PageCount(cdTempEditor), LastStoredPage()) : cdTeacher.recordCount();
    for (int page = 1; page <= pages; ++page)
        pages_.append(CorrectionRecord::pageKey(page));
    emit PagesChanged();
}

// A page holding marks or a comment stays listed, also one below the essay's last line.
int CorrectionSession::LastStoredPage()
{
    int last = 0;
    for (cdTemp.first(); !cdTemp.eof(); cdTemp.next()) {
        const QString key = cdTemp.asString(u"PAGE");
        if (key.startsWith(QLatin1String("PAGE")))
            last = std::max(last, key.mid(4).toInt());
    }
    return last;
}

void CorrectionSession::TurnPage(int index)
{
    StoreShownPage(cdTemp);
    page_.show(index, CorrectionRecord::loadPage(cdTemp, CorrectionRecord::pageKey(index + 1)));
}

void CorrectionSession::StoreShownPage(DataSet& work) const
{
    const CorrectionRecord::Page page = page_.stored();
    CorrectionRecord::storePage(work, CorrectionRecord::pageKey(page_.index() + 1), page.marks, page.comment);
}

bool CorrectionSession::Undo()
{
    return AfterHistoryMove(page_.undo());
}

bool CorrectionSession::Redo()
{
    return AfterHistoryMove(page_.redo());
}

bool CorrectionSession::AfterHistoryMove(bool moved)
{
    if (!moved)
        return false;
    changed_ = changedOutsideHistory_ || !page_.atSaved();
    if (!changed_)
        emit SavedPointReached();
    return true;
}

QImage CorrectionSession::HandwrittenPicture(int index)
{
    cdTeacher.moveTo(index);
    return Jpeg::decode(cdTeacher.asBytes(u"Image"));
}

QImage CorrectionSession::AddHandwrittenPage(const QString& path)
{
    const HandwrittenPage page = HandwrittenPage::fromFile(path);
    cdTeacher.append();
    cdTeacher.setInteger(u"NType", CorrectionRecord::kImageRow);
    cdTeacher.setBytes(u"Image", page.jpeg);
    cdTeacher.setString(u"ImageType", page.imageType);
    cdTeacher.post();
    // Listed with a space, unlike the entries the list is built with.
    pages_.append(QStringLiteral("PAGE ") + QString::number(cdTeacher.recordCount()));
    SetModified(true);
    emit PagesChanged();
    return page.picture;
}

void CorrectionSession::DeleteHandwrittenPage(int index)
{
    cdTeacher.moveTo(index);
    cdTeacher.deleteRecord();
    // A deleted page is a change to save like any other.
    SetModified(true);
    BuildPageList(2);
}

void CorrectionSession::SetReview(const QString& review)
{
    if (review == review_)
        return;
    review_ = review;
    emit WorkChanged();
}

void CorrectionSession::ValidateScores() const
{
    if (launch_.OffersScoreSheet())
        scores_.validateScores();
}

void CorrectionSession::RequirePages(const QString& action) const
{
    if (mode_ == 0)
        throw AppError(QStringLiteral("답안지가 없어 %1할 수 없습니다.").arg(action));
    if (pages_.isEmpty())
        throw AppError(QStringLiteral("자필 첨삭 페이지가 없어 %1할 수 없습니다. 페이지를 추가해 주세요.").arg(action));
}

TeacherSubmission CorrectionSession::Submission(const QImage& thumbnail)
{
    TeacherSubmission submission{launch_.teacherNo,
                                 launch_.password,
                                 launch_.lectureKey,
                                 launch_.studentNo,
                                 {},
                                 Thumbnail::Encode(thumbnail),
                                 {},
                                 revision_.base()};
    if (mode_ == 1) {
        CorrectionRecord::writeSummary(cdTeacher, cdTemp, {review_, scores_.points(), scores_.deduction()});
        submission.record = CorrectionRecord::toPacket(cdTeacher);
        cdTeacher.emptyDataSet();
    } else {
        submission.record = CorrectionRecord::toPacket(cdTeacher);
    }
    reportPoint_ = scores_.total();
    submission.reportPoint = reportPoint_;
    return submission;
}

PreparedReport CorrectionSession::PrepareAnswerPrint()
{
    RequirePages(QStringLiteral("출력"));
    printDate_ = QDate::currentDate();
    ReportTemplate Report = PrintTemplates::load(AnswerPrint::kTemplate);
    AnswerPrint::showBandFor(Report, AnswerPrint::fill(cdPrint, cdEditor));
    return PrepareReport(Report, {{{QStringLiteral("cdPrint"), &cdPrint}, {QStringLiteral("cdPrint2"), &cdPrint2}},
                                  [this](const QString& name) { return ReportGetValue(name); }});
}

PreparedReport CorrectionSession::PrepareCorrectionPrint()
{
    RequirePages(QStringLiteral("출력"));
    printDate_ = QDate::currentDate();
    ReportTemplate Report2 = PrintTemplates::load(CorrectionPrint::kTemplate);
    cdPrint.emptyDataSet();
    if (mode_ == 1) {
        if (page_.index() >= 0)
            StoreShownPage(cdTemp);
        for (int index = 0; index < pages_.size(); ++index) {
            const CorrectionRecord::Page page =
                CorrectionRecord::loadPage(cdTemp, CorrectionRecord::pageKey(index + 1));
            // Rendered again at the printer's resolution, the marks drawn over it.
            const QImage picture = BoardPage::DrawMarks(frmTemp->RenderPrintPage(cdTempEditor, index + 1), page.marks);
            CorrectionPrint::appendPage(cdPrint, picture, AsRecordText(AsShownText(page.comment)));
        }
        CorrectionPrint::fillReview(cdPrint2, ReviewLines(review_));
    } else {
        CorrectionPrint::fitHandwrittenPages(Report2);
        CorrectionPrint::fillHandwrittenPages(cdPrint, cdTeacher);
        // The review is not printed with scanned pages; no lines of an earlier print linger.
        cdPrint2.emptyDataSet();
    }
    return PrepareReport(Report2, {{{QStringLiteral("cdPrint"), &cdPrint}, {QStringLiteral("cdPrint2"), &cdPrint2}},
                                   [this](const QString& name) { return Report2GetValue(name); }});
}

QString CorrectionSession::ReportGetValue(const QString& name) const
{
    return PrintVariables::answerValue(name, {launch_.title, launch_.studentNo, {}, printDate_});
}

QString CorrectionSession::Report2GetValue(const QString& name) const
{
    return PrintVariables::correctionValue(name, {scores_.total(), scores_.points(), scores_.deduction()},
                                           {launch_.title, launch_.studentNo, launch_.teacherNo, printDate_});
}
