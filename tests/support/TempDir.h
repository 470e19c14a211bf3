#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A fresh directory under the system's temporary directory, removed with everything in it when
// the object goes. With a Tmp sub-directory it is a start-up directory for the core.
class TempDir {
public:
    explicit TempDir(bool withTmp = true);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    std::string tmp(const std::string& name) const { return path_ + "/Tmp/" + name; }

private:
    std::string path_;
};

std::vector<std::uint8_t> readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
bool fileExists(const std::string& path);

// The float32 words of a sample stream, header first.
std::vector<float> readStream(const std::string& path);
void writeStream(const std::string& path, const std::vector<float>& words);

// The samples of a speech fixture (../shared/fixtures/speech/NAME: 16-bit mono after a canonical
// 44-byte header), each code / 32768, so about −1 … +1.
std::vector<float> speechFixture(const std::string& name);
