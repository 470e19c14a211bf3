#include "UiTestSupport.h"

#include <QColor>
#include <QImage>

#include <filesystem>

namespace {

void writeBitmap(const std::string& path, int width) {
    QImage image(width, 10, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixelColor(1, 1, Qt::black);
    image.save(QString::fromStdString(path), "BMP");
}

void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void put16(std::vector<std::uint8_t>& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void putTag(std::vector<std::uint8_t>& b, const char* tag) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<std::uint8_t>(tag[i]));
}

} // namespace

StartupDir::StartupDir() {
    std::filesystem::copy_file("data/Tmp/wzorzec.wav", dir.tmp("wzorzec.wav"));
    writeBitmap(dir.file("ADPCM.bmp"), kAdpcmBitmapWidth);
    writeBitmap(dir.file("Kwantyzer.bmp"), kQuantiserBitmapWidth);
    writeBitmap(dir.file("Predyktor.bmp"), kPredictorBitmapWidth);
    writeBitmap(dir.file("Pusty.bmp"), kEmptyBitmapWidth);
}

void writeWav16(const std::string& path, const std::vector<std::int16_t>& codes) {
    const auto dataBytes = static_cast<std::uint32_t>(2 * codes.size());
    std::vector<std::uint8_t> b;
    putTag(b, "RIFF");
    put32(b, 36 + dataBytes);
    putTag(b, "WAVE");
    putTag(b, "fmt ");
    put32(b, 16);
    put16(b, 1);     // PCM
    put16(b, 1);     // mono
    put32(b, 8000);  // samples per second
    put32(b, 16000); // bytes per second
    put16(b, 2);     // block align
    put16(b, 16);    // bits per sample
    putTag(b, "data");
    put32(b, dataBytes);
    for (std::int16_t c : codes)
        put16(b, static_cast<std::uint16_t>(c));
    writeBytes(path, b);
}
