// modulacje-sim when the disk under Tmp fails it: read-only, a working file that cannot be
// created, a full disk (a file size limit everywhere; a small tmpfs where mounting is allowed).
// Each refusal must say so in Polish with exit status 1 and leave the previous input, byte for
// byte, with no temporary file behind.

#include "SimProcess.h"
#include "TempDir.h"
#include "WavBytes.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string kWriteError = "Błąd: Nie udało się zapisać plików roboczych w katalogu Tmp.\n";
const std::string kRunWriteError =
    "Błąd: Nie udało się zapisać plików roboczych w katalogu Tmp. Sprawdź miejsce na dysku.\n";
const std::string kOutputWavError = "Błąd: Nie udało się zapisać pliku Tmp/wy.wav.\n";
// 2384 samples: 001.tmp, 002.tmp and 003.tmp of 9540 bytes, we.wav and wy.wav of 4812.
const char* const kSpeech = "../shared/fixtures/speech/0_george_0.wav";

// The runs of each mode, as typed.
const std::vector<std::string> kPcm = {"--mode", "pcm", "--levels", "8"};
const std::vector<std::string> kPrediction = {"--mode", "prediction",  "--coefficients",
                                              "4",      "--parameter", "0,01"};
const std::vector<std::string> kAdpcm = {"--mode",         "adpcm", "--levels",    "4",
                                         "--coefficients", "4",     "--parameter", "0,01"};

using Listing = std::map<std::string, Bytes>;

// Every entry of a directory with the bytes of the regular files.
Listing listing(const std::string& dir) {
    Listing files;
    for (const auto& e : fs::directory_iterator(dir))
        files[e.path().filename().string()] =
            e.is_regular_file() ? readBytes(e.path().string()) : Bytes{};
    return files;
}

std::string join(const std::vector<std::string>& args) {
    std::string s;
    for (const std::string& a : args)
        s += (s.empty() ? "" : " ") + a;
    return s;
}

// A 16-bit file of n samples of a ramp.
Bytes ramp16(std::size_t n) {
    std::vector<std::int16_t> codes(n);
    for (std::size_t i = 0; i < n; ++i)
        codes[i] = static_cast<std::int16_t>(i * 7);
    return wav16(codes);
}

class DiskFaultTest : public ::testing::Test {
protected:
    // A start-up directory `root` with Tmp, the template and a 440 Hz tone as the current input.
    void makeStartupDir(const std::string& root) {
        startup = root;
        fs::create_directories(root + "/Tmp");
        fs::copy_file("data/Tmp/wzorzec.wav", root + "/Tmp/wzorzec.wav");
        const SimOutcome tone = sim({"--sine", "440"});
        ASSERT_EQ(tone.status, 0) << tone.err;
    }
    SimOutcome sim(std::vector<std::string> args, const SimFaults& faults = {}) {
        args.insert(args.begin(), {"--dir", startup});
        return runSim(args, scratch.path(), faults);
    }
    // Runs `args`; expects the refusal `err` with Tmp exactly as before.
    void expectRefused(const std::vector<std::string>& args, const std::string& err,
                       const SimFaults& faults = {}) {
        SCOPED_TRACE(join(args));
        const Listing before = listing(startup + "/Tmp");
        expectRefusal(sim(args, faults), err);
        EXPECT_TRUE(listing(startup + "/Tmp") == before) << "Tmp changed";
    }
    // A failed run: the refusal `err`, nothing on stdout, the input and wy.wav byte for byte as
    // before and no temporary file left. The run's own streams (002.tmp ...) may hold what was
    // written before the fault; the window's views draw them as they are, as after any run.
    void expectRunFailed(const std::vector<std::string>& args, const std::string& err,
                         const SimFaults& faults = {}) {
        SCOPED_TRACE(join(args));
        const Listing before = listing(startup + "/Tmp");
        expectRefusal(sim(args, faults), err);
        const Listing after = listing(startup + "/Tmp");
        for (const char* kept : {"001.tmp", "we.wav", "wy.wav"})
            EXPECT_TRUE(after.at(kept) == before.at(kept)) << kept << " changed";
        for (const auto& entry : after)
            EXPECT_FALSE((entry.first.ends_with(".part") || entry.first == "tmp_we.wav") &&
                         !before.count(entry.first))
                << entry.first << " left behind";
    }
    void expectRefusal(const SimOutcome& o, const std::string& err) {
        EXPECT_EQ(o.signal, 0);
        EXPECT_EQ(o.status, 1);
        EXPECT_EQ(o.out, "");
        EXPECT_EQ(o.err, err);
    }
    // The speech fixture as input, run once through 16-level PCM: wy.wav exists.
    void runOnce() {
        const SimOutcome o =
            sim({"--wav", fs::absolute(kSpeech).string(), "--mode", "pcm", "--levels", "16"});
        ASSERT_EQ(o.status, 0) << o.err;
        ASSERT_TRUE(fileExists(startup + "/Tmp/wy.wav"));
    }
    std::string source(const std::string& name, const Bytes& bytes) {
        writeBytes(sources.file(name), bytes);
        return sources.file(name);
    }

    TempDir scratch{false};
    TempDir sources{false};
    std::string startup;
};

} // namespace

// Root ignores permissions, so a root test runs the program as "nobody"; anyone else only needs
// the directory's write bit taken away.
TEST_F(DiskFaultTest, ReadOnlyTmp) {
    TempDir dir(false);
    makeStartupDir(dir.path());
    const std::string shortWav = source("short.wav", ramp16(100));
    SimFaults faults;
    if (geteuid() == 0) {
        if (!nobodyUid())
            GTEST_SKIP() << "running as root and there is no user \"nobody\" to drop to";
        faults.asNobody = true;
        for (const std::string& d : {dir.path(), sources.path()})
            fs::permissions(d, fs::perms::others_read | fs::perms::others_exec,
                            fs::perm_options::add);
        if (runSim({"--help"}, scratch.path(), faults).status != 0)
            GTEST_SKIP() << "\"nobody\" cannot run " MODULACJE_SIM;
    }
    fs::permissions(dir.path() + "/Tmp",
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);

    expectRefused({"--wav", shortWav}, kWriteError, faults);
    expectRefused({"--sine", "220"}, kWriteError, faults);
    expectRefused({"--source", "sine", "--attenuate", "6"}, kWriteError, faults);
    expectRefused(kPcm, kRunWriteError, faults);
    fs::permissions(dir.path() + "/Tmp", fs::perms::owner_write, fs::perm_options::add);
}

// A directory where a working file or its temporary copy would go: nothing can be written there,
// and neither file of the input may change (not 001.tmp when only we.wav is blocked).
TEST_F(DiskFaultTest, AWorkingFileThatCannotBeCreated) {
    TempDir dir(false);
    makeStartupDir(dir.path());
    const std::string shortWav = source("short.wav", ramp16(100));
    struct Case {
        const char* blocked;
        std::vector<std::string> args;
        std::string err;
    };
    const Case cases[] = {
        {"001.tmp", {"--wav", shortWav}, kWriteError},
        {"we.wav", {"--wav", shortWav}, kWriteError},
        {"we.wav", {"--sine", "220"}, kWriteError},
        {"001.tmp.part", {"--wav", shortWav}, kWriteError},
        {"we.wav.part", {"--sine", "220"}, kWriteError},
        {"tmp_we.wav", {"--source", "sine", "--attenuate", "6"}, kWriteError},
        {"001.tmp",
         {"--source", "sine", "--attenuate", "6"},
         "Błąd: Brak sygnału wejściowego w katalogu Tmp.\n"},
    };
    const Listing input = listing(dir.path() + "/Tmp");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.blocked);
        const std::string blocked = dir.tmp(c.blocked);
        fs::remove(blocked);
        fs::create_directory(blocked);
        fs::create_directory(blocked + "/keep"); // not empty, so no deletion can take it
        expectRefused(c.args, c.err);
        fs::remove_all(blocked);
        for (const auto& [name, bytes] : input)
            writeBytes(dir.tmp(name), bytes);
    }
}

// What a program killed while writing may leave: a half-written temporary file, or something
// else by that name (a FIFO, which opening for writing would wait on). Neither blocks the next
// program, and neither is left behind.
TEST_F(DiskFaultTest, LeftoversOfAKilledProgramDoNotBlock) {
    TempDir dir(false);
    makeStartupDir(dir.path());
    writeBytes(dir.tmp("we.wav.part"), Bytes(100, 7));
    ASSERT_EQ(mkfifo(dir.tmp("001.tmp.part").c_str(), 0600), 0);
    SimFaults faults;
    faults.timeoutSeconds = 10;
    const SimOutcome o = sim({"--sine", "220"}, faults);
    EXPECT_EQ(o.signal, 0);
    EXPECT_EQ(o.status, 0) << o.err;
    const Listing after = listing(dir.path() + "/Tmp");
    EXPECT_FALSE(after.count("001.tmp.part") || after.count("we.wav.part"));
    EXPECT_EQ(after.at("001.tmp").size(), 10244u);
}

// A we.wav under a tone whose samples cannot be read (24-bit) is no input to attenuate.
TEST_F(DiskFaultTest, AnUnreadableWeWavUnderAToneIsNoInput) {
    TempDir dir(false);
    makeStartupDir(dir.path());
    writeBytes(dir.tmp("we.wav"),
               riff("WAVE", {chunk("fmt ", fmtBody(1, 24)), chunk("data", Bytes(9, 0))}));
    expectRefused({"--source", "sine", "--attenuate", "6"},
                  "Błąd: Brak sygnału wejściowego w katalogu Tmp.\n");
}

// Files cannot grow beyond a limit: the first file that reaches it fails, and the input stays.
TEST_F(DiskFaultTest, FullDiskAsAFileSizeLimit) {
    TempDir dir(false);
    makeStartupDir(dir.path());
    const std::string longWav = source("long.wav", ramp16(40000));
    struct Case {
        std::uint64_t limit;
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {32 * 1024, {"--wav", longWav}},
        {8 * 1024, {"--sine", "220"}},
        {8 * 1024, {"--source", "sine", "--attenuate", "6"}},
        {4 * 1024, {"--source", "sine", "--attenuate", "6"}}, // even the copy tmp_we.wav
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.limit);
        SimFaults faults;
        faults.fileSizeLimit = c.limit;
        expectRefused(c.args, kWriteError, faults);
    }
}

// The disk fills during a run, or a run's file cannot be created: the run fails with its message,
// prints no measures, and wy.wav stays the previous run's.
TEST_F(DiskFaultTest, RunsThatCannotWriteTheirFiles) {
    TempDir dir(false);
    makeStartupDir(dir.path());
    runOnce();
    SimFaults limited;
    limited.fileSizeLimit = 8 * 1024; // below 002.tmp: the run stops after about 2000 samples
    for (const auto& mode : {kPcm, kPrediction, kAdpcm})
        expectRunFailed(mode, kRunWriteError, limited);

    struct Case {
        const char* blocked;
        std::string err;
    };
    const Case blocked[] = {
        {"002.tmp", kRunWriteError},
        {"006.tmp", kRunWriteError},
        {"wy.wav", kOutputWavError},
        {"wy.wav.part", kOutputWavError},
    };
    for (const Case& c : blocked) {
        SCOPED_TRACE(c.blocked);
        const Bytes previous = readBytes(dir.tmp(c.blocked));
        fs::remove(dir.tmp(c.blocked));
        fs::create_directories(dir.tmp(c.blocked) + "/keep");
        expectRunFailed(kPcm, c.err);
        fs::remove_all(dir.tmp(c.blocked));
        if (!previous.empty())
            writeBytes(dir.tmp(c.blocked), previous);
    }
}

// A real full disk: a 96 KiB tmpfs holding the start-up directory. The input and the template
// (6 pages of 4 KiB) leave 72 KiB; a filler file takes more where a case asks for a fuller disk.
// A new input needs room for itself beside the old one, which stays until both files are complete.
TEST_F(DiskFaultTest, FullDiskOnASmallFileSystem) {
    TempDir mountPoint(false);
    if (mount("tmpfs", mountPoint.path().c_str(), "tmpfs", 0, "size=96k,mode=0755") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    struct Unmount {
        std::string path;
        ~Unmount() { umount2(path.c_str(), MNT_DETACH); }
    } unmount{mountPoint.path()};
    makeStartupDir(mountPoint.path());

    const std::string longWav = source("long.wav", ramp16(40000)); // 001.tmp 160 KB: fails first
    const std::string midWav = source("mid.wav", ramp16(16000));   // 001.tmp fits, we.wav not
    const std::string smallWav = source("small.wav", ramp16(4000));
    struct Case {
        std::size_t filler;
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {0, {"--wav", longWav}},
        {0, {"--wav", midWav}},
        {0, {"--wav", midWav, "--attenuate", "6"}},
        {60 * 1024, {"--sine", "220"}}, // 001.tmp fits, we.wav not
        {60 * 1024, {"--source", "sine", "--attenuate", "6"}},
        {64 * 1024, {"--wav", smallWav}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filler);
        if (c.filler)
            writeBytes(mountPoint.file("filler"), Bytes(c.filler, 0));
        expectRefused(c.args, kWriteError);
        fs::remove(mountPoint.file("filler"));
    }
    // With the space back, a file that fits is accepted.
    const SimOutcome ok = sim({"--wav", smallWav});
    EXPECT_EQ(ok.status, 0) << ok.err;

    // Runs on the full disk. A PCM run rewrites its streams in the space of the previous run's,
    // but wy.wav.part needs room beside the old wy.wav. A prediction run's new 004.tmp and
    // 005.tmp (38 KB) outgrow the 28 KiB left.
    ASSERT_NO_FATAL_FAILURE(runOnce());
    writeBytes(mountPoint.file("filler"), Bytes(fs::space(mountPoint.path()).available, 0));
    expectRunFailed(kPcm, kOutputWavError);
    fs::remove(mountPoint.file("filler"));
    expectRunFailed(kPrediction, kRunWriteError);
}
