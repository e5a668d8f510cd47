#include "CorrectionWorkload.h"

#include "document/CorrectionRecord.h"
#include "document/EssayRecord.h"

namespace CorrectionWorkload {

DataSet Essay(const QString& studentNo)
{
    DataSet essay(EssayRecord::fields());
    essay.append();
    if (!studentNo.isEmpty())
        essay.setString(u"USER_ID", studentNo);
    essay.setInteger(u"NType", EssayRecord::Manuscript);
    for (int c = 1; c <= 21; ++c) {
        QString column;
        for (int line = 0; line < kLines; ++line)
            column +=
                (c == 21 ? QString(u' ') : QString(QChar(0xAC00 + (line * 20 + c) % 11000))) + QStringLiteral("\r\n");
        essay.setString(EssayRecord::lineField(c), column);
    }
    essay.post();
    return essay;
}

void FillCorrection(DataSet& correction)
{
    for (int page = 1; page <= kPages; ++page) {
        QList<CorrectionRecord::MarkRow> marks;
        for (int i = 0; i < kMarksPerPage; ++i) {
            CorrectionRecord::MarkRow m;
            m.left = 40 + (i * 53) % 560;
            m.top = 10 + (i * 97) % 820;
            m.right = m.left + 30 + i % 60;
            m.bottom = m.top + 20 + i % 40;
            m.fontSize = 10;
            m.fontName = QStringLiteral("굴림체");
            m.drawTool = 2 + i % 30;
            m.strings = i % 3 == 0 ? QStringLiteral("고침") : QString();
            m.key = i;
            marks.append(m);
        }
        CorrectionRecord::storePage(correction, CorrectionRecord::pageKey(page), marks,
                                    QStringLiteral("%1쪽: 문단을 나누어 보세요.\r\n").arg(page));
    }
}

}
