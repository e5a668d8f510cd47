#include "correction/CorrectionJournal.h"

#include "core/AppError.h"
#include "correction/CorrectionSession.h"

namespace {

const QString kMode = QStringLiteral("T001");

QString pointField(int index)
{
    return QStringLiteral("P%1").arg(index + 1);
}

QList<FieldDef> headFields()
{
    QList<FieldDef> fields{{QStringLiteral("Mode"), FieldType::SmallInt},
                           {QStringLiteral("Page"), FieldType::Integer},
                           {QStringLiteral("Review"), FieldType::Memo},
                           {QStringLiteral("Deduction"), FieldType::SmallInt},
                           {QStringLiteral("Total"), FieldType::Memo}};
    for (int i = 0; i < CorrectionRecord::kPointCount; ++i)
        fields.append({pointField(i), FieldType::Memo});
    fields.append({QStringLiteral("BoardPages"), FieldType::Blob});
    fields.append({QStringLiteral("Pictures"), FieldType::Blob});
    return fields;
}

DataSet readRecord(const QByteArray& bytes)
{
    DataSet record;
    record.loadPacket(bytes);
    if (record.fields() != CorrectionRecord::fields())
        throw AppError(QStringLiteral("복구 파일의 첨삭 기록을 읽을 수 없습니다."));
    return record;
}

}

bool CorrectionJournal::Work::sameWork(Work& other)
{
    return mode == other.mode && review == other.review && points == other.points && deduction == other.deduction
           && total == other.total
           && boardPages.toPacket(PacketForm::Binary) == other.boardPages.toPacket(PacketForm::Binary)
           && pictures.toPacket(PacketForm::Binary) == other.pictures.toPacket(PacketForm::Binary);
}

CorrectionJournal::Work CorrectionJournal::capture(CorrectionSession& session)
{
    Work work{session.ViewMode(),
              qMax(session.PageIndex(), 0),
              session.Review(),
              session.Scores().points(),
              session.Scores().deduction(),
              session.Scores().total(),
              DataSet(CorrectionRecord::fields()),
              DataSet(CorrectionRecord::fields())};
    work.boardPages.copyFrom(session.cdTemp);
    if (work.mode == 1 && session.PageIndex() >= 0) {
        const CorrectionRecord::Page shown = session.Page().stored();
        CorrectionRecord::storePage(work.boardPages, CorrectionRecord::pageKey(session.PageIndex() + 1), shown.marks,
                                    shown.comment);
    }
    if (work.mode == 2)
        work.pictures.copyFrom(session.cdTeacher);
    return work;
}

QByteArray CorrectionJournal::toPacket(Work& work)
{
    DataSet head(headFields());
    head.append();
    head.setInteger(u"Mode", work.mode);
    head.setInteger(u"Page", work.page);
    head.setString(u"Review", work.review);
    head.setInteger(u"Deduction", work.deduction ? 1 : 0);
    head.setString(u"Total", work.total);
    for (int i = 0; i < CorrectionRecord::kPointCount; ++i)
        head.setString(pointField(i), work.points.value(i));
    head.setBytes(u"BoardPages", work.boardPages.toPacket(PacketForm::Binary));
    head.setBytes(u"Pictures", work.pictures.toPacket(PacketForm::Binary));
    head.post();
    return head.toPacket(PacketForm::Binary);
}

CorrectionJournal::Work CorrectionJournal::fromPacket(const QByteArray& bytes)
{
    DataSet head;
    head.loadPacket(bytes);
    if (head.fields() != headFields() || head.recordCount() != 1)
        throw AppError(QStringLiteral("첨삭의 복구 파일이 아닙니다."));
    head.first();
    Work work{head.asInteger(u"Mode"),
              head.asInteger(u"Page"),
              head.asString(u"Review"),
              {},
              head.asInteger(u"Deduction") != 0,
              head.asString(u"Total"),
              readRecord(head.asBytes(u"BoardPages")),
              readRecord(head.asBytes(u"Pictures"))};
    if (work.mode != 1 && work.mode != 2)
        throw AppError(QStringLiteral("복구 파일의 첨삭 종류(%1)를 알 수 없습니다.").arg(work.mode));
    for (int i = 0; i < CorrectionRecord::kPointCount; ++i)
        work.points.append(head.asString(pointField(i)));
    return work;
}

CorrectionJournal::CorrectionJournal(CorrectionSession& session, QObject* parent)
    : QObject(parent), session_(session), keeper_([this] { return file(); },
                                                  [this] {
                                                      Work work = capture(session_);
                                                      return toPacket(work);
                                                  },
                                                  this)
{
    connect(&session_, &CorrectionSession::WorkChanged, &keeper_, &JournalKeeper::markDirty);
    // Nothing unsaved is left to keep; a journal left behind would be offered next time.
    connect(&session_, &CorrectionSession::SavedPointReached, &keeper_, &JournalKeeper::saved);
}

JournalFile CorrectionJournal::file() const
{
    const CorrectionLaunch& launch = session_.Launch();
    return JournalFile(kMode, launch.lectureKey, launch.teacherNo + QLatin1Char('-') + launch.studentNo);
}

QString CorrectionJournal::Offer(const std::function<bool()>& ask, const std::function<void(const Work&)>& restore)
{
    return keeper_.offer({[this](const QByteArray& bytes) {
                              Work kept = fromPacket(bytes);
                              Work loaded = capture(session_);
                              return !kept.sameWork(loaded);
                          },
                          ask, [&restore](const QByteArray& bytes) { restore(fromPacket(bytes)); }});
}
