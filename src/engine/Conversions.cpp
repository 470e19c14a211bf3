#include "engine/Conversions.h"

#include "engine/SampleStream.h"
#include "engine/StagedFile.h"
#include "wave/WaveFile.h"

bool WavToStream(const std::string& wavPath, const std::string& streamPath, float header,
                 float scale) {
    if (!(header <= kMaxStreamSamples)) // also a NaN header: outside the format
        return false;
    WaveFile wav;
    if (!wav.OpenForReading(wavPath) || wav.SampleCount() > kMaxStreamSamples)
        return false;
    StagedFile target(streamPath);
    StreamWriter out(target.path());
    out.write(header);
    const std::uint32_t count = wav.SampleCount();
    for (std::uint32_t i = 0; i < count; ++i) {
        float v;
        if (!wav.ReadSample(v))
            return false;
        out.write(static_cast<float>(static_cast<double>(v) * scale));
    }
    wav.Close();
    return out.close() && target.commit();
}

bool ScaleWav(const std::string& sourcePath, const std::string& targetPath, float gain) {
    WaveFile source;
    if (!source.OpenForReading(sourcePath))
        return false;
    StagedFile staged(targetPath);
    WaveFile target;
    if (!target.CreateForWriting(staged.path()))
        return false;
    target.CopyFormatFrom(source);
    const std::uint32_t count = source.SampleCount();
    for (std::uint32_t i = 0; i < count; ++i) {
        float v;
        if (!source.ReadSample(v) ||
            !target.WriteSample(static_cast<float>(static_cast<double>(v) * gain)))
            return false;
    }
    source.Close();
    return target.Close() && staged.commit();
}

bool StreamToWav(const std::string& streamPath, const std::string& targetPath,
                 const std::string& referencePath) {
    StreamReader in(streamPath);
    float count;
    if (!in.read(count) || count > kMaxStreamSamples)
        return false;
    WaveFile reference;
    if (!reference.OpenForReading(referencePath))
        return false;
    StagedFile staged(targetPath);
    WaveFile target;
    if (!target.CreateForWriting(staged.path()))
        return false;
    target.CopyFormatFrom(reference);
    reference.Close();
    // A float counter, as the count is a float header: exact for every integral count up to 2^24.
    for (float k = 0.0f; k < count; k += 1.0f) {
        float v;
        if (!in.read(v) || !target.WriteSample(v))
            return false;
    }
    return target.Close() && staged.commit();
}
