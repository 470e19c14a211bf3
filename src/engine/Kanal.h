#pragma once

// The channel between the ADPCM coder and its decoder: ideal, without errors or delay, so the
// decoder receives every quantised prediction error exactly as the coder sent it.
class Kanal {
public:
    float Przeslij(float value) const { return value; }
};
