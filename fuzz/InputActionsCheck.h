#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The input page's actions on a file of any bytes, in a start-up directory of its own whose Tmp
// holds the template and a 440 Hz tone as the current input. Each run starts from that state,
// so a run depends on its bytes alone. The last byte of the input picks what is done:
//
// - bit 0 clear: the bytes are the chosen WAV file; choose it, then attenuate by a text from a
//   fixed table (picked by the other bits);
// - bit 0 set: the bytes replace Tmp/we.wav under the tone; select "Sinus" and attenuate.
//
// What must hold after each action:
// - refused: exactly one message, and Tmp byte for byte as before the action, with the
//   signal fields as they were;
// - accepted: no message; 001.tmp holds its header and as many values as we.wav has samples, and
//   nothing else is left in Tmp (no temporary file, no tmp_we.wav).
//
// run() returns a description of the first broken promise, empty when all held.
class InputActionsCheck {
public:
    // `startupDir` must exist and be empty; Tmp is made in it.
    explicit InputActionsCheck(std::string startupDir);

    std::string run(const std::uint8_t* data, std::size_t size);

    using Snapshot = std::map<std::string, std::vector<std::uint8_t>>;

private:
    void restoreBaseline() const;
    Snapshot snapshot() const;

    std::string startupDir_;
    std::string tmpDir_;
    Snapshot baseline_;
};
