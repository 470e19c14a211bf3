#pragma once

// One quantisation cell: the values from Dolny to Gorny are reconstructed as Poziom.
struct Przedzial {
    float Dolny;  // lower decision bound
    float Gorny;  // upper decision bound
    float Poziom; // reconstruction level
};
