#include "engine/StagedFile.h"

#include <cstdio>

StagedFile::StagedFile(std::string finalPath)
    : finalPath_(std::move(finalPath)), tempPath_(finalPath_ + ".part") {}

StagedFile::~StagedFile() {
    if (!committed_)
        std::remove(tempPath_.c_str());
}

bool StagedFile::commit() {
    if (committed_)
        return true;
    committed_ = std::rename(tempPath_.c_str(), finalPath_.c_str()) == 0;
    return committed_;
}
