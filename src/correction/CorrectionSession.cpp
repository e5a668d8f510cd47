#include "correction/CorrectionSession.h"

#include "core/AppError.h"
#include "correction/HandwrittenPage.h"
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

CorrectionSession::CorrectionSession(QObject* parent)
    : QObject(parent), cdTempEditor(EssayRecord::fields()), cdTeacher(CorrectionRecord::fields()),
      cdTemp(CorrectionRecord::fields()), cdPrint(PrintDataSets::correctionPrint()),
      cdPrint2(PrintDataSets::reviewPrint())
{
    // The start-up has made the renderer already; a session made on its own makes it here.
    CreateFrmTemp();
    // Scores are work too: typed points and a typed total.
    connect(&FScores, &ScoreSheet::edited, this, [this] { SetModified(true); });
}

void CorrectionSession::SetModified(bool modified)
{
    FChanged = modified;
    if (modified)
        emit workChanged();
}

void CorrectionSession::RestoreWork(int mode, const DataSet& boardPages, const DataSet& pictures, const QString& review,
                                    const QStringList& points, bool deduction, const QString& total)
{
    cdTemp.copyFrom(boardPages);
    cdTemp.mergeChangeLog();
    cdTeacher.copyFrom(pictures);
    cdTeacher.mergeChangeLog();
    FPage = -1;
    FReview = review;
    emit reviewLoaded(FReview);
    FScores.load(points, deduction);
    FScores.setTotal(total);
    FMode = mode;
    SetModified(true);
}

void CorrectionSession::ReadTeacherFields(const LaunchFields& fields)
{
    FTeacherNo = fields.at(1);
    FPassword = fields.at(2);
    FHasCorrection = fields.at(3) == QLatin1String("1");
    FLectureKey = fields.at(4);
    FStudentNo = fields.at(5);
    FEssayUrl = fields.at(6);
    FCorrectionUrl = fields.at(7);
    FEditable = fields.at(8) == QLatin1String("1");
    // A run that may not edit must not save either, however far its set-up gets.
    FNoSave = !FEditable;
    FTitle = fields.at(9);
    FReportPoint = fields.at(10);
    if (fields.count() > 11)
        FDiscussionUrl = fields.at(11);
    if (fields.count() > 12)
        FScoreSwitch = fields.at(12);
    FScores.setTotal(FReportPoint);
}

void CorrectionSession::ReadViewFields(const LaunchFields& fields)
{
    FTeacherNo = fields.at(1);
    FPassword = fields.at(2);
    FHasCorrection = fields.at(3) == QLatin1String("1");
    FLectureKey = fields.at(4);
    FEssayUrl = fields.at(5);
    FCorrectionUrl = fields.at(6);
    FTitle = fields.at(7);
    FReportPoint = fields.at(8);
    if (fields.count() > 9)
        FDiscussionUrl = fields.at(9);
    if (fields.count() > 10)
        FScoreSwitch = fields.at(10);
    FEditable = true;
    FScores.setTotal(FReportPoint);
}

void CorrectionSession::SetViewOnly()
{
    FLocked = true;
    FNoSave = true;
}

void CorrectionSession::Load(DataSet essay, DataSet correction)
{
    cdEditor = std::move(essay);
    cdTeacher = std::move(correction);
    FPage = -1;
    cdEditor.first();
    cdTemp.emptyDataSet();
    cdTempEditor.emptyDataSet();
    frmTemp->BuildLineTable(cdEditor, cdTempEditor);
    cdTemp.copyFrom(cdTeacher);
    FBoardHistory.Clear();
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
    if (!summary->review.isEmpty() && summary->review != FReview) {
        FReview = summary->review;
        emit reviewLoaded(FReview);
    }
    FScores.load(summary->points, summary->deduction);
}

void CorrectionSession::BuildPageList(int mode)
{
    FMode = mode;
    FPages.clear();
    const int pages = mode == 1 ? TfrmTemp::PageCount(cdTempEditor) : cdTeacher.recordCount();
    for (int page = 1; page <= pages; ++page)
        FPages.append(CorrectionRecord::pageKey(page));
    emit pagesChanged();
}

CorrectionRecord::Page CorrectionSession::TurnPage(int index, const CorrectionRecord::Page& leaving)
{
    CorrectionRecord::storePage(cdTemp, CorrectionRecord::pageKey(FPage + 1), leaving.marks, leaving.comment);
    FPage = index;
    CorrectionRecord::Page shown = CorrectionRecord::loadPage(cdTemp, CorrectionRecord::pageKey(index + 1));
    FBoardHistory.Show(index, shown.marks);
    return shown;
}

void CorrectionSession::BoardEdited(const QList<CorrectionRecord::MarkRow>& marks, const QString& commentBefore,
                                    const QString& commentAfter)
{
    if (!FLocked)
        FBoardHistory.Record(marks, commentBefore, commentAfter);
}

std::optional<BoardHistory::Change> CorrectionSession::UndoBoard(const QString& comment)
{
    std::optional<BoardHistory::Change> change = FLocked ? std::nullopt : FBoardHistory.Undo(comment);
    if (change)
        SetModified(true);
    return change;
}

std::optional<BoardHistory::Change> CorrectionSession::RedoBoard(const QString& comment)
{
    std::optional<BoardHistory::Change> change = FLocked ? std::nullopt : FBoardHistory.Redo(comment);
    if (change)
        SetModified(true);
    return change;
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
    FPages.append(QStringLiteral("PAGE ") + QString::number(cdTeacher.recordCount()));
    SetModified(true);
    emit pagesChanged();
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
    if (review == FReview)
        return;
    FReview = review;
    emit workChanged();
}

void CorrectionSession::ValidateScores() const
{
    if (FScoreSwitch == QLatin1String("Y"))
        FScores.validateScores();
}

void CorrectionSession::RequirePages(const QString& action) const
{
    if (FMode == 0)
        throw AppError(QStringLiteral("답안지가 없어 %1할 수 없습니다.").arg(action));
    if (FPages.isEmpty())
        throw AppError(QStringLiteral("자필 첨삭 페이지가 없어 %1할 수 없습니다. 페이지를 추가해 주세요.").arg(action));
}

TeacherSubmission CorrectionSession::Submission(const QImage& thumbnail)
{
    TeacherSubmission submission{FTeacherNo, FPassword, FLectureKey, FStudentNo, {}, Thumbnail::Encode(thumbnail), {}};
    if (FMode == 1) {
        CorrectionRecord::writeSummary(cdTeacher, cdTemp, {FReview, FScores.points(), FScores.deduction()});
        submission.record = CorrectionRecord::toPacket(cdTeacher);
        cdTeacher.emptyDataSet();
    } else {
        submission.record = CorrectionRecord::toPacket(cdTeacher);
    }
    FReportPoint = FScores.total();
    submission.reportPoint = FReportPoint;
    return submission;
}

PreparedReport CorrectionSession::PrepareAnswerPrint()
{
    RequirePages(QStringLiteral("출력"));
    PrintDate = QDate::currentDate();
    ReportTemplate Report = PrintTemplates::load(AnswerPrint::kTemplate);
    AnswerPrint::showBandFor(Report, AnswerPrint::fill(cdPrint, cdEditor));
    return PrepareReport(Report, {{{QStringLiteral("cdPrint"), &cdPrint}, {QStringLiteral("cdPrint2"), &cdPrint2}},
                                  [this](const QString& name) { return ReportGetValue(name); }});
}

PreparedReport CorrectionSession::PrepareCorrectionPrint(const std::function<ShownPage(int index)>& showPage)
{
    RequirePages(QStringLiteral("출력"));
    PrintDate = QDate::currentDate();
    ReportTemplate Report2 = PrintTemplates::load(CorrectionPrint::kTemplate);
    cdPrint.emptyDataSet();
    if (FMode == 1) {
        for (int index = 0; index < FPages.size(); ++index) {
            const ShownPage page = showPage(index);
            CorrectionPrint::appendPage(cdPrint, page.picture, page.comment);
        }
        CorrectionPrint::fillReview(cdPrint2, ReviewLines(FReview));
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
    return PrintVariables::answerValue(name, {FTitle, FStudentNo, {}, PrintDate});
}

QString CorrectionSession::Report2GetValue(const QString& name) const
{
    return PrintVariables::correctionValue(name, {FScores.total(), FScores.points(), FScores.deduction()},
                                           {FTitle, FStudentNo, FTeacherNo, PrintDate});
}
