// Saving and loading a scanned essay of ten 1 MB JPEG pages, against `base64 -d` decoding
// the same page bytes from a file (its output thrown away, so only its decoding counts).
#include "RatioReporter.h"
#include "document/EssayRecord.h"
#include "jpeg/Jpeg.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

constexpr int kPages = 10;
constexpr qsizetype kPageBytes = 1'000'000;

// Noise compresses badly, so a picture of about a million pixels makes a 1 MB JPEG.
QByteArray scannedPage(quint32 seed)
{
    QRandomGenerator random(seed);
    int side = 700;
    for (;;) {
        QImage image(side, side, QImage::Format_RGB32);
        for (int y = 0; y < side; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < side; ++x)
                line[x] = 0xFF000000u | ((random.generate() & 0x3F3F3Fu) + 0x606060u);
        }
        const QByteArray jpeg = Jpeg::encode(image);
        if (jpeg.size() >= kPageBytes)
            return jpeg;
        side += side / 10;
    }
}

struct Fixture {
    QTemporaryDir dir;
    QByteArray packet;
    QString base64File;
    qint64 pageBytes = 0;

    Fixture()
    {
        DataSet record(EssayRecord::fields());
        QByteArray allPages;
        for (int page = 0; page < kPages; ++page) {
            const QByteArray jpeg = scannedPage(page + 1);
            allPages += jpeg;
            record.append();
            record.setString(u"USER_ID", QStringLiteral("20240001"));
            record.setInteger(u"NType", EssayRecord::ScannedPages);
            record.setBytes(u"LImage", jpeg);
            record.setString(u"LImageType", QStringLiteral(".jpg"));
            record.post();
        }
        pageBytes = allPages.size();
        packet = EssayRecord::toPacket(record);
        base64File = dir.filePath("pages.b64");
        QFile file(base64File);
        if (!file.open(QIODevice::WriteOnly) || file.write(allPages.toBase64()) < 0)
            std::abort();
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_SaveScannedEssay(benchmark::State& state)
{
    DataSet record(EssayRecord::fields());
    EssayRecord::load(record, fixture().packet);
    for (auto _ : state)
        benchmark::DoNotOptimize(EssayRecord::toPacket(record));
    state.SetBytesProcessed(state.iterations() * fixture().packet.size());
}

void BM_LoadScannedEssay(benchmark::State& state)
{
    for (auto _ : state) {
        DataSet record(EssayRecord::fields());
        EssayRecord::load(record, fixture().packet);
        benchmark::DoNotOptimize(record.recordCount());
    }
    state.SetBytesProcessed(state.iterations() * fixture().packet.size());
    state.counters["pages_MB"] = double(fixture().pageBytes) / 1e6;
}

void BM_Base64DecodeTool(benchmark::State& state)
{
    const std::string command = "base64 -d '" + fixture().base64File.toStdString() + "' > /dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("base64 -d failed");
}

}

BENCHMARK(BM_SaveScannedEssay)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadScannedEssay)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Base64DecodeTool)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    fixture();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio("BM_LoadScannedEssay", "BM_Base64DecodeTool", 2.0);
    benchmark::Shutdown();
}
