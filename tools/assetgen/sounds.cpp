#include "tools/assetgen/sounds.h"

#include "tools/assetgen/assetset.h"
#include "tools/assetgen/random.h"
#include "tools/assetgen/vec.h"
#include "tools/assetgen/wavwriter.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
constexpr float kRate = WavWriter::kSampleRate;

// Loudest sample after normalising; well below full scale.
constexpr float kClickPeak = 0.55f;
constexpr float kPlopPeak = 0.7f;

std::vector<float> silence(float seconds) {
    return std::vector<float>(static_cast<size_t>(seconds * kRate), 0.0f);
}

// A sine whose frequency glides exponentially from `from` to `to` over
// `glide` seconds, decaying with time constant `decay`, added at `start`.
void addChirp(std::vector<float>& out, float start, float from, float to, float glide, float decay,
              float amplitude) {
    double phase = 0;
    size_t first = static_cast<size_t>(start * kRate);
    for (size_t i = first; i < out.size(); ++i) {
        float t = (i - first) / kRate;
        float envelope = amplitude * std::exp(-t / decay);
        if (envelope < 1e-5f) {
            break;
        }
        float f = from * std::pow(to / from, std::min(t / glide, 1.0f));
        phase += kTwoPi * f / kRate;
        out[i] += envelope * static_cast<float>(std::sin(phase));
    }
}

// Noise through a one-pole band (high-pass minus low-pass), decaying.
void addNoise(std::vector<float>& out, Random& random, float start, float attack, float decay, float low,
              float high, float amplitude) {
    float a = std::exp(-kTwoPi * high / kRate), b = std::exp(-kTwoPi * low / kRate);
    float lp1 = 0, lp2 = 0;
    size_t first = static_cast<size_t>(start * kRate);
    for (size_t i = first; i < out.size(); ++i) {
        float t = (i - first) / kRate;
        float envelope = amplitude * std::min(1.0f, t / attack) * std::exp(-t / decay);
        float n = random.range(-1, 1);
        lp1 = (1 - a) * n + a * lp1;   // removes what lies above `high`
        lp2 = (1 - b) * lp1 + b * lp2; // what lies below `low`
        out[i] += envelope * (lp1 - lp2) * 3;
    }
}

// Scales to the peak and fades both ends, so that the sample starts and ends
// at zero without a click.
void finish(std::vector<float>& out, float peak, float fadeIn, float fadeOut) {
    float loudest = 0;
    for (float s : out) {
        loudest = std::max(loudest, std::abs(s));
    }
    float gain = loudest > 0 ? peak / loudest : 0;
    size_t in = static_cast<size_t>(fadeIn * kRate), outLength = static_cast<size_t>(fadeOut * kRate);
    for (size_t i = 0; i < out.size(); ++i) {
        float g = gain;
        if (i < in) {
            g *= 0.5f - 0.5f * std::cos(kPi * i / in);
        }
        size_t fromEnd = out.size() - 1 - i;
        if (fromEnd < outLength) {
            g *= 0.5f - 0.5f * std::cos(kPi * fromEnd / outLength);
        }
        out[i] *= g;
    }
}

std::vector<float> click() {
    Random random("click");
    std::vector<float> out = silence(0.09f);
    addChirp(out, 0, 2300, 2100, 0.01f, 0.005f, 0.6f);
    addChirp(out, 0, 1250, 1150, 0.01f, 0.012f, 0.45f);
    addChirp(out, 0, 430, 380, 0.02f, 0.018f, 0.5f);
    addNoise(out, random, 0, 0.0005f, 0.003f, 1500, 6000, 0.4f);
    finish(out, kClickPeak, 0.001f, 0.02f);
    return out;
}

std::vector<float> plop() {
    Random random("plop");
    std::vector<float> out = silence(0.5f);
    // The impact, then the bubble it pulls under, whose note rises as it
    // shrinks towards the surface.
    addChirp(out, 0, 140, 90, 0.05f, 0.035f, 0.45f);
    addNoise(out, random, 0, 0.002f, 0.05f, 300, 3000, 0.35f);
    addChirp(out, 0.012f, 380, 1250, 0.07f, 0.06f, 1.0f);
    addChirp(out, 0.13f, 650, 1500, 0.05f, 0.035f, 0.35f);
    // A few droplets falling back.
    for (int i = 0; i < 4; ++i) {
        float at = random.range(0.17f, 0.36f);
        float f = random.range(1800, 2800);
        addChirp(out, at, f, f * 1.4f, 0.02f, 0.012f, random.range(0.06f, 0.14f));
    }
    finish(out, kPlopPeak, 0.002f, 0.08f);
    return out;
}
} // namespace

void makeSounds(AssetSet& out) {
    out.addSound("sounds/vrsnd2t.wav", click());
    out.addSound("sounds/vrsnd1t.wav", plop());
}
