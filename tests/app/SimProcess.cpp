#include "SimProcess.h"

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <pwd.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string readText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// In the child, before exec: only async-signal-safe calls, failures end the child with 126.
[[noreturn]] void execChild(const std::vector<std::string>& args, int outFd, int errFd,
                            const SimFaults& faults, unsigned nobody) {
    if (dup2(outFd, STDOUT_FILENO) < 0 || dup2(errFd, STDERR_FILENO) < 0)
        _exit(126);
    if (faults.fileSizeLimit) {
        // SIGXFSZ keeps its default action (ending the process): the program must ignore it
        // itself to see EFBIG and refuse in words.
        signal(SIGXFSZ, SIG_DFL);
        const rlimit limit{*faults.fileSizeLimit, *faults.fileSizeLimit};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            _exit(126);
    }
    if (faults.asNobody &&
        (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0))
        _exit(126);
    if (!faults.startDir.empty() && chdir(faults.startDir.c_str()) != 0)
        _exit(126);
    alarm(faults.timeoutSeconds); // pending alarms survive exec
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(MODULACJE_SIM));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(MODULACJE_SIM, argv.data());
    _exit(127);
}

} // namespace

std::optional<unsigned> nobodyUid() {
    const passwd* pw = getpwnam("nobody");
    if (!pw)
        return std::nullopt;
    return pw->pw_uid;
}

SimOutcome runSim(const std::vector<std::string>& args, const std::string& scratchDir,
                  const SimFaults& faults) {
    const std::string outPath = scratchDir + "/out";
    const std::string errPath = scratchDir + "/err";
    const int outFd = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const int errFd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const unsigned nobody = nobodyUid().value_or(65534);
    SimOutcome outcome;
    const pid_t pid = outFd >= 0 && errFd >= 0 ? fork() : -1;
    if (pid == 0)
        execChild(args, outFd, errFd, faults, nobody);
    close(outFd);
    close(errFd);
    int raw = 0;
    if (pid < 0 || waitpid(pid, &raw, 0) != pid)
        return outcome;
    if (WIFEXITED(raw))
        outcome.status = WEXITSTATUS(raw);
    if (WIFSIGNALED(raw))
        outcome.signal = WTERMSIG(raw);
    outcome.out = readText(outPath);
    outcome.err = readText(errPath);
    return outcome;
}
