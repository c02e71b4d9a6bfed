#include "access/voice_model.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QIODevice>
#include <algorithm>
#include <cmath>
#include <limits>

namespace vexil::voice {

namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();
// How far beyond its own takes' spread a sound may lie and still count as the label, and
// how much nearer than the next label it must be (measured with bench/voice_accuracy).
constexpr float kSpreadFactor = 1.45f;
constexpr float kMargin = 0.92f;
// Below this spread (takes nearly identical) the threshold would reject the label's own
// sound said a little differently.
constexpr float kMinimumSpread = 2.0f;
// A label with a single take has no spread of its own: this one stands in.
constexpr float kDefaultSpread = 4.0f;

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
        for (int i = 0; i < n; ++i) f.values[std::size_t(i) * dims + d] = float(f.values[std::size_t(i) * dims + d] / sd);
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

float dtwDistance(const Features& a, const Features& b) {
    const int n = a.frames();
    const int m = b.frames();
    if (n == 0 || m == 0 || a.dims != b.dims) return kInfinity;
    const int dims = a.dims;
    // Two rows of accumulated cost and of path length.
    const auto columns = std::size_t(m);
    std::vector<float> prevCost(columns, kInfinity), cost(columns, 0.0f);
    std::vector<int> prevLen(columns, 0), len(columns, 0);
    for (int i = 0; i < n; ++i) {
        const float* x = a.frame(i);
        for (int j = 0; j < m; ++j) {
            const float* y = b.frame(j);
            float d = 0;
            for (int k = 0; k < dims; ++k) {
                const float t = x[k] - y[k];
                d += t * t;
            }
            d = std::sqrt(d);
            float best = kInfinity;
            int bestLen = 0;
            if (i == 0 && j == 0) {
                best = 0;
            } else {
                const auto take = [&](float c, int l) {
                    if (c < best) best = c, bestLen = l;
                };
                if (i > 0 && j > 0) take(prevCost[std::size_t(j - 1)], prevLen[std::size_t(j - 1)]);
                if (i > 0) take(prevCost[std::size_t(j)], prevLen[std::size_t(j)]);
                if (j > 0) take(cost[std::size_t(j - 1)], len[std::size_t(j - 1)]);
            }
            cost[std::size_t(j)] = best + d;
            len[std::size_t(j)] = bestLen + 1;
        }
        std::swap(cost, prevCost);
        std::swap(len, prevLen);
    }
    return prevCost[std::size_t(m - 1)] / float(prevLen[std::size_t(m - 1)]);
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

void VoiceModel::updateSpread(int label) {
    const std::vector<Take>& t = takes(label);
    double sum = 0;
    int pairs = 0;
    for (std::size_t i = 0; i < t.size(); ++i)
        for (std::size_t j = i + 1; j < t.size(); ++j) {
            const float d = dtwDistance(t[i].features, t[j].features);
            if (std::isfinite(d)) sum += d, ++pairs;
        }
    spread_[std::size_t(label - 1)] = pairs ? float(sum / pairs) : 0.0f;
}

float VoiceModel::threshold(int label) const {
    if (label < 1 || label > labelCount()) return 0;
    const float spread = spread_[std::size_t(label - 1)];
    return kSpreadFactor * (spread > 0 ? std::max(spread, kMinimumSpread) : kDefaultSpread);
}

std::vector<float> VoiceModel::distances(const Features& sound) const {
    std::vector<float> result(takes_.size(), kInfinity);
    for (std::size_t l = 0; l < takes_.size(); ++l)
        for (const Take& t : takes_[l]) result[l] = std::min(result[l], dtwDistance(sound, t.features));
    return result;
}

VoiceModel::Result VoiceModel::classify(const Features& sound) const {
    Result r;
    const std::vector<float> d = distances(sound);
    float best = kInfinity, second = kInfinity;
    for (std::size_t l = 0; l < d.size(); ++l) {
        if (d[l] < best) {
            second = best;
            best = d[l];
            r.nearest = int(l) + 1;
        } else if (d[l] < second) {
            second = d[l];
        }
    }
    if (r.nearest == 0) return r;
    r.distance = best;
    r.runnerUp = second;
    r.threshold = threshold(r.nearest);
    // Near enough to its own takes, and not a sound halfway between two labels.
    if (best <= r.threshold && (!std::isfinite(second) || best <= kMargin * second))
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
constexpr quint16 kVersion = 1;
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
    if (h.version != kVersion) return true;
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
                writeFloats(out, t.envelope);
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
    if (!readHeader(in, h) || h.version != kVersion) return false;
    labels = h.labels;
    return true;
}

LoadStatus loadVoiceModel(const QByteArray& bytes, const QStringList& labels, VoiceModel& model) {
    if (bytes.isEmpty()) return LoadStatus::Missing;
    QByteArray body;
    if (!checkedBody(bytes, body)) return LoadStatus::Damaged;
    QDataStream in(body);
    setUp(in);
    Header h;
    if (!readHeader(in, h)) return LoadStatus::Damaged;
    if (h.version > kVersion) return LoadStatus::NewerVersion;
    if (h.version != kVersion) return LoadStatus::Damaged;
    if (h.labels != labels.mid(0, VoiceModel::kMaxLabels)) return LoadStatus::OtherCommandSet;
    VoiceModel loaded;
    loaded.setLabels(h.labels);
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
                !readFloats(in, t.envelope, VoiceModel::kMaxFrames))
                return LoadStatus::Damaged;
        }
        loaded.setTakes(l, std::move(takes));
    }
    if (!in.atEnd()) return LoadStatus::Damaged;
    model = std::move(loaded);
    return LoadStatus::Loaded;
}

}  // namespace vexil::voice
