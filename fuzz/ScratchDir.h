#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

// A directory of the harness's own, removed at exit. The code under test opens files by name, so
// each input is written to a file here first: in memory (/dev/shm) where there is one, since on a
// disk the file system, not the code, sets the pace (about ten times slower).
class ScratchDir {
public:
    ScratchDir() {
        std::error_code ec;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string pattern = (base / "modulacje-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};
