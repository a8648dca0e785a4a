#include "AlertChime.h"

#include <QFile>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

namespace {

struct Tone {
    double start;
    double frequency;
};

constexpr Tone kTones[] = {{0.0, 880.0}, {0.15, 1320.0}};
constexpr double kAttack = 0.005;
constexpr double kDecay = 0.12;
constexpr double kFadeOut = 0.04;
// A quiet octave partial makes the tones ring like a bell rather than beep.
constexpr double kOctaveShare = 0.2;
constexpr double kPeak = 0.5;

double toneAt(const Tone& tone, double time)
{
    const double age = time - tone.start;
    if (age < 0)
        return 0;
    // The attack ramp keeps the tone's start from clicking.
    const double envelope = std::min(1.0, age / kAttack) * std::exp(-age / kDecay);
    const double phase = 2 * std::numbers::pi * tone.frequency * age;
    return envelope * (std::sin(phase) + kOctaveShare * std::sin(2 * phase));
}

double chimeAt(double time)
{
    double value = 0;
    for (const Tone& tone : kTones)
        value += toneAt(tone, time);
    // What is left of the tones fades to silence instead of stopping short.
    const double left = AlertChime::kSeconds - time;
    return value * std::min(1.0, left / kFadeOut);
}

[[noreturn]] void fail(const QString& path, const char* what)
{
    throw std::runtime_error("cannot write " + path.toStdString() + ": " + what);
}

} // namespace

std::vector<short> AlertChime::samples()
{
    const int frames = int(std::lround(kSeconds * kSampleRate));
    std::vector<double> values(frames);
    for (int frame = 0; frame < frames; ++frame)
        values[frame] = chimeAt(double(frame) / kSampleRate);

    double loudest = 0;
    for (double value : values)
        loudest = std::max(loudest, std::abs(value));
    const double scale = kPeak * 32767 / loudest;

    std::vector<short> result(frames);
    std::transform(values.begin(), values.end(), result.begin(),
                   [scale](double value) { return short(std::lround(value * scale)); });
    return result;
}

void AlertChime::write(const QString& path)
{
    const std::vector<short> chime = samples();
    SF_INFO info = {};
    info.samplerate = kSampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_CAF | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        fail(path, sf_strerror(nullptr));

    const sf_count_t frames = sf_count_t(chime.size());
    const bool complete = sf_write_short(file, chime.data(), frames) == frames;
    const std::string writeError = complete ? std::string() : sf_strerror(file);
    const int closeError = sf_close(file);
    if (!complete)
        fail(path, writeError.c_str());
    if (closeError != 0)
        fail(path, sf_error_number(closeError));
}
