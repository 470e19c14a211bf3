#include "engine/SimulationRun.h"

#include "engine/Conversions.h"
#include "engine/FrameLoop.h"
#include "engine/RunMessages.h"
#include "engine/Runs.h"

#include <filesystem>

SimulationRun::SimulationRun(const WorkingFiles& files, RunHost& host, const Mnozniki& mnozniki,
                             std::minstd_rand& random)
    : files_(files), host_(host), mnozniki_(mnozniki), random_(random) {}

int SimulationRun::start(bool quantiser, bool predictor, const RunSettings& settings) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(files_.path(workfile::input), error)) {
        host_.showMessage(runmsg::noInput, runmsg::errorTitle);
        return -1;
    }
    host_.computationStarted();
    int result = -1;
    try {
        result = runSelected(quantiser, predictor, settings);
    } catch (const EscapedFault& fault) {
        // The run's objects, and with them its open files, are gone by now.
        host_.showMessage(fault.text, runmsg::errorTitle);
        result = -1;
    }
    host_.computationFinished();
    if (result != 1)
        return -1;

    host_.releaseOutputWav();
    if (!StreamToWav(files_.path(workfile::output), files_.path(workfile::outputWav),
                     files_.path(workfile::inputWav))) {
        host_.showMessage(runmsg::outputWavFailed, runmsg::errorTitle);
        return -1;
    }
    return 1;
}

int SimulationRun::runSelected(bool quantiser, bool predictor, const RunSettings& settings) {
    const RunContext context{files_, host_, mnozniki_, random_};
    if (!quantiser && predictor)
        return RunPrediction(context, settings);
    if (quantiser && !predictor)
        return RunPcm(context, settings);
    if (quantiser && predictor)
        return RunAdpcm(context, settings);
    return -1;
}
