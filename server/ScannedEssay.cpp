#include "ScannedEssay.h"

#include "core/AppError.h"
#include "document/EssayRecord.h"
#include "jpeg/JpegReader.h"

#include <algorithm>
#include <malloc.h>
#include <semaphore>

namespace {

std::string pageName(const ScannedPage& page, size_t index)
{
    return page.fileName().empty() ? std::to_string(index + 1) + "번째 쪽" : "\"" + page.fileName() + "\"";
}

std::counting_semaphore<kMaxDecodes> decodes{kMaxDecodes};

// Decodes the whole picture: a page the client cannot print must not be stored.
void checkJpeg(const ScannedPage& page, const std::string& b, size_t index)
{
    if (b.size() < 3 || b[0] != '\xff' || b[1] != '\xd8' || b[2] != '\xff')
        throw Refusal(400, pageName(page, index)
                               + "은(는) JPEG 그림이 아닙니다. 스캔한 답안은 JPEG(.jpg) 파일로만 "
                                 "올릴 수 있습니다.");
    const QByteArrayView bytes(b.data(), qsizetype(b.size()));
    try {
        const Jpeg::Size size = Jpeg::readSize(bytes);
        if (std::max(size.width, size.height) > kMaxPageLongSide
            || std::min(size.width, size.height) > kMaxPageShortSide)
            throw Refusal(400, pageName(page, index) + "은(는) " + std::to_string(size.width) + "×"
                                   + std::to_string(size.height) + " 화소로 너무 큽니다. 한 쪽은 "
                                   + std::to_string(kMaxPageShortSide) + "×" + std::to_string(kMaxPageLongSide)
                                   + " 화소(A4 600dpi)까지 올릴 수 있습니다.");
        decodes.acquire();
        struct Release {
            ~Release() { decodes.release(); }
        } release;
        Jpeg::verify(bytes);
    } catch (const AppError& error) {
        throw Refusal(400, pageName(page, index) + "을(를) 읽을 수 없습니다. " + error.message().toStdString());
    }
}

}

std::string ScannedEssayRecord(const std::string& studentNo, const std::vector<ScannedPage>& pages)
{
    if (pages.empty())
        throw Refusal(400, "올릴 JPEG 파일을 하나 이상 골라 주십시오.");
    if (pages.size() > kMaxScanPages)
        throw Refusal(400, "한 번에 " + std::to_string(kMaxScanPages) + "쪽까지 올릴 수 있습니다 ("
                               + std::to_string(pages.size()) + "쪽을 골랐습니다).");
    DataSet record(EssayRecord::fields());
    for (size_t i = 0; i < pages.size(); ++i) {
        const std::string bytes = pages[i].bytes();
        checkJpeg(pages[i], bytes, i);
        record.append();
        record.setString(u"USER_ID", QString::fromStdString(studentNo));
        record.setInteger(u"NType", EssayRecord::ScannedPages);
        record.setBytes(u"LImage", QByteArray(bytes.data(), qsizetype(bytes.size())));
        record.setString(u"LImageType", QStringLiteral("JPEG"));
        record.post();
    }
    return EssayRecord::toPacket(record).toStdString();
}

void SaveScannedEssay(CourseStore& store, const std::string& lectureKey, const std::vector<ScannedPage>& pages)
{
    const std::optional<Lecture> lecture = store.lecture(lectureKey);
    if (!lecture)
        throw Refusal(404, "강의 " + lectureKey + "을(를) 찾을 수 없습니다.");
    EssaySave save;
    save.studentNo = lecture->student.number;
    save.lectureKey = lecture->key;
    save.title = lecture->title;
    save.submit = "N";
    save.record = ScannedEssayRecord(save.studentNo, pages);
    // Decoding takes large blocks from the thread's arena: give them back now, not never.
    malloc_trim(0);
    store.saveEssay(save);
}
