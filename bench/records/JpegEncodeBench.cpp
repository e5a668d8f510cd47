// Encoding a 900 × 900 picture at quality 90, against `cjpeg -quality 90` on the same
// picture written as PPM.
#include "RatioReporter.h"
#include "jpeg/Jpeg.h"

#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstdlib>

namespace {

// Smooth shading with ruled lines and fine texture: something like a photographed page.
QImage picture()
{
    QImage image(900, 900, QImage::Format_RGB32);
    for (int y = 0; y < 900; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < 900; ++x) {
            const int shade = 200 + int(40 * std::sin(x / 90.0) * std::cos(y / 70.0));
            const int texture = ((x * 7 + y * 13) ^ (x * y)) & 15;
            const bool rule = y % 29 == 0 || x % 29 == 0;
            const int v = rule ? 120 : shade + texture - 8;
            line[x] = qRgb(v, v - 10, rule ? 200 : v - 30);
        }
    }
    return image;
}

struct Fixture {
    QTemporaryDir dir;
    QImage image = picture();
    std::string command;

    Fixture()
    {
        const QString ppm = dir.filePath("page.ppm");
        QFile file(ppm);
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
        file.write(QByteArray("P6\n900 900\n255\n"));
        const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
        for (int y = 0; y < rgb.height(); ++y)
            file.write(reinterpret_cast<const char*>(rgb.constScanLine(y)), 900 * 3);
        file.close();
        command =
            "cjpeg -quality 90 -outfile '" + dir.filePath("page.jpg").toStdString() + "' '" + ppm.toStdString() + "'";
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_EncodeJpeg(benchmark::State& state)
{
    qsizetype size = 0;
    for (auto _ : state) {
        const QByteArray jpeg = Jpeg::encode(fixture().image);
        size = jpeg.size();
        benchmark::DoNotOptimize(jpeg.data());
    }
    state.counters["jpeg_KB"] = double(size) / 1024;
}

void BM_CjpegTool(benchmark::State& state)
{
    for (auto _ : state)
        if (std::system(fixture().command.c_str()) != 0)
            state.SkipWithError("cjpeg failed");
}

}

BENCHMARK(BM_EncodeJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CjpegTool)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    fixture();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio("BM_EncodeJpeg", "BM_CjpegTool", 1.2);
    benchmark::Shutdown();
}
