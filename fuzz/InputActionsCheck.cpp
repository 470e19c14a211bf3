#include "InputActionsCheck.h"

#include "engine/InputActions.h"
#include "engine/SampleStream.h"
#include "wave/WaveFile.h"

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// An 8000 Hz, one-channel, 16-bit template without samples, as shipped in data/Tmp.
const std::vector<std::uint8_t> kTemplate = {
    'R', 'I', 'F', 'F', 36, 0, 0,   0,   'W', 'A',  'V',  'E', 'f', 'm',  't',
    ' ', 16,  0,   0,   0,  1, 0,   1,   0,   0x40, 0x1f, 0,   0,   0x80, 0x3e,
    0,   0,   2,   0,   16, 0, 'd', 'a', 't', 'a',  0,    0,   0,   0};

// Texts typed into the attenuation field: plain, zero, loud enough to clip, the edge of a finite
// gain, beyond it, and texts that do not parse.
const char* const kAttenuations[] = {"6", "0,0", "-20", "-770", "-800", "1e38", "x", ""};

// Whole-file transfers in one call each: the harness's own loops would otherwise cost more than
// the code under test (they are instrumented too).
std::vector<std::uint8_t> readFile(const std::string& path) {
    std::error_code ec;
    std::vector<std::uint8_t> bytes(fs::file_size(path, ec));
    if (bytes.empty())
        return bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return {};
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    std::fclose(f);
    return bytes;
}

void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return;
    if (size > 0) // an empty input may come without a buffer
        std::fwrite(data, 1, size, f);
    std::fclose(f);
}

// Collects the messages; the widget calls have nothing to check.
class CountingHost : public HeadlessInputHost {
public:
    int messages = 0;
    void showMessage(const std::string&, const std::string&) override { ++messages; }
};

// 001.tmp and we.wav describe the same signal: the stream's values are as many as the WAV file's
// samples and its header is `header`.
std::string checkInput(const WorkingFiles& files, float header) {
    const std::string streamPath = files.path(workfile::input);
    std::error_code ec;
    const std::uintmax_t bytes = fs::file_size(streamPath, ec);
    float h;
    if (ec || !StreamReader::readHeader(streamPath, h))
        return "001.tmp missing after an accepted action";
    if (h != header)
        return "001.tmp header " + std::to_string(h) + ", expected " + std::to_string(header);
    WaveFile wav;
    if (!wav.OpenForReading(files.path(workfile::inputWav)))
        return "we.wav unreadable after an accepted action";
    if (bytes != 4 + 4 * std::uintmax_t{wav.SampleCount()})
        return "001.tmp holds " + std::to_string(bytes) + " bytes for " +
               std::to_string(wav.SampleCount()) + " samples of we.wav";
    return {};
}

} // namespace

InputActionsCheck::InputActionsCheck(std::string startupDir)
    : startupDir_(std::move(startupDir)), tmpDir_(startupDir_ + "/Tmp") {
    fs::create_directories(tmpDir_);
    writeFile(tmpDir_ + "/wzorzec.wav", kTemplate.data(), kTemplate.size());
    WorkingFiles files(startupDir_);
    SignalState signal;
    CountingHost host;
    InputActions(files, signal, host).generateTone("440");
    baseline_ = snapshot();
}

InputActionsCheck::Snapshot InputActionsCheck::snapshot() const {
    Snapshot files;
    for (const auto& entry : fs::directory_iterator(tmpDir_))
        files[entry.path().filename().string()] =
            entry.is_regular_file() ? readFile(entry.path().string()) : std::vector<std::uint8_t>{};
    return files;
}

void InputActionsCheck::restoreBaseline() const {
    for (const auto& entry : fs::directory_iterator(tmpDir_))
        if (!baseline_.count(entry.path().filename().string()))
            fs::remove_all(entry.path());
    for (const auto& [name, bytes] : baseline_)
        writeFile(tmpDir_ + "/" + name, bytes.data(), bytes.size());
}

std::string InputActionsCheck::run(const std::uint8_t* data, std::size_t size) {
    restoreBaseline();
    const std::uint8_t selector = size > 0 ? data[size - 1] : 0;
    const bool replaceToneWav = (selector & 1) != 0;
    const std::string attenuation = kAttenuations[(selector >> 1) % std::size(kAttenuations)];

    WorkingFiles files(startupDir_);
    const SignalState tone{2560, 19};
    SignalState signal = tone;
    CountingHost host;
    InputActions actions(files, signal, host);

    // One action: refused leaves everything as it was, accepted leaves a consistent input.
    auto act = [&](auto perform, float expectedHeader, const char* what) -> std::string {
        const Snapshot before = snapshot();
        const SignalState fields = signal;
        host.messages = 0;
        if (!perform()) {
            if (host.messages != 1)
                return std::string(what) + " refused with " + std::to_string(host.messages) +
                       " messages";
            if (snapshot() != before)
                return std::string(what) + " refused but Tmp changed";
            if (what == std::string("choosing") && (signal.signalLength != fields.signalLength ||
                                                    signal.lastFrame != fields.lastFrame))
                return "choosing refused but the signal fields changed";
            return {};
        }
        if (host.messages != 0)
            return std::string(what) + " accepted with a message";
        if (snapshot().size() != baseline_.size())
            return std::string(what) + " left a file behind in Tmp";
        const float header = expectedHeader >= 0 ? expectedHeader : signal.signalLength;
        if (std::string problem = checkInput(files, header); !problem.empty())
            return std::string(what) + ": " + problem;
        return {};
    };

    if (replaceToneWav) {
        writeFile(tmpDir_ + "/we.wav", data, size);
        actions.selectSource(InputSource::Sine);
        return act([&] { return actions.attenuate(attenuation); }, 2560.0f, "attenuating a tone");
    }
    const std::string chosen = startupDir_ + "/input.wav";
    writeFile(chosen, data, size);
    if (std::string problem = act([&] { return actions.chooseFile(chosen); }, -1, "choosing");
        !problem.empty())
        return problem;
    return act([&] { return actions.attenuate(attenuation); }, -1, "attenuating a file");
}
