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

// A line's 21 cells in one text: cells apart by U+001F, and U+001B before any U+001B or
// U+001F a cell holds, so any text comes back exactly.
constexpr QChar kCellEnd(0x1F);
constexpr QChar kEscape(0x1B);

QString joinCells(const QStringList& cells)
{
    QString line;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            line += kCellEnd;
        for (QChar c : cells[i]) {
            if (c == kCellEnd || c == kEscape)
                line += kEscape;
            line += c;
        }
    }
    return line;
}

QStringList splitCells(const QString& line)
{
    QStringList cells{QString()};
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == kEscape && i + 1 < line.size())
            cells.last() += line[++i];
        else if (line[i] == kCellEnd)
            cells.append(QString());
        else
            cells.last() += line[i];
    }
    if (cells.size() != ManuscriptGrid::kStoredColumns)
        throw AppError(
            QStringLiteral("복구 파일의 원고지 줄에 칸이 %1개 있습니다 (21개여야 합니다).").arg(cells.size()));
    return cells;
}

QList<FieldDef> lineFields()
{
    return {{QStringLiteral("Cells"), FieldType::Memo}};
}

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
    Work work{session.Title(), session.Inx(), -1, session.memo(), {}};
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
        lines.setString(u"Cells", joinCells(cells));
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
    for (lines.first(); !lines.eof(); lines.next())
        work.lines.append(splitCells(lines.asString(u"Cells")));
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
    return JournalFile(kMode, session_.LectureKey(), session_.Launch().studentNo);
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
