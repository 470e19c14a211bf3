#pragma once

#include "engine/MessageSink.h"
#include "engine/WorkingFiles.h"

// The checks both front ends make before anything else, with the texts they show.

// The start-up directory must hold Tmp and Tmp/wzorzec.wav (the system never creates them).
// Reports the first missing path once, titled "Błąd"; true when both are there.
bool checkWorkingDirectory(const WorkingFiles& files, MessageSink& sink);

// Holds one start-up directory for this process: an exclusive flock on Tmp/modulacje.lock. The
// kernel drops the lock when the process ends, however it ends, so a crash never leaves a stale
// lock; the file itself is left in place (deleting it could let two programs lock two files).
class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    enum class Result { Acquired, HeldElsewhere, Unavailable };
    // Unavailable: the lock file can be neither created nor opened (a read-only Tmp); nothing can
    // be written there either, so the caller may go on without the lock.
    Result acquire(const WorkingFiles& files);
    void release();
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

inline constexpr const char* kLockFileName = "modulacje.lock";

// checkWorkingDirectory, then the lock: "Program już działa w tym katalogu." / "Błąd" when
// another program holds the directory. True when the program may start.
bool checkStartup(const WorkingFiles& files, InstanceLock& lock, MessageSink& sink);
