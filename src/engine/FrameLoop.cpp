#include "engine/FrameLoop.h"

#include "engine/RunMessages.h"

#include <filesystem>
#include <stdexcept>

namespace {

constexpr float kMaxSamples = 16777216.0f; // 2^24: every count up to it is exact in float32

} // namespace

FrameLoop::FrameLoop(const WorkingFiles& files, RunHost& host, Gate gate, int coefficientCount)
    : files_(files), host_(host), gate_(gate), coefficientCount_(coefficientCount) {}

std::optional<float> FrameLoop::checkInput(const WorkingFiles& files, RunHost& host) {
    const std::string path = files.path(workfile::input);
    float header = 0.0f;
    std::error_code error;
    const auto bytes = std::filesystem::file_size(path, error);
    // NaN fails both comparisons.
    const bool countValid =
        StreamReader::readHeader(path, header) && header >= 1.0f && header < kMaxSamples + 1.0f;
    if (!error && countValid) {
        const auto n = static_cast<std::uint64_t>(header); // truncation toward zero
        if (bytes >= 4 * (n + 1))
            return header;
    }
    host.showMessage(runmsg::badInput, runmsg::errorTitle);
    return std::nullopt;
}

bool FrameLoop::open(std::initializer_list<std::string_view> outputs) {
    input_ = std::make_unique<StreamReader>(files_.path(workfile::input));
    bool created = true;
    for (std::string_view name : outputs) {
        writers_.emplace_back(name, std::make_unique<StreamWriter>(files_.path(name)));
        created = created && writers_.back().second->isOpen();
    }
    if (!input_->isOpen()) {
        inputFailure();
        return false;
    }
    if (!created) {
        writeFailure();
        return false;
    }

    const auto header = checkInput(files_, host_);
    if (!header)
        return false;
    sampleCountHeader_ = *header;
    signalLength_ = static_cast<int>(*header);
    lastFrame_ = lastFrameFor(signalLength_);
    host_.signal().signalLength = signalLength_;
    host_.signal().lastFrame = lastFrame_;
    float skipped;
    input_->read(skipped);

    for (auto& [name, stream] : writers_) {
        if (name == workfile::coefficients)
            stream->write(float(coefficientCount_));
        else if (name == workfile::frameRatios)
            stream->write(float(lastFrame_));
        else if (name == workfile::segmental || name == workfile::overall)
            stream->write(1.0f);
        else // a signal: the header of 001.tmp as it was read
            stream->write(sampleCountHeader_);
    }
    ratios_ = &writer(workfile::frameRatios);
    return true;
}

StreamWriter& FrameLoop::writer(std::string_view name) {
    for (auto& [streamName, stream] : writers_)
        if (streamName == name)
            return *stream;
    throw std::logic_error("the run did not open this stream");
}

bool FrameLoop::writersOk() const {
    for (const auto& entry : writers_)
        if (!entry.second->ok())
            return false;
    return true;
}

int FrameLoop::guardedOverflow() {
    host_.showMessage(runmsg::guardedText, runmsg::guardedTitle);
    return -1;
}

int FrameLoop::writeFailure() {
    host_.showMessage(runmsg::writeFailed, runmsg::errorTitle);
    return -1;
}

int FrameLoop::inputFailure() {
    host_.showMessage(runmsg::badInput, runmsg::errorTitle);
    return -1;
}

int FrameLoop::finish(float segSum, int segCount, float signalEnergy, float errorEnergy) {
    const float segmental =
        segCount != 0 ? float(double(segSum) / double(segCount)) : kEmptySegmental;
    writer(workfile::segmental).write(segmental);
    const float overall =
        errorEnergy != 0.0f ? float(double(signalEnergy) / double(errorEnergy)) : kRatioCeiling;
    if (std::isinf(overall)) // not one of the guarded places: the fault ends the run
        throw EscapedFault{runmsg::escapedOverflow};
    writer(workfile::overall).write(overall);

    input_->close();
    bool written = true;
    for (auto& entry : writers_)
        written = entry.second->close() && written;
    if (!written)
        return writeFailure();
    host_.setResultsRange(lastFrame_);
    host_.drawResults();
    return 1;
}
