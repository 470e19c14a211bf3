// modulacje-sim run as a program: exit statuses, what it prints, what it leaves in Tmp.

#include "SimProcess.h"
#include "TempDir.h"
#include "WavBytes.h"
#include "engine/StartupCheck.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// The program started in `cwd` with `args`.
SimOutcome run(const TempDir& scratch, const std::string& cwd,
               const std::vector<std::string>& args) {
    SimFaults surroundings;
    surroundings.startDir = cwd;
    return runSim(args, scratch.path(), surroundings);
}

class SimCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::copy_file("data/Tmp/wzorzec.wav", dir.tmp("wzorzec.wav"));
        fixture = std::filesystem::absolute("../shared/fixtures/speech/0_george_0.wav").string();
    }
    SimOutcome sim(const std::vector<std::string>& args) {
        std::vector<std::string> all = {"--dir", dir.path()};
        all.insert(all.end(), args.begin(), args.end());
        return run(scratch, scratch.path(), all);
    }
    Bytes tmp(const std::string& name) const { return readBytes(dir.tmp(name)); }

    TempDir dir;
    TempDir scratch{false};
    std::string fixture;
};

} // namespace

TEST_F(SimCommandTest, InputActionsWithoutAModePrintNothing) {
    const SimOutcome o = sim({"--sine", "440"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(tmp("001.tmp").size(), 10244u);
    EXPECT_EQ(tmp("we.wav").size(), 44u + 2u * 2560u);

    // A later call works on what the earlier one left: attenuating the tone twice adds up.
    const Bytes tone = tmp("we.wav");
    ASSERT_EQ(sim({"--source", "sine", "--attenuate", "6"}).status, 0);
    const Bytes once = tmp("we.wav");
    EXPECT_NE(once, tone);
    ASSERT_EQ(sim({"--source", "sine", "--attenuate", "6"}).status, 0);
    EXPECT_NE(tmp("we.wav"), once);

    // A file attenuated twice in one call is 6 dB below the file, as after once.
    ASSERT_EQ(sim({"--wav", fixture, "--attenuate", "6"}).status, 0);
    const Bytes fileOnce = tmp("001.tmp");
    ASSERT_EQ(sim({"--wav", fixture, "--attenuate", "6", "--attenuate", "6"}).status, 0);
    EXPECT_EQ(tmp("001.tmp"), fileOnce);
}

TEST_F(SimCommandTest, TheFirstRefusalEndsTheCall) {
    ASSERT_EQ(sim({"--wav", fixture}).status, 0);
    const Bytes stream = tmp("001.tmp");
    const Bytes wav = tmp("we.wav");
    writeBytes(scratch.file("bad.wav"),
               concat({Bytes{'R', 'I', 'F', 'F'}, le32(4), Bytes{'A', 'V', 'I', ' '}}));

    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const Case cases[] = {
        {{"--attenuate", "6"}, "Blad: Blad pliku wejsciowego\n"},
        {{"--wav", scratch.file("bad.wav"), "--sine", "440"}, "Blad: Blad pliku wejsciowego\n"},
        {{"--sine", "4000", "--sine", "440"}, "Błąd: Niepoprawna wartość częstotliwości.\n"},
        {{"--wav", fixture, "--attenuate", "x", "--sine", "440"},
         "Błąd: Niepoprawna wartość tłumienia.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        const SimOutcome o = sim(c.args);
        EXPECT_EQ(o.status, 1);
        EXPECT_EQ(o.out, "");
        EXPECT_EQ(o.err, c.err);
        EXPECT_EQ(tmp("001.tmp"), stream);
        EXPECT_EQ(tmp("we.wav"), wav);
    }
}

TEST_F(SimCommandTest, BadUsageTouchesNothing) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--sine", "440", "--bogus"},
          {"--sine"},
          {"--sine", "440", "--mode", "pcm", "--mode", "pcm"}}) {
        const SimOutcome o = sim(args);
        EXPECT_EQ(o.status, 2);
        EXPECT_NE(o.err.find("usage: modulacje-sim"), std::string::npos);
        EXPECT_FALSE(fileExists(dir.tmp("001.tmp")));
        EXPECT_FALSE(fileExists(dir.tmp(kLockFileName)));
    }
}

TEST_F(SimCommandTest, StartUpChecks) {
    // The start-up directory defaults to the current one.
    EXPECT_EQ(run(scratch, dir.path(), {"--sine", "440"}).status, 0);
    EXPECT_TRUE(fileExists(dir.tmp("001.tmp")));

    const SimOutcome noTmp = run(scratch, scratch.path(), {"--sine", "440"});
    EXPECT_EQ(noTmp.status, 1);
    EXPECT_EQ(noTmp.err, "Błąd: Brak katalogu roboczego: " +
                             std::filesystem::canonical(scratch.path()).string() + "/Tmp\n");

    InstanceLock other;
    ASSERT_EQ(other.acquire(WorkingFiles(dir.path())), InstanceLock::Result::Acquired);
    const SimOutcome locked = sim({"--sine", "440"});
    EXPECT_EQ(locked.status, 1);
    EXPECT_EQ(locked.err, "Błąd: Program już działa w tym katalogu.\n");
}
