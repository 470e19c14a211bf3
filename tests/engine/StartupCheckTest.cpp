#include "engine/StartupCheck.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Recorder : MessageSink {
    std::vector<std::string> messages;
    void showMessage(const std::string& text, const std::string& title) override {
        messages.push_back(title + ": " + text);
    }
};

} // namespace

TEST(StartupCheck, ReportsTheFirstMissingPathOnce) {
    TempDir noTmp(false);
    TempDir noTemplate;
    TempDir complete;
    std::filesystem::copy_file("data/Tmp/wzorzec.wav", complete.tmp("wzorzec.wav"));
    struct Case {
        const TempDir& dir;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {noTmp, {"Błąd: Brak katalogu roboczego: " + noTmp.path() + "/Tmp"}},
        {noTemplate, {"Błąd: Brak pliku wzorca: " + noTemplate.path() + "/Tmp/wzorzec.wav"}},
        {complete, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dir.path());
        Recorder sink;
        InstanceLock lock;
        EXPECT_EQ(checkStartup(WorkingFiles(c.dir.path()), lock, sink), c.messages.empty());
        EXPECT_EQ(sink.messages, c.messages);
        EXPECT_EQ(lock.held(), c.messages.empty());
    }
}

TEST(StartupCheck, ASecondProgramOnTheSameDirectoryIsRefused) {
    TempDir dir;
    std::filesystem::copy_file("data/Tmp/wzorzec.wav", dir.tmp("wzorzec.wav"));
    const WorkingFiles files(dir.path());
    Recorder sink;
    InstanceLock first;
    ASSERT_TRUE(checkStartup(files, first, sink));

    InstanceLock second;
    EXPECT_FALSE(checkStartup(files, second, sink));
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Błąd: Program już działa w tym katalogu."});
    EXPECT_FALSE(second.held());

    TempDir other;
    std::filesystem::copy_file("data/Tmp/wzorzec.wav", other.tmp("wzorzec.wav"));
    InstanceLock elsewhere;
    EXPECT_EQ(elsewhere.acquire(WorkingFiles(other.path())), InstanceLock::Result::Acquired);

    first.release();
    EXPECT_EQ(second.acquire(files), InstanceLock::Result::Acquired);
}

TEST(StartupCheck, AProgramThatDiesLeavesNoLockBehind) {
    TempDir dir;
    const WorkingFiles files(dir.path());
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstanceLock lock;
        const char ok = lock.acquire(files) == InstanceLock::Result::Acquired ? 'y' : 'n';
        (void)!write(ready[1], &ok, 1);
        pause(); // killed below, without any chance to release
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 'y');
    InstanceLock lock;
    EXPECT_EQ(lock.acquire(files), InstanceLock::Result::HeldElsewhere);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_EQ(lock.acquire(files), InstanceLock::Result::Acquired);
    close(ready[0]);
    close(ready[1]);
}
