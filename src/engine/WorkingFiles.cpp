#include "engine/WorkingFiles.h"

#include <cstdio>

WorkingFiles::WorkingFiles(std::string startupDir)
    : startupDir_(std::move(startupDir)), dir_(startupDir_ + "/Tmp") {}

std::string WorkingFiles::path(std::string_view name) const {
    std::string p = dir_;
    p += '/';
    p += name;
    return p;
}

void WorkingFiles::clear() const {
    for (std::string_view name :
         {workfile::input, workfile::output, workfile::quantError, workfile::predError,
          workfile::coefficients, workfile::frameRatios, workfile::segmental, workfile::overall,
          workfile::inputWav, workfile::outputWav})
        std::remove(path(name).c_str());
}
