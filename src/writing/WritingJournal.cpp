#include "writing/WritingJournal.h"

#include "core/AppError.h"
#include "dataset/DataSet.h"
#include "document/ManuscriptGrid.h"
#include "writing/WritingSession.h"

#include <QDateTime>

#include <algorithm>
#include <limits>

namespace {

const QString kMode = QStringLiteral("S001");

QList<FieldDef> headFields()
{
    return {{QStringLiteral("Title"), FieldType::Memo},
            {QStringLiteral("Inx"), FieldType::SmallInt},
            {QStringLiteral("Seconds"), FieldType::Integer},
            {QStringLiteral("Memo"), FieldType::Memo},
            {QStringLiteral("Lines"), FieldType::Blob}};
}

QString cellField(int column)
{
    return QStringLiteral("C%1").arg(column);
}

QList<FieldDef> lineFields()
{
    QList<FieldDef> fields;
    for (int column = ManuscriptGrid::kFirstCellColumn; column <= ManuscriptGrid::kMarginColumn; ++column)
        fields.append({cellField(column), FieldType::Memo});
    return fields;
}

}

namespace {

bool blank(const QString& cell)
{
    return cell.isEmpty() || cell == QLatin1String(" ");
}

// The lines up to the last written cell, a blank cell read as empty: blank lines the caret
// added below the text are no work.
QList<QStringList> writtenLines(const QList<QStringList>& lines)
{
    QList<QStringList> written;
    for (const QStringList& line : lines) {
        QStringList cells;
        for (const QString& cell : line)
            cells.append(blank(cell) ? QString() : cell);
        written.append(cells);
    }
    while (!written.isEmpty() && std::all_of(written.last().cbegin(), written.last().cend(), blank))
        written.removeLast();
    return written;
}

}

bool WritingJournal::Work::sameText(const Work& other) const
{
    return title == other.title && inx == other.inx && memo == other.memo
           && writtenLines(lines) == writtenLines(other.lines);
}

WritingJournal::Work WritingJournal::capture(const WritingSession& session)
{
    Work work{session.Title, session.Inx(), -1, session.memo(), {}};
    if (session.timer().isActive())
        work.seconds = session.StartTime().secsTo(QDateTime::currentDateTime());
    const ManuscriptGrid& grid = session.grid();
    work.lines.reserve(grid.lineCount());
    for (int line = 0; line < grid.lineCount(); ++line) {
        QStringList cells;
        cells.reserve(ManuscriptGrid::kStoredColumns);
        for (int column = ManuscriptGrid::kFirstCellColumn; column <= ManuscriptGrid::kMarginColumn; ++column)
            cells.append(grid.cell(line, column));
        work.lines.append(std::move(cells));
    }
    return work;
}

QByteArray WritingJournal::toPacket(const Work& work)
{
    DataSet lines(lineFields());
    for (const QStringList& cells : work.lines) {
        lines.append();
        for (int i = 0; i < cells.size(); ++i)
            if (!cells[i].isEmpty())
                lines.setString(cellField(i + 1), cells[i]);
        lines.post();
    }
    DataSet head(headFields());
    head.append();
    head.setString(u"Title", work.title);
    head.setInteger(u"Inx", work.inx);
    head.setInteger(u"Seconds", qint32(std::clamp<qint64>(work.seconds, -1, std::numeric_limits<qint32>::max())));
    head.setString(u"Memo", work.memo);
    head.setBytes(u"Lines", lines.toPacket(PacketForm::Binary));
    head.post();
    return head.toPacket(PacketForm::Binary);
}

WritingJournal::Work WritingJournal::fromPacket(const QByteArray& bytes)
{
    DataSet head;
    head.loadPacket(bytes);
    if (head.fields() != headFields() || head.recordCount() != 1)
        throw AppError(QStringLiteral("감상문의 복구 파일이 아닙니다."));
    head.first();
    DataSet lines;
    lines.loadPacket(head.asBytes(u"Lines"));
    if (lines.fields() != lineFields())
        throw AppError(QStringLiteral("복구 파일의 원고지 칸을 읽을 수 없습니다."));
    Work work{head.asString(u"Title"), head.asInteger(u"Inx"), head.asInteger(u"Seconds"), head.asString(u"Memo"), {}};
    for (lines.first(); !lines.eof(); lines.next()) {
        QStringList cells;
        for (int column = ManuscriptGrid::kFirstCellColumn; column <= ManuscriptGrid::kMarginColumn; ++column)
            cells.append(lines.asString(cellField(column)));
        work.lines.append(std::move(cells));
    }
    return work;
}

WritingJournal::WritingJournal(WritingSession& session, QObject* parent)
    : QObject(parent), session_(session),
      keeper_([this] { return file(); }, [this] { return toPacket(capture(session_)); }, this)
{
    connect(&session_, &WritingSession::WorkChanged, &keeper_, &JournalKeeper::markDirty);
}

JournalFile WritingJournal::file() const
{
    return JournalFile(kMode, session_.LectureKey, session_.StudentNo);
}

QString WritingJournal::Offer(const std::function<bool()>& ask)
{
    return keeper_.offer({[this](const QByteArray& bytes) { return !fromPacket(bytes).sameText(capture(session_)); },
                          ask,
                          [this](const QByteArray& bytes) {
                              const Work work = fromPacket(bytes);
                              session_.RestoreWork(work.title, work.inx, work.memo, work.lines, work.seconds);
                          }});
}
