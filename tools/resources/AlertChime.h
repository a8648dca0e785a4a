#pragma once

#include <QString>

#include <vector>

// The alert sound: two bell-like tones, the second a fifth above the first.
class AlertChime {
public:
    static constexpr int kSampleRate = 44100;
    static constexpr double kSeconds = 0.6;

    // The chime's mono samples; the loudest is half of full scale.
    static std::vector<short> samples();

    // Writes the chime as a 16-bit Core Audio Format file. Throws
    // std::runtime_error naming the file when it cannot be written.
    static void write(const QString& path);
};
