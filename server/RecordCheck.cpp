#include "RecordCheck.h"

#include "CourseStore.h"

#include "core/AppError.h"
#include "document/CorrectionRecord.h"
#include "document/EssayRecord.h"
#include "document/ManuscriptGrid.h"

namespace {

DataSet read(const std::string& packet, const std::string& what)
{
    DataSet record;
    try {
        record.loadPacket(QByteArrayView(packet.data(), qsizetype(packet.size())));
    } catch (const AppError& error) {
        throw Refusal(400, what + "을(를) 읽을 수 없습니다: " + error.message().toStdString());
    }
    return record;
}

}

void CheckEssayRecord(const std::string& packet)
{
    DataSet record = read(packet, "답안 기록");
    if (record.recordCount() > kMaxRecordPages)
        throw Refusal(400, "답안 기록의 쪽이 너무 많습니다 (" + std::to_string(record.recordCount()) + "쪽, "
                               + std::to_string(kMaxRecordPages) + "쪽까지).");
    try {
        for (const FieldDef& field : EssayRecord::fields())
            record.fieldIndex(field.name);
        QStringList texts;
        for (int c = 1; c <= ManuscriptGrid::kStoredColumns; ++c)
            texts.append(EssayRecord::lineField(c));
        texts.append(QStringLiteral("LText"));
        for (record.first(); !record.eof(); record.next()) {
            for (const QString& field : texts) {
                const qsizetype lines = EssayRecord::textLines(record.asString(field)).size();
                if (lines > EssayRecord::kMaxLines)
                    throw Refusal(400, "답안 기록의 줄이 너무 많습니다 (" + std::to_string(lines) + "줄, "
                                           + std::to_string(EssayRecord::kMaxLines) + "줄까지).");
            }
        }
    } catch (const AppError& error) {
        throw Refusal(400, "답안 기록이 아닙니다: " + error.message().toStdString());
    }
}

void CheckCorrectionRecord(const std::string& packet)
{
    DataSet record = read(packet, "첨삭 기록");
    if (record.recordCount() > kMaxCorrectionRows)
        throw Refusal(400, "첨삭 기록의 줄이 너무 많습니다 (" + std::to_string(record.recordCount()) + "줄, "
                               + std::to_string(kMaxCorrectionRows) + "줄까지).");
    try {
        for (const FieldDef& field : CorrectionRecord::fields())
            record.fieldIndex(field.name);
    } catch (const AppError& error) {
        throw Refusal(400, "첨삭 기록이 아닙니다: " + error.message().toStdString());
    }
}
