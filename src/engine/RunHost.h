#pragma once

#include "engine/MessageSink.h"
#include "engine/SignalState.h"

// What a simulation run needs from the window around it, free of any toolkit. The window maps
// each call onto its widgets; the command line and the tests implement it too.
//
// Messages (showMessage, inherited) are modal boxes with one OK button: the run waits for them.
class RunHost : public MessageSink {
public:
    // The progress bar: minimum 0, maximum `maximum`; then its position, once per frame.
    virtual void setProgressRange(int maximum) = 0;
    virtual void setProgress(int position) = 0;
    // The results page's frame scroll bar: minimum 0, maximum `maximum`; its position is kept.
    virtual void setResultsRange(int maximum) = 0;
    // The results view redraws itself from the working files just written.
    virtual void drawResults() = 0;
    // signalLength and lastFrame, which a run sets from the header of Tmp/001.tmp.
    virtual SignalState& signal() = 0;

    // Hooks of the whole simulation (SimulationRun::start); a host without indicators or audio
    // player leaves them empty.
    // The input exists and the run begins: the window shows its label and progress bar.
    virtual void computationStarted() {}
    // The run has ended, whatever its outcome: the window hides them again.
    virtual void computationFinished() {}
    // wy.wav is about to be rewritten: the audio player lets go of any file it holds.
    virtual void releaseOutputWav() {}
};
