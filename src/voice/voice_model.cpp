#include "voice/voice_model.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QIODevice>
#include <algorithm>
#include <cmath>
#include <limits>

namespace vexil::voice {

namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();
// A sound counts as a label when its distance to the label's nearest take is at most a base
// distance plus kSpreadWeight times the label's spread (the mean distance between its takes),
// and at most kMargin times its distance to the next label. The base carries the decision:
// features are normalised per sound, so distances are on one scale for every voice; the
// spread widens it a little for a user whose takes differ more. All chosen with
// bench/voice_limits.py over the traces of bench/voice_accuracy on the development, test and
// third sets (bench/README.md).
constexpr float kSpreadWeight = 0.3f;
constexpr float kMargin = 0.75f;
// Nor may any stretch of the alignment lie farther off than kStretchLimit: another word that
// shares the label's vowels or its ending comes near on average but not all along. Where the
// takes cannot be heard in the room, the noise moves every stretch of the right word off
// its clean takes too, and the limit widens with the room to kNoisyStretchLimit.
constexpr float kStretchLimit = 0.9f;
constexpr float kNoisyStretchLimit = 1.1f;
//
// The base follows the room. The noise under a word moves it away from its takes even
// where each take is heard in that room (the noise differs from one hearing to the next),
// so in a quiet room the right word lies nearer its takes than in a noisy one, while a
// word that is no label lies about as far in both. A base wide enough for a classroom lets
// such words in where it is quiet; so it runs from kQuietBase below kQuietDb to kNoisyBase
// above kNoisyDb, in a straight line between (in dB).
constexpr float kQuietBase = 0.35f;
constexpr float kNoisyBase = 1.4f;
constexpr float kQuietDb = -32.0f;
constexpr float kNoisyDb = -12.0f;

// From `quiet` below kQuietDb to `noisy` above kNoisyDb; an unknown room is a noisy one.
float alongTheRoom(VoiceModel::NoiseDb noise, float quiet, float noisy) {
    if (!noise || !std::isfinite(*noise)) return noisy;
    const float f = std::clamp((*noise - kQuietDb) / (kNoisyDb - kQuietDb), 0.0f, 1.0f);
    return quiet + f * (noisy - quiet);
}
//
// Where the takes are heard in the room of the sound, the limit also follows how far apart
// the noise leaves the label's own takes there (their spread as heard in the room), weighed
// by kRoomSpreadWeight, over a base from kRoomQuietBase to kRoomNoisyBase. The noise moves
// some words far more than others: a word of voiced sounds ("dos") stays near its takes,
// one of hisses and stops ("test") does not. One limit for all let a word that is no label
// come as near the first as the right sayings of the second come to theirs.
constexpr float kRoomQuietBase = 0.4f;
constexpr float kRoomNoisyBase = 0.2f;
constexpr float kRoomSpreadWeight = 0.75f;

// A label with a single take has no spread of its own: a usual one stands in.
constexpr float kDefaultSpread = 0.35f;
// Takes far apart (a cough trained as a label) must not make the label take any sound.
constexpr float kMaximumSpread = 1.1f;

const std::vector<Take>& noTakes() {
    static const std::vector<Take> none;
    return none;
}

}  // namespace

void normaliseMeans(Features& f) {
    const int n = f.frames();
    if (n == 0) return;
    for (int d = 0; d < f.dims; ++d) {
        double sum = 0;
        for (int i = 0; i < n; ++i) sum += f.values[std::size_t(i) * std::size_t(f.dims) + std::size_t(d)];
        const auto mean = float(sum / n);
        for (int i = 0; i < n; ++i) f.values[std::size_t(i) * std::size_t(f.dims) + std::size_t(d)] -= mean;
    }
}

void normaliseVariances(Features& f) {
    const int n = f.frames();
    if (n < 2) return;
    const auto dims = std::size_t(f.dims);
    for (std::size_t d = 0; d < dims; ++d) {
        double sum = 0;
        for (int i = 0; i < n; ++i) sum += double(f.values[std::size_t(i) * dims + d]) * f.values[std::size_t(i) * dims + d];
        const double sd = std::sqrt(sum / n);
        if (sd < 1e-6) continue;
        const double by = std::sqrt(sd);
        for (int i = 0; i < n; ++i) f.values[std::size_t(i) * dims + d] = float(f.values[std::size_t(i) * dims + d] / by);
    }
}

Features withDeltas(const Features& f) {
    Features out;
    const int n = f.frames();
    const int dims = f.dims;
    out.dims = 2 * dims;
    out.values.reserve(std::size_t(n) * std::size_t(out.dims));
    const auto at = [&](int i, int d) {
        i = std::clamp(i, 0, n - 1);
        return f.values[std::size_t(i) * std::size_t(dims) + std::size_t(d)];
    };
    for (int i = 0; i < n; ++i) {
        for (int d = 0; d < dims; ++d) out.values.push_back(at(i, d));
        for (int d = 0; d < dims; ++d)
            out.values.push_back((at(i + 1, d) - at(i - 1, d) + 2 * (at(i + 2, d) - at(i - 2, d))) / 10.0f);
    }
    return out;
}

DtwMatch dtwMatch(const Features& a, const Features& b) {
    const int n = a.frames();
    const int m = b.frames();
    if (n == 0 || m == 0 || a.dims != b.dims) return {kInfinity, kInfinity};
    const int dims = a.dims;
    const auto at = [m](int i, int j) { return std::size_t(i) * std::size_t(m) + std::size_t(j); };
    // Frame distances, then the cheapest accumulated cost and its path length at each cell.
    std::vector<float> local(std::size_t(n) * std::size_t(m));
    for (int i = 0; i < n; ++i) {
        const float* x = a.frame(i);
        for (int j = 0; j < m; ++j) {
            const float* y = b.frame(j);
            float d = 0;
            for (int k = 0; k < dims; ++k) {
                const float t = x[k] - y[k];
                d += t * t;
            }
            local[at(i, j)] = std::sqrt(d);
        }
    }
    std::vector<float> cost(local.size());
    std::vector<int> length(local.size());
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < m; ++j) {
            float best = i == 0 && j == 0 ? 0.0f : kInfinity;
            int bestLength = 0;
            const auto take = [&](int pi, int pj) {
                if (cost[at(pi, pj)] < best) best = cost[at(pi, pj)], bestLength = length[at(pi, pj)];
            };
            if (i > 0 && j > 0) take(i - 1, j - 1);
            if (i > 0) take(i - 1, j);
            if (j > 0) take(i, j - 1);
            cost[at(i, j)] = best + local[at(i, j)];
            length[at(i, j)] = bestLength + 1;
        }
    // Back along the path: the worst stretch of kStretchSteps steps.
    std::vector<float> path;
    path.reserve(std::size_t(n + m));
    for (int i = n - 1, j = m - 1;;) {
        path.push_back(local[at(i, j)]);
        if (i == 0 && j == 0) break;
        // Always a step back, even where costs overflowed to infinity.
        int ni = i > 0 ? i - 1 : 0, nj = j > 0 ? j - 1 : 0;
        float best = kInfinity;
        const auto consider = [&](int pi, int pj) {
            if (cost[at(pi, pj)] < best) best = cost[at(pi, pj)], ni = pi, nj = pj;
        };
        if (i > 0 && j > 0) consider(i - 1, j - 1);
        if (i > 0) consider(i - 1, j);
        if (j > 0) consider(i, j - 1);
        i = ni, j = nj;
    }
    const std::size_t window = std::min(path.size(), std::size_t(kStretchSteps));
    double run = 0;
    float worst = 0;
    for (std::size_t k = 0; k < path.size(); ++k) {
        run += path[k];
        if (k >= window) run -= path[k - window];
        if (k + 1 >= window) worst = std::max(worst, float(run / double(window)));
    }
    return {cost.back() / float(length.back()), worst};
}

float dtwDistance(const Features& a, const Features& b) {
    return dtwMatch(a, b).distance;
}

float beatsApart(const std::vector<float>& a, const std::vector<float>& b) {
    if (a.empty() || b.empty() || a.size() == b.size()) return 0.0f;
    std::vector<float> more = a.size() > b.size() ? a : b;
    const std::size_t beyond = more.size() - std::min(a.size(), b.size());
    std::partial_sort(more.begin(), more.begin() + std::ptrdiff_t(beyond), more.end());
    double sum = 0;
    for (std::size_t i = 0; i < beyond; ++i) sum += more[i];
    return float(sum);
}

// --- model ----------------------------------------------------------------------------------

void VoiceModel::setLabels(const QStringList& labels) {
    const QStringList wanted = labels.mid(0, kMaxLabels);
    std::vector<std::vector<Take>> takes(std::size_t(wanted.size()));
    for (qsizetype i = 0; i < wanted.size(); ++i)
        if (i < labels_.size() && labels_[i] == wanted[i]) takes[std::size_t(i)] = std::move(takes_[std::size_t(i)]);
    labels_ = wanted;
    takes_ = std::move(takes);
    spread_.assign(takes_.size(), 0.0f);
    for (int l = 1; l <= labelCount(); ++l) updateSpread(l);
}

const std::vector<Take>& VoiceModel::takes(int label) const {
    if (label < 1 || label > labelCount()) return noTakes();
    return takes_[std::size_t(label - 1)];
}

void VoiceModel::setTakes(int label, std::vector<Take> takes) {
    if (label < 1 || label > labelCount()) return;
    if (takes.size() > std::size_t(kMaxTakes)) takes.resize(std::size_t(kMaxTakes));
    takes_[std::size_t(label - 1)] = std::move(takes);
    updateSpread(label);
}

void VoiceModel::clearTakes() {
    for (auto& t : takes_) t.clear();
    std::fill(spread_.begin(), spread_.end(), 0.0f);
}

bool VoiceModel::anyTrained() const {
    return std::any_of(takes_.begin(), takes_.end(), [](const auto& t) { return !t.empty(); });
}

bool VoiceModel::takesKeepSound() const {
    for (const auto& label : takes_)
        for (const Take& t : label)
            if (t.samples.empty()) return false;
    return true;
}

namespace {

// The mean distance between every two of `n` sounds, `at(i)` the features of the i-th; 0
// with fewer than two.
template <class At>
float meanDistanceBetween(std::size_t n, At at) {
    double sum = 0;
    int pairs = 0;
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j)
            if (const float d = dtwDistance(at(i), at(j)); std::isfinite(d)) sum += d, ++pairs;
    return pairs ? float(sum / pairs) : 0.0f;
}

}  // namespace

void VoiceModel::updateSpread(int label) {
    const std::vector<Take>& t = takes(label);
    spread_[std::size_t(label - 1)] =
        meanDistanceBetween(t.size(), [&](std::size_t i) -> const Features& { return t[i].features; });
}

float VoiceModel::threshold(int label, NoiseDb noise) const {
    return threshold(label, noise, 0.0f);
}

float VoiceModel::countedSpread(int label) const {
    const float spread = spread_[std::size_t(label - 1)];
    return std::min(spread > 0 ? spread : kDefaultSpread, kMaximumSpread);
}

float VoiceModel::threshold(int label, NoiseDb noise, float roomSpread) const {
    if (label < 1 || label > labelCount()) return 0;
    const float own = kSpreadWeight * countedSpread(label);
    if (!(roomSpread > 0)) return alongTheRoom(noise, kQuietBase, kNoisyBase) + own;
    return alongTheRoom(noise, kRoomQuietBase, kRoomNoisyBase) + own +
           kRoomSpreadWeight * std::min(roomSpread, kMaximumSpread);
}

VoiceModel::Result VoiceModel::classify(const Features& sound, NoiseDb noise) const {
    return classify(sound, {}, noise);
}

VoiceModel::Result VoiceModel::classify(const Features& sound, const HeardAs& heard, NoiseDb noise) const {
    Result r;
    float best = kInfinity, second = kInfinity;
    std::vector<Features> heardTakes, nearestTakes;  // as heard in the room
    for (std::size_t l = 0; l < takes_.size(); ++l) {
        // The label's nearest take.
        DtwMatch nearest{kInfinity, kInfinity};
        heardTakes.clear();
        for (const Take& t : takes_[l]) {
            if (heard) heardTakes.push_back(heard(t));
            const DtwMatch match = dtwMatch(sound, heard ? heardTakes.back() : t.features);
            if (match.distance < nearest.distance) nearest = match;
        }
        if (nearest.distance < best) {
            second = best;
            best = nearest.distance;
            r.nearest = int(l) + 1;
            r.worstStretch = nearest.worstStretch;
            nearestTakes.swap(heardTakes);
        } else if (nearest.distance < second) {
            second = nearest.distance;
        }
    }
    if (r.nearest == 0) return r;
    r.distance = best;
    r.runnerUp = second;
    r.roomSpread = meanDistanceBetween(nearestTakes.size(),
                                       [&](std::size_t i) -> const Features& { return nearestTakes[i]; });
    r.spread = countedSpread(r.nearest);
    r.threshold = threshold(r.nearest, noise, r.roomSpread);
    // The beats of the take nearest in beats: a user may say a label in two ways.
    r.beatsApart = kInfinity;
    const auto& own = takes_[std::size_t(r.nearest - 1)];
    for (std::size_t t = 0; t < own.size(); ++t) {
        const std::vector<float>& beats = heard ? nearestTakes[t].beats : own[t].features.beats;
        r.beatsApart = std::min(r.beatsApart, beatsApart(sound.beats, beats));
    }
    // Near enough to its own takes all along, in the syllables of one of them (kBeatLimit),
    // and not a sound halfway between two labels.
    const float stretchLimit =
        r.roomSpread > 0 ? kStretchLimit : alongTheRoom(noise, kStretchLimit, kNoisyStretchLimit);
    if (best <= r.threshold && r.worstStretch <= stretchLimit && r.beatsApart < kBeatLimit &&
        (!std::isfinite(second) || best <= kMargin * second))
        r.label = r.nearest;
    return r;
}

std::vector<std::vector<float>> VoiceModel::separation() const {
    const std::size_t n = takes_.size();
    std::vector<std::vector<float>> s(n, std::vector<float>(n, 0.0f));
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i; j < n; ++j) {
            double sum = 0;
            int count = 0;
            for (std::size_t a = 0; a < takes_[i].size(); ++a)
                for (std::size_t b = (i == j ? a + 1 : 0); b < takes_[j].size(); ++b) {
                    const float d = dtwDistance(takes_[i][a].features, takes_[j][b].features);
                    if (std::isfinite(d)) sum += d, ++count;
                }
            s[i][j] = s[j][i] = count ? float(sum / count) : 0.0f;
        }
    return s;
}

// --- saved sounds ----------------------------------------------------------------------------

namespace {

constexpr char kMagic[] = "VXSONS";
// 2: the bands under a floor below the loudest (voice/mfcc.h); the takes of
// version 1 were measured without it and would not match what is heard now.
// 3: each take also keeps its sound.
// 4: each coefficient divided by the square root of its spread, not by the spread. Takes of
// version 3 are measured again from their sounds; those of version 2 kept none.
// 5: each take also keeps its syllable beats (voice/beats.h). Takes of version 4 are
// measured as now but without them: measured again from their sounds where they can be,
// kept without beats (not compared by them) where they cannot.
constexpr quint16 kVersion = 5;
constexpr quint16 kFirstReadable = 3;
constexpr quint16 kMeasuredAsNow = 4;
constexpr quint16 kWithBeats = 5;
constexpr int kDigestSize = 32;

void writeFloats(QDataStream& out, const std::vector<float>& v) {
    out << quint32(v.size());
    for (float x : v) out << x;
}

bool readFloats(QDataStream& in, std::vector<float>& v, quint32 limit) {
    quint32 n = 0;
    in >> n;
    if (in.status() != QDataStream::Ok || n > limit) return false;
    v.resize(n);
    for (float& x : v) {
        in >> x;
        if (!std::isfinite(x)) return false;
    }
    return in.status() == QDataStream::Ok;
}

void setUp(QDataStream& s) {
    s.setByteOrder(QDataStream::LittleEndian);
    s.setFloatingPointPrecision(QDataStream::SinglePrecision);
    s.setVersion(QDataStream::Qt_6_0);
}

// The part before the digest, when the digest matches; empty otherwise.
bool checkedBody(const QByteArray& bytes, QByteArray& body) {
    const qsizetype magic = qsizetype(sizeof kMagic - 1);
    if (bytes.size() < magic + 2 + kDigestSize || !bytes.startsWith(kMagic)) return false;
    body = bytes.left(bytes.size() - kDigestSize);
    return QCryptographicHash::hash(body, QCryptographicHash::Sha256) == bytes.right(kDigestSize);
}

struct Header {
    quint16 version = 0;
    QStringList labels;
};

bool readHeader(QDataStream& in, Header& h) {
    in.skipRawData(int(sizeof kMagic - 1));
    in >> h.version;
    if (in.status() != QDataStream::Ok) return false;
    if (h.version < kFirstReadable || h.version > kVersion) return true;
    quint16 count = 0;
    in >> count;
    if (count > VoiceModel::kMaxLabels) return false;
    for (int i = 0; i < count; ++i) {
        QString label;
        in >> label;
        if (in.status() != QDataStream::Ok || label.size() > 256) return false;
        h.labels << label;
    }
    return in.status() == QDataStream::Ok;
}

}  // namespace

QByteArray saveVoiceModel(const VoiceModel& model) {
    QByteArray bytes(kMagic);
    {
        QDataStream out(&bytes, QIODevice::Append);
        setUp(out);
        out << kVersion << quint16(model.labelCount());
        for (const QString& l : model.labels()) out << l;
        for (int l = 1; l <= model.labelCount(); ++l) {
            const auto& takes = model.takes(l);
            out << quint16(takes.size());
            for (const Take& t : takes) {
                out << quint16(t.features.dims);
                writeFloats(out, t.features.values);
                writeFloats(out, t.features.beats);
                writeFloats(out, t.envelope);
                writeFloats(out, t.samples);
            }
        }
    }
    bytes += QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
    return bytes;
}

bool savedLabels(const QByteArray& bytes, QStringList& labels) {
    QByteArray body;
    if (!checkedBody(bytes, body)) return false;
    QDataStream in(body);
    setUp(in);
    Header h;
    if (!readHeader(in, h) || h.version < kFirstReadable || h.version > kVersion) return false;
    labels = h.labels;
    return true;
}

LoadStatus loadVoiceModel(const QByteArray& bytes, const QStringList& labels, VoiceModel& model,
                          const Measure& measure) {
    if (bytes.isEmpty()) return LoadStatus::Missing;
    QByteArray body;
    if (!checkedBody(bytes, body)) return LoadStatus::Damaged;
    QDataStream in(body);
    setUp(in);
    Header h;
    if (!readHeader(in, h)) return LoadStatus::Damaged;
    if (h.version > kVersion) return LoadStatus::NewerVersion;
    if (h.version < kFirstReadable) return h.version >= 1 ? LoadStatus::OlderVersion : LoadStatus::Damaged;
    if (h.labels != labels.mid(0, VoiceModel::kMaxLabels)) return LoadStatus::OtherCommandSet;
    VoiceModel loaded;
    loaded.setLabels(h.labels);
    bool older = false;  // a take of an earlier version that cannot be measured again
    for (int l = 1; l <= loaded.labelCount(); ++l) {
        quint16 count = 0;
        in >> count;
        if (in.status() != QDataStream::Ok || count > VoiceModel::kMaxTakes) return LoadStatus::Damaged;
        std::vector<Take> takes(count);
        for (Take& t : takes) {
            quint16 dims = 0;
            in >> dims;
            if (dims == 0 || dims > VoiceModel::kMaxDims) return LoadStatus::Damaged;
            t.features.dims = dims;
            if (!readFloats(in, t.features.values, quint32(dims) * VoiceModel::kMaxFrames) ||
                t.features.values.size() % dims != 0 || t.features.values.empty() ||
                (h.version >= kWithBeats &&
                 !readFloats(in, t.features.beats, VoiceModel::kMaxFrames)) ||
                !readFloats(in, t.envelope, VoiceModel::kMaxFrames))
                return LoadStatus::Damaged;
            if (!readFloats(in, t.samples, VoiceModel::kMaxSamples)) return LoadStatus::Damaged;
            if (h.version < kMeasuredAsNow && !older) {
                if (measure && !t.samples.empty()) t.features = measure(t.samples);
                older = !measure || t.samples.empty() || t.features.empty() ||
                        t.features.dims > VoiceModel::kMaxDims;
            } else if (h.version < kWithBeats && measure && !t.samples.empty()) {
                Features now = measure(t.samples);
                if (now.dims == t.features.dims && !now.empty()) t.features = std::move(now);
            }
        }
        loaded.setTakes(l, std::move(takes));
    }
    // Read whole first: a damaged file says so, whatever its version.
    if (!in.atEnd()) return LoadStatus::Damaged;
    if (older) return LoadStatus::OlderVersion;
    model = std::move(loaded);
    return LoadStatus::Loaded;
}

}  // namespace vexil::voice
