#include "engine/StagedFile.h"

#include <cstdio>
#include <filesystem>

StagedFile::StagedFile(std::string finalPath)
    : finalPath_(std::move(finalPath)), tempPath_(finalPath_ + ".part") {
    // A leftover of an earlier program that was killed while writing goes first; so does anything
    // else by that name that opening for writing would not truncate (a FIFO would block it).
    std::remove(tempPath_.c_str());
}

StagedFile::~StagedFile() {
    if (!committed_)
        std::remove(tempPath_.c_str());
}

bool StagedFile::canCommit() const {
    namespace fs = std::filesystem;
    std::error_code ec;
    return fs::is_regular_file(tempPath_, ec) && !fs::is_directory(finalPath_, ec);
}

bool StagedFile::commit() {
    if (committed_)
        return true;
    committed_ = std::rename(tempPath_.c_str(), finalPath_.c_str()) == 0;
    return committed_;
}
