#include "engine/InputActions.h"

#include "engine/Conversions.h"
#include "engine/NumberText.h"
#include "engine/SampleStream.h"
#include "engine/StagedFile.h"
#include "wave/WaveFile.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>

namespace {

constexpr const char* kFileErrorText = "Blad pliku wejsciowego";
constexpr const char* kFileErrorTitle = "Blad";
constexpr const char* kValueTitle = "Błąd";
constexpr const char* kFrequencyError = "Niepoprawna wartość częstotliwości.";
constexpr const char* kAttenuationError = "Niepoprawna wartość tłumienia.";
constexpr const char* kWriteError = "Nie udało się zapisać plików roboczych w katalogu Tmp.";
constexpr const char* kNoInputError = "Brak sygnału wejściowego w katalogu Tmp.";
constexpr const char* kTemplateError = "Plik wzorca nie nadaje się do zapisu próbek: ";

// The tone: 2560 samples (20 frames) of sin(2π f i T) for 8000 samples per second.
constexpr int kToneSamples = 2560;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kSamplingInterval = 0.000125; // seconds
constexpr float kMaxFrequency = 4000.0f;       // exclusive: half the sampling rate

// Samples of a WAV file that can serve as the input: 8 or 16 bits, frames at least one sample
// wide (so every counted frame lies inside the data), 1 to 16777216 samples. nullopt otherwise.
std::optional<int> inputSampleCount(const std::string& path) {
    if (path.empty())
        return std::nullopt;
    WaveFile wav;
    if (!wav.OpenForReading(path))
        return std::nullopt;
    const unsigned bits = wav.bitsPerSample();
    const std::uint32_t n = wav.SampleCount();
    if ((bits != 8 && bits != 16) || wav.blockAlign() < bits / 8 || n == 0 || n > kMaxStreamSamples)
        return std::nullopt;
    return static_cast<int>(n);
}

// The template gives the tone's WAV format: it must be an 8- or 16-bit file whose frames hold
// at least one sample, or no sample of the tone could be written into we.wav.
bool templateTakesSamples(const std::string& path) {
    WaveFile wav;
    if (!wav.OpenForReading(path))
        return false;
    const unsigned bits = wav.bitsPerSample();
    return (bits == 8 || bits == 16) && wav.blockAlign() >= bits / 8;
}

std::string fileNameOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

// Value i = sin(((2π × f) × i) × T): the phase formed in long double from the double constants
// and the float frequency, the sine taken in double, the value stored as float.
bool writeTone(const std::string& path, float frequency) {
    StreamWriter out(path);
    out.write(static_cast<float>(kToneSamples));
    for (int i = 0; i < kToneSamples; ++i) {
        const long double phase =
            ((static_cast<long double>(kTwoPi) * frequency) * i) * kSamplingInterval;
        out.write(static_cast<float>(std::sin(static_cast<double>(phase)) * 1.0));
    }
    return out.close();
}

// g = 10^((−1 × A) × 0.05), the exponent in double, the gain held as float.
float gainFor(float attenuationDb) {
    return static_cast<float>(std::pow(10.0, static_cast<double>(-1.0f * attenuationDb) * 0.05));
}

// Both files into place, or neither: a blocked place (a directory where we.wav belongs) is found
// before 001.tmp is replaced, so the two never describe different signals.
bool commitBoth(StagedFile& stream, StagedFile& wav) {
    return stream.canCommit() && wav.canCommit() && stream.commit() && wav.commit();
}

} // namespace

InputActions::InputActions(const WorkingFiles& files, SignalState& signal, InputHost& host)
    : files_(files), signal_(signal), host_(host) {}

void InputActions::setInput(int samples) {
    signal_.signalLength = samples;
    signal_.lastFrame = lastFrameFor(samples);
    host_.resetInputScrollBar(signal_.lastFrame);
}

bool InputActions::refuseWrite() {
    host_.showMessage(kWriteError, kValueTitle);
    return false;
}

bool InputActions::chooseFile(const std::string& path) {
    chosenFile_ = path;
    source_ = InputSource::WaveFile;
    host_.selectSource(source_);
    host_.clearFrequency();
    host_.showFileName(fileNameOf(path));

    const std::optional<int> n = inputSampleCount(path);
    if (!n) {
        host_.showMessage(kFileErrorText, kFileErrorTitle);
        return false;
    }
    StagedFile stream(files_.path(workfile::input));
    StagedFile wav(files_.path(workfile::inputWav));
    if (!WavToStream(path, stream.path(), static_cast<float>(*n), 1.0f) ||
        !ScaleWav(path, wav.path(), 1.0f) || !commitBoth(stream, wav))
        return refuseWrite();
    setInput(*n);
    host_.drawInputView();
    host_.enableAttenuation();
    return true;
}

bool InputActions::generateTone(const std::string& frequencyText) {
    const std::optional<float> f = parseDecimal(frequencyText);
    if (!f || !(*f > 0.0f && *f < kMaxFrequency)) {
        host_.showMessage(kFrequencyError, kValueTitle);
        return false;
    }
    // Without Tmp nothing can be written at all, which the write error below says; a template
    // that is there but unusable is named.
    const std::string templatePath = files_.path(workfile::templateWav);
    std::error_code ec;
    if (std::filesystem::exists(templatePath, ec) && !templateTakesSamples(templatePath)) {
        host_.showMessage(kTemplateError + templatePath, kValueTitle);
        return false;
    }
    StagedFile stream(files_.path(workfile::input));
    StagedFile wav(files_.path(workfile::inputWav));
    if (!writeTone(stream.path(), *f) || !StreamToWav(stream.path(), wav.path(), templatePath) ||
        !commitBoth(stream, wav))
        return refuseWrite();
    source_ = InputSource::Sine;
    host_.selectSource(source_);
    host_.showFileName("");
    setInput(kToneSamples);
    host_.drawInputView();
    host_.enableAttenuation();
    return true;
}

void InputActions::selectSource(InputSource source) {
    source_ = source;
    host_.selectSource(source);
}

// The header of 001.tmp, when it and a we.wav with readable samples are there to be scaled.
std::optional<float> InputActions::currentToneHeader() const {
    float header;
    if (!StreamReader::readHeader(files_.path(workfile::input), header) ||
        !(header >= 0.0f && header <= kMaxStreamSamples))
        return std::nullopt;
    if (!inputSampleCount(files_.path(workfile::inputWav)))
        return std::nullopt; // a we.wav whose samples cannot be read is no input either
    return header;
}

bool InputActions::attenuate(const std::string& attenuationText) {
    const SignalState before = signal_;
    float header;
    if (source_ == InputSource::WaveFile) {
        host_.showFileName(fileNameOf(chosenFile_));
        const std::optional<int> n = inputSampleCount(chosenFile_);
        if (!n) {
            host_.showMessage(kFileErrorText, kFileErrorTitle);
            return false;
        }
        signal_.signalLength = *n;
        header = static_cast<float>(*n);
    } else {
        const std::optional<float> h = currentToneHeader();
        if (!h) {
            host_.showMessage(kNoInputError, kValueTitle);
            return false;
        }
        header = *h; // signalLength stays as it is
    }
    setInput(signal_.signalLength);

    // A gain beyond the float range (below about −771 dB) is refused like a text that does not
    // parse; what steps above changed stands, as it does for a bad text.
    const std::optional<float> a = parseDecimal(attenuationText);
    const float gain = a ? gainFor(*a) : 0.0f;
    if (!a || std::isinf(gain)) {
        host_.showMessage(kAttenuationError, kValueTitle);
        return false;
    }

    if (!(source_ == InputSource::WaveFile ? scaleChosenFile(header, gain)
                                           : scaleCurrentWav(header, gain))) {
        signal_ = before;
        host_.resetInputScrollBar(signal_.lastFrame);
        return refuseWrite();
    }
    host_.drawInputView();
    return true;
}

// The gain applies to the untouched file on disk: attenuating twice by A gives A.
bool InputActions::scaleChosenFile(float header, float gain) {
    StagedFile stream(files_.path(workfile::input));
    StagedFile wav(files_.path(workfile::inputWav));
    return WavToStream(chosenFile_, stream.path(), header, gain) &&
           ScaleWav(chosenFile_, wav.path(), gain) && commitBoth(stream, wav);
}

// The gain applies to the current we.wav, through the transient copy tmp_we.wav: attenuations
// add up, and even a gain of 1.0 moves 16-bit codes toward zero twice.
bool InputActions::scaleCurrentWav(float header, float gain) {
    const std::string current = files_.path(workfile::inputWav);
    const std::string copy = files_.path(workfile::tmpInputWav);
    StagedFile stream(files_.path(workfile::input));
    StagedFile wav(current);
    const bool ok = WavToStream(current, stream.path(), header, gain) &&
                    ScaleWav(current, copy, 1.0f) && ScaleWav(copy, wav.path(), gain);
    std::remove(copy.c_str());
    return ok && commitBoth(stream, wav);
}
