// Values inside command arguments: references, the random choice, the memory's numbers and
// the registry command's argument.
#include <cmath>
#include <random>

#include "commands/interpreter.h"
#include "session/session.h"

namespace vexil {

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

// Optional sign, digits with at most one decimal point (one digit at least), from `i`;
// returns the index after the number or -1.
int scanDecimal(const QString& t, int i) {
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) ++i;
    int digits = 0;
    bool point = false;
    for (; i < t.size(); ++i) {
        if (t[i].isDigit() && t[i].unicode() < 128) ++digits;
        else if (t[i] == u'.' && !point) point = true;
        else break;
    }
    return digits ? i : -1;
}

}  // namespace

bool isNumericText(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return false;
    if (t.size() > 2 && t[0] == u'&' && (t[1] == u'H' || t[1] == u'h')) {
        bool ok = false;
        t.mid(2).toULongLong(&ok, 16);
        return ok;
    }
    int i = scanDecimal(t, 0);
    if (i < 0) return false;
    if (i < t.size() && QStringLiteral("eEdD").contains(t[i])) {
        int j = i + 1;
        if (j < t.size() && (t[j] == u'+' || t[j] == u'-')) ++j;
        const int start = j;
        while (j < t.size() && t[j].isDigit() && t[j].unicode() < 128) ++j;
        if (j == start) return false;
        i = j;
    }
    return i == t.size();
}

double leadingValue(const QString& text) {
    int i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    const int end = scanDecimal(text, i);
    if (end < 0) return 0;
    return text.mid(i, end - i).toDouble();
}

QString numberToText(double value) {
    if (!std::isfinite(value)) return QStringLiteral("0");
    if (value == 0) return QStringLiteral("0");
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<long long>(value));
    return QString::number(value, 'g', 15).toUpper();
}

QString valor_f(Session& session, const QString& text) {
    const int open = text.lastIndexOf(u'{');
    if (open < 0) return text;
    const int bar = text.indexOf(u'|', open);
    const int close = text.indexOf(u'}', open);
    if (bar < 0 || close < 0 || close < bar) return text;
    const QString inner = text.mid(bar + 1, close - bar - 1);
    const int blank = inner.indexOf(u' ');
    // With a blank the name is upper-cased, without one it is taken as written.
    const QString name = blank >= 0 ? inner.left(blank).toUpper() : inner;
    const QString argument = blank >= 0 ? inner.mid(blank + 1).trimmed() : QString();
    QString value = name;
    if (name == QLatin1String("RCW")) value = session.platform.clipboard.text();
    else if (name == QLatin1String("RM")) value = session.player.memory;
    else if (name == QLatin1String("TRIA") || name == QLatin1String("ESCOGE"))
        value = pickRandom(session, argument);
    return text.left(open) + value + text.mid(close + 1);
}

QString pickRandom(Session& session, const QString& argument) {
    const QString text = argument.mid(1);  // after "["
    const int hash = text.indexOf(u'#');
    const QString first = (hash < 0 ? text : text.left(hash)).trimmed();
    QStringList items = text.split(u'#');
    items.last().chop(1);  // the "]"
    auto& random = session.player.random;
    auto pickOne = [&]() -> const QString& {
        std::uniform_int_distribution<qsizetype> pick(0, items.size() - 1);
        return items.at(pick(random));
    };
    if (!isNumericText(first) || items.size() == 1) return pickOne();
    if (items.size() >= 3) return numberToText(std::nearbyint(leadingValue(pickOne())));
    const double lo = leadingValue(items[0]);
    const double hi = leadingValue(items[1]);
    const double fraction = std::uniform_real_distribution<double>(0.0, 1.0)(random);
    return numberToText(lo + std::floor(fraction * (hi - lo)));
}

QString resolveProgramAlias(const Session& session, const QString& c) {
    const int exe = c.toUpper().indexOf(QLatin1String(".EXE"));
    if (exe < 0) return c;
    const QString programPart = c.left(exe + 4);
    const int slash = programPart.lastIndexOf(u'\\');
    const QString name = programPart.mid(slash + 1).toUpper();
    const QString& catalogue = session.catalogue.programCatalogue;
    const int at = catalogue.indexOf(u'|' + name + u'|');
    if (at < 0) return c;
    const int start = at + int(name.size()) + 2;
    const int end = catalogue.indexOf(u'|', start);
    const QString path = end < 0 ? catalogue.mid(start) : catalogue.mid(start, end - start);
    return path + c.mid(exe + 4);
}

void registryCommand(Session& session, const QString& argument) {
    const int slash = argument.indexOf(u'\\');
    if (slash < 0) return;
    const int bracket = argument.indexOf(u']', slash);
    if (bracket < 0) return;
    const int eq = argument.indexOf(u'=', bracket);
    if (eq < 0) return;
    const QString root = argument.mid(1, slash - 1);
    const QString key = argument.mid(slash + 1, bracket - slash - 1);
    const QString name = argument.mid(bracket + 1, eq - bracket - 1);
    const QString valueText = argument.mid(eq + 1);
    if (!session.registry.writeRegistryValue(root, key, name, valueText)) return;
    // What the store now holds, as it decoded the text. The default value is text, up to
    // its first zero; the zero that ends it in the store is not part of it.
    if (const RegistryValue* value = session.registry.value(root, key, name)) {
        RegistryValue shown = *value;
        if (name.isEmpty() && shown.data.endsWith('\0')) shown.data.chop(1);
        session.observer->registryWritten(root, key, name, shown);
    }
}

}  // namespace vexil
