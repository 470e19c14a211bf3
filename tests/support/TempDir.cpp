#include "TempDir.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <stdlib.h>

TempDir::TempDir(bool withTmp) {
    std::string pattern = (std::filesystem::temp_directory_path() / "modulacje-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    if (withTmp)
        std::filesystem::create_directory(path_ + "/Tmp");
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::vector<std::uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

bool fileExists(const std::string& path) {
    return std::filesystem::exists(path);
}

std::vector<float> readStream(const std::string& path) {
    const auto bytes = readBytes(path);
    std::vector<float> words(bytes.size() / 4);
    std::memcpy(words.data(), bytes.data(), words.size() * 4);
    return words;
}

void writeStream(const std::string& path, const std::vector<float>& words) {
    std::vector<std::uint8_t> bytes(words.size() * 4);
    std::memcpy(bytes.data(), words.data(), bytes.size());
    writeBytes(path, bytes);
}

std::vector<float> speechFixture(const std::string& name) {
    const auto bytes = readBytes("../shared/fixtures/speech/" + name);
    std::vector<float> samples;
    for (std::size_t i = 44; i + 1 < bytes.size(); i += 2)
        samples.push_back(float(static_cast<std::int16_t>(bytes[i] | (bytes[i + 1] << 8))) /
                          32768.0f);
    return samples;
}
