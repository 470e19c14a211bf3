#include "engine/StartupCheck.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

namespace {

constexpr const char* kErrorTitle = "Błąd";

} // namespace

bool checkWorkingDirectory(const WorkingFiles& files, MessageSink& sink) {
    std::error_code ec;
    if (!std::filesystem::is_directory(files.dir(), ec)) {
        sink.showMessage("Brak katalogu roboczego: " + files.dir(), kErrorTitle);
        return false;
    }
    const std::string templatePath = files.path(workfile::templateWav);
    if (!std::filesystem::is_regular_file(templatePath, ec)) {
        sink.showMessage("Brak pliku wzorca: " + templatePath, kErrorTitle);
        return false;
    }
    return true;
}

InstanceLock::~InstanceLock() {
    release();
}

InstanceLock::Result InstanceLock::acquire(const WorkingFiles& files) {
    release();
    const std::string path = files.path(kLockFileName);
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0)
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        return Result::Unavailable;
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0)
        return Result::Acquired;
    const bool busy = errno == EWOULDBLOCK;
    release();
    return busy ? Result::HeldElsewhere : Result::Unavailable;
}

void InstanceLock::release() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool checkStartup(const WorkingFiles& files, InstanceLock& lock, MessageSink& sink) {
    if (!checkWorkingDirectory(files, sink))
        return false;
    if (lock.acquire(files) == InstanceLock::Result::HeldElsewhere) {
        sink.showMessage("Program już działa w tym katalogu.", kErrorTitle);
        return false;
    }
    return true;
}
