#include "ErrorStats.h"

#include "board/ProofMarks.h"
#include "core/AppError.h"
#include "document/CorrectionRecord.h"
#include "text/CsvTable.h"

#include <QJsonArray>

namespace {

// The store keeps UTC as "YYYY-MM-DD HH:MM:SS".
std::string isoTime(const std::string& stored)
{
    std::string iso = stored;
    if (iso.size() > 10 && iso[10] == ' ')
        iso[10] = 'T';
    return iso.empty() ? iso : iso + "Z";
}

QString text(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

// A cell a spreadsheet would run as a formula (a title typed by a student) is kept as text.
QString csvCell(const std::string& value)
{
    QString cell = text(value);
    if (!cell.isEmpty() && QStringLiteral("=+-@\t\r").contains(cell.front()))
        cell.prepend(QLatin1Char('\''));
    return cell;
}

QStringList csvRow(const std::vector<std::string>& cells)
{
    QStringList row;
    for (const std::string& cell : cells)
        row << csvCell(cell);
    return row;
}

}

int EssayMarks::count(int kind) const
{
    const auto found = counts.find(kind);
    return found == counts.end() ? 0 : found->second;
}

int EssayMarks::total() const
{
    int sum = 0;
    for (const auto& [kind, n] : counts)
        sum += IsProofMark(kind) ? n : 0;
    return sum;
}

std::map<int, int> CountMarks(const std::string& record)
{
    std::map<int, int> counts;
    try {
        DataSet rows;
        rows.loadPacket(QByteArrayView(record.data(), qsizetype(record.size())));
        for (rows.first(); !rows.eof(); rows.next())
            if (rows.asInteger(u"NType") == CorrectionRecord::kMarkRow)
                ++counts[rows.asInteger(u"DrawTool")];
    } catch (const AppError&) {
        return {};
    }
    return counts;
}

std::vector<EssayMarks> StudentMarks(CourseStore& store, const std::string& studentNo, const std::string& teacherNo)
{
    std::vector<EssayMarks> essays;
    store.engine().read([&](SqlConnection& db) {
        const std::string sql = std::string("SELECT l.lecture_key, l.title, c.saved_at FROM lectures l "
                                            "JOIN corrections c ON c.lecture_key = l.lecture_key "
                                            "WHERE l.student_no = $1 AND ($2 = '' OR l.teacher_no = $2) "
                                            "ORDER BY c.saved_at, ")
                                + store.engine().dialect().lectureOrder;
        for (const SqlRow& row : db.query(sql, {studentNo, teacherNo}))
            essays.push_back({row.text(0), row.text(1), isoTime(row.text(2)), {}});
    });
    // One record in memory at a time.
    for (EssayMarks& essay : essays)
        essay.counts = CountMarks(store.correction(essay.lectureKey).value_or(std::string()));
    return essays;
}

QJsonObject StudentMarksJson(const Person& student, const std::vector<EssayMarks>& essays)
{
    QJsonArray list;
    for (const EssayMarks& essay : essays) {
        QJsonObject marks;
        for (const auto& [kind, count] : essay.counts)
            marks.insert(QString::number(kind), count);
        list.append(QJsonObject{{QStringLiteral("key"), text(essay.lectureKey)},
                                {QStringLiteral("title"), text(essay.title)},
                                {QStringLiteral("corrected"), text(essay.corrected)},
                                {QStringLiteral("marks"), marks}});
    }
    return {{QStringLiteral("student"), QJsonObject{{QStringLiteral("number"), text(student.number)},
                                                    {QStringLiteral("name"), text(student.name)}}},
            {QStringLiteral("essays"), list}};
}

std::string ClassMarksCsv(CourseStore& store, const std::string& teacherNo)
{
    std::vector<Person> students;
    store.engine().read([&](SqlConnection& db) {
        for (const SqlRow& row : db.query("SELECT DISTINCT s.student_no, s.name FROM lectures l "
                                          "JOIN students s ON s.student_no = l.student_no "
                                          "WHERE l.teacher_no = $1 ORDER BY s.student_no",
                                          {teacherNo}))
            students.push_back({row.text(0), row.text(1)});
    });

    std::vector<std::string> header{"학생 번호", "학생 이름", "강의 키", "제목", "첨삭 시각"};
    for (TDrawTool mark : ProofMarks())
        header.push_back(ProofMarkName(mark).toStdString());
    header.push_back("합계");
    QList<QStringList> rows{csvRow(header)};
    for (const Person& student : students) {
        for (const EssayMarks& essay : StudentMarks(store, student.number, teacherNo)) {
            std::vector<std::string> cells{student.number, student.name, essay.lectureKey, essay.title,
                                           essay.corrected};
            for (TDrawTool mark : ProofMarks())
                cells.push_back(std::to_string(essay.count(mark)));
            cells.push_back(std::to_string(essay.total()));
            rows << csvRow(cells);
        }
    }
    return CsvTable::Write(rows).toStdString();
}
