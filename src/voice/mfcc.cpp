#include "voice/mfcc.h"

#include <aubio/aubio.h>

#include <algorithm>
#include <cmath>

#include "voice/beats.h"
#include "voice/sound_cutter.h"

namespace vexil::voice {


namespace {

// The aubio objects of one computation, released whatever happens.
struct AubioParts {
    aubio_pvoc_t* pv = new_aubio_pvoc(MfccExtractor::kWindow, MfccExtractor::kHop);
    aubio_filterbank_t* bank = new_aubio_filterbank(MfccExtractor::kBands, MfccExtractor::kWindow);
    aubio_dct_t* dct = new_aubio_dct(MfccExtractor::kBands);
    fvec_t* in = new_fvec(MfccExtractor::kHop);
    cvec_t* spectrum = new_cvec(MfccExtractor::kWindow);
    fvec_t* bands = new_fvec(MfccExtractor::kBands);
    fvec_t* cepstrum = new_fvec(MfccExtractor::kBands);
    bool ok() const { return pv && bank && dct && in && spectrum && bands && cepstrum; }
    ~AubioParts() {
        if (cepstrum) del_fvec(cepstrum);
        if (bands) del_fvec(bands);
        if (spectrum) del_cvec(spectrum);
        if (in) del_fvec(in);
        if (dct) del_aubio_dct(dct);
        if (bank) del_aubio_filterbank(bank);
        if (pv) del_aubio_pvoc(pv);
    }
};

}  // namespace

// The mel bands of every frame, after pre-emphasis, row after row.
static std::vector<float> melBands(const std::vector<float>& samples) {
    std::vector<float> bands;
    constexpr int kHop = MfccExtractor::kHop, kBands = MfccExtractor::kBands;
    if (samples.size() < std::size_t(kHop)) return bands;
    AubioParts a;
    if (!a.ok() || aubio_filterbank_set_mel_coeffs_slaney(a.bank, SoundCutter::kSampleRate) != 0)
        return bands;
    bands.reserve(samples.size() / kHop * kBands);
    // Pre-emphasis lifts the upper formants, where consonants differ.
    float previous = 0;
    for (std::size_t at = 0; at + kHop <= samples.size(); at += kHop) {
        for (int i = 0; i < kHop; ++i) {
            const float x = samples[at + std::size_t(i)];
            a.in->data[i] = x - 0.97f * previous;
            previous = x;
        }
        aubio_pvoc_do(a.pv, a.in, a.spectrum);
        aubio_filterbank_do(a.bank, a.spectrum, a.bands);
        bands.insert(bands.end(), a.bands->data, a.bands->data + kBands);
    }
    return bands;
}

std::vector<float> MfccExtractor::noiseBands(const std::vector<float>& pause) const {
    const std::vector<float> bands = melBands(pause);
    // The first frames: the analysis window not yet full.
    const std::size_t skip = std::size_t((kWindow + kHop - 1) / kHop) * kBands;
    if (bands.size() < skip + std::size_t(kBands)) return {};
    std::vector<double> power(std::size_t(kBands), 0.0);
    for (std::size_t at = skip; at < bands.size(); ++at) power[at % kBands] += double(bands[at]) * bands[at];
    const double frames = double(bands.size() - skip) / kBands;
    std::vector<float> noise(power.size());
    for (std::size_t b = 0; b < noise.size(); ++b) noise[b] = float(std::sqrt(power[b] / frames));
    return noise;
}

Features MfccExtractor::compute(const std::vector<float>& samples, const std::vector<float>& noise) const {
    Features f;
    f.dims = kDims;
    // The mel bands of every frame first: the floor depends on the loudest of them.
    std::vector<float> bands = melBands(samples);
    const std::vector<float> beats = syllableBeats(bands, kBands, noise);
    // In noise, each band is smoothed over three frames: the noise's own flicker from one
    // frame to the next, which differs between two hearings of a word, is halved.
    if (noise.size() == std::size_t(kBands) && bands.size() >= 3 * std::size_t(kBands)) {
        const std::vector<float> raw = bands;
        const std::size_t n = raw.size() / kBands;
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t b = 0; b < std::size_t(kBands); ++b) {
                const float prev = raw[(i > 0 ? i - 1 : i) * kBands + b], next = raw[(i + 1 < n ? i + 1 : i) * kBands + b];
                bands[i * kBands + b] = 0.25f * prev + 0.5f * raw[i * kBands + b] + 0.25f * next;
            }
    }
    aubio_dct_t* dct = new_aubio_dct(kBands);
    fvec_t* logBands = new_fvec(kBands);
    fvec_t* cepstrum = new_fvec(kBands);
    if (!bands.empty() && dct && logBands && cepstrum) {
        const float loudest = *std::max_element(bands.begin(), bands.end());
        // Band values are magnitudes: 20 dB a factor of ten. Digital silence still gets a floor.
        const float common = std::max(loudest * std::pow(10.0f, -kFloorDb / 20.0f), 1e-9f);
        std::vector<float> floor(std::size_t(kBands), common);
        if (noise.size() == floor.size())
            for (std::size_t b = 0; b < floor.size(); ++b) floor[b] = std::max(common, kNoiseFloor * noise[b]);
        Features statics;
        statics.dims = kCoefficients - 1;
        statics.values.reserve(bands.size() / kBands * std::size_t(statics.dims));
        for (std::size_t at = 0; at < bands.size(); at += kBands) {
            for (int b = 0; b < kBands; ++b)
                logBands->data[b] = std::log10(bands[at + std::size_t(b)] + floor[std::size_t(b)]);
            aubio_dct_do(dct, logBands, cepstrum);
            statics.values.insert(statics.values.end(), cepstrum->data + 1, cepstrum->data + kCoefficients);
        }
        normaliseMeans(statics);
        normaliseVariances(statics);
        f = withDeltas(statics);
        f.beats = beats;
    }
    if (cepstrum) del_fvec(cepstrum);
    if (logBands) del_fvec(logBands);
    if (dct) del_aubio_dct(dct);
    return f;
}

Take makeTake(const std::vector<float>& samples) {
    Take t;
    t.features = MfccExtractor().compute(samples);
    t.envelope = levelEnvelope(samples);
    t.samples = samples;
    return t;
}

}  // namespace vexil::voice
