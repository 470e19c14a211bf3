#pragma once

// Texts and titles a run shows beyond the refusals of its settings (RunSettings.h).
namespace runmsg {
inline constexpr const char* errorTitle = "Błąd";
inline constexpr const char* noInput = "Nie wybrano pliku wejściowego";

// An overflow at one of the frame loop's guarded places; the run stops cleanly.
inline constexpr const char* guardedText = "Sprawdź ustawienia układu.";
inline constexpr const char* guardedTitle = "Przekroczono zakres";
// An overflow anywhere else in a run (titled errorTitle).
inline constexpr const char* escapedOverflow = "Przekroczono zakres. Sprawdź ustawienia układu.";
// A division by zero inside the least-squares predictor (λ = 0, or λ = −uᵀPu).
inline constexpr const char* divisionByZero =
    "Dzielenie przez zero w algorytmie NSK. Sprawdź współczynnik zapominania.";
// A value that is not a number reached a predictor (a NaN sample in Tmp/001.tmp).
inline constexpr const char* invalidOperation =
    "Niedozwolona operacja zmiennoprzecinkowa. Sprawdź ustawienia układu i sygnał wejściowy.";

inline constexpr const char* tooFewDistinct =
    "Za mało różnych wartości próbek do wylosowania słownika.";
// Tmp/001.tmp that no input action could have written: a header that is not a sample count of
// 1 … 16777216, or fewer values than the header promises.
inline constexpr const char* badInput = "Niepoprawny plik wejściowy Tmp/001.tmp.";
// A working file could not be created or written completely (disk full, Tmp read-only).
inline constexpr const char* writeFailed =
    "Nie udało się zapisać plików roboczych w katalogu Tmp. Sprawdź miejsce na dysku.";
inline constexpr const char* outputWavFailed = "Nie udało się zapisać pliku Tmp/wy.wav.";
} // namespace runmsg
