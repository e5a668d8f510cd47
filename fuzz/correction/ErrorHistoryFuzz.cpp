// Any answer to the history request reads as a history or raises AppError, and what it
// reads holds together: marks only, no negative counts, totals that add up.
#include "board/ProofMarks.h"
#include "core/AppError.h"
#include "correction/ErrorHistory.h"

#include <QJsonDocument>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!doc.isObject())
        return 0;
    try {
        const ErrorHistory history = ErrorHistory::fromJson(doc.object());
        for (TDrawTool kind : history.kinds()) {
            qint64 sum = 0;
            for (int essay = 0; essay < history.essays().size(); ++essay) {
                if (history.count(essay, kind) < 0)
                    std::abort();
                sum += history.count(essay, kind);
            }
            if (!IsProofMark(kind) || sum == 0 || sum != history.total(kind))
                std::abort();
        }
    } catch (const AppError&) {
    }
    return 0;
}
