#include "platform/voice/mfcc.h"

#include <aubio/aubio.h>

#include "access/sound_cutter.h"

namespace vexil::voice {

Features MfccExtractor::compute(const std::vector<float>& samples) const {
    Features f;
    f.dims = kDims;
    if (samples.size() < std::size_t(kHop)) return f;
    Features statics;
    statics.dims = kCoefficients - 1;
    aubio_pvoc_t* pv = new_aubio_pvoc(kWindow, kHop);
    aubio_mfcc_t* mfcc = new_aubio_mfcc(kWindow, kBands, kCoefficients, SoundCutter::kSampleRate);
    fvec_t* in = new_fvec(kHop);
    cvec_t* spectrum = new_cvec(kWindow);
    fvec_t* out = new_fvec(kCoefficients);
    if (pv && mfcc && in && spectrum && out) {
        // Pre-emphasis lifts the upper formants, where consonants differ.
        float previous = 0;
        for (std::size_t at = 0; at + kHop <= samples.size(); at += kHop) {
            for (int i = 0; i < kHop; ++i) {
                const float x = samples[at + std::size_t(i)];
                in->data[i] = x - 0.97f * previous;
                previous = x;
            }
            aubio_pvoc_do(pv, in, spectrum);
            aubio_mfcc_do(mfcc, spectrum, out);
            for (int c = 1; c < kCoefficients; ++c) statics.values.push_back(out->data[c]);
        }
        normaliseMeans(statics);
        normaliseVariances(statics);
        f = withDeltas(statics);
    }
    if (out) del_fvec(out);
    if (spectrum) del_cvec(spectrum);
    if (in) del_fvec(in);
    if (mfcc) del_aubio_mfcc(mfcc);
    if (pv) del_aubio_pvoc(pv);
    return f;
}

Take makeTake(const std::vector<float>& samples) {
    Take t;
    t.features = MfccExtractor().compute(samples);
    t.envelope = levelEnvelope(samples);
    return t;
}

}  // namespace vexil::voice
