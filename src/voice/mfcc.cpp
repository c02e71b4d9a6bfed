#include "voice/mfcc.h"

#include <aubio/aubio.h>

#include <algorithm>
#include <cmath>

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

Features MfccExtractor::compute(const std::vector<float>& samples) const {
    Features f;
    f.dims = kDims;
    if (samples.size() < std::size_t(kHop)) return f;
    AubioParts a;
    if (!a.ok() || aubio_filterbank_set_mel_coeffs_slaney(a.bank, SoundCutter::kSampleRate) != 0)
        return f;
    // The mel bands of every frame first: the floor depends on the loudest of them.
    std::vector<float> bands;
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
    const float loudest = bands.empty() ? 0.0f : *std::max_element(bands.begin(), bands.end());
    // Band values are magnitudes: 20 dB a factor of ten. Digital silence still gets a floor.
    const float floor = std::max(loudest * std::pow(10.0f, -kFloorDb / 20.0f), 1e-9f);
    Features statics;
    statics.dims = kCoefficients - 1;
    statics.values.reserve(bands.size() / kBands * std::size_t(statics.dims));
    for (std::size_t at = 0; at < bands.size(); at += kBands) {
        for (int b = 0; b < kBands; ++b) a.bands->data[b] = std::log10(bands[at + std::size_t(b)] + floor);
        aubio_dct_do(a.dct, a.bands, a.cepstrum);
        statics.values.insert(statics.values.end(), a.cepstrum->data + 1, a.cepstrum->data + kCoefficients);
    }
    normaliseMeans(statics);
    normaliseVariances(statics);
    return withDeltas(statics);
}

Take makeTake(const std::vector<float>& samples) {
    Take t;
    t.features = MfccExtractor().compute(samples);
    t.envelope = levelEnvelope(samples);
    return t;
}

}  // namespace vexil::voice
