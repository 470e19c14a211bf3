#pragma once

#include <string>

// A file written under a temporary name beside its final path ("<final>.part") and renamed over
// the final path by commit(). Until then the file at the final path stays as it was, so a write
// that fails half-way (a full disk) never leaves a truncated working file behind. An uncommitted
// temporary file is deleted when the object goes.
class StagedFile {
public:
    explicit StagedFile(std::string finalPath);
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Where to write.
    const std::string& path() const { return tempPath_; }
    const std::string& finalPath() const { return finalPath_; }
    // Renames the temporary file into place; false (temporary file deleted) when that fails.
    bool commit();

private:
    std::string finalPath_;
    std::string tempPath_;
    bool committed_ = false;
};
