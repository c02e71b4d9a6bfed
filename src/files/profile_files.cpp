#include "files/profile_files.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <climits>
#include <set>

#include "i18n/runtime_error.h"
#include "i18n/texts.h"
#include "session/session.h"
#include "settings/adapt_settings.h"
#include "settings/ini_file.h"
#include "settings/joystick_probe.h"
#include "settings/number_text.h"

namespace vexil {
namespace {

const QString kSection = QStringLiteral("Vexil");
const QString kSettingsFile = QStringLiteral("Vexil.INI");

// Reads the keys of one profile, remembering which errors to show.
class ProfileReader {
public:
    ProfileReader(Session& session, const IniFile& ini) : session_(session), ini_(ini) {}

    QString text(const char* key) const { return ini_.value(kSection, QLatin1String(key)); }

    // The leading number of the key, rounded into 16 bits; nothing (and error 6 noted) when
    // it does not fit, so that the field keeps its value.
    std::optional<std::int16_t> number(const char* key) {
        const std::optional<double> n = leadingNumber(text(key));
        const std::optional<std::int16_t> v = n ? roundToInt16(*n) : std::nullopt;
        if (!v) errors_.insert(errnum::Overflow);
        return v;
    }
    void read(const char* key, std::int16_t& field) {
        if (const auto v = number(key)) field = *v;
    }
    void read(const char* key, double& field) {
        if (const auto v = leadingNumber(text(key)))
            field = *v;
        else
            errors_.insert(errnum::Overflow);
    }
    void showErrors() {
        for (int e : errors_) session_.message(QStringLiteral("1 Error ") + QString::number(e));
    }

private:
    Session& session_;
    const IniFile& ini_;
    std::set<int> errors_;
};

// An integer setting of Vexil.INI: optional sign and decimal digits, anything else 0,
// kept within 16 bits.
std::int16_t settingsInteger(const QString& text) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::min<long long>(value * 10 + (text[i].unicode() - u'0'), 1LL << 20);
    if (negative) value = 0;  // negative values read as zero
    return std::int16_t(std::min<long long>(value, SHRT_MAX));
}

bool isBlankChar(QChar c) {
    return c == u' ' || c == u'\t';
}

// Text written "as it stands" would lose blanks at its ends, or a pair of quotes around it,
// when read back (values are trimmed and unquoted); such a text is written in quotes, which
// the reading takes off again.
QString storedText(const QString& text) {
    if (text.isEmpty()) return text;
    // A carriage return at the end would be read back as the end of the line.
    const bool blankEnds =
        isBlankChar(text.front()) || isBlankChar(text.back()) || text.back() == u'\r';
    const bool quoted = text.size() >= 2 && (text.front() == u'"' || text.front() == u'\'') &&
                        text.back() == text.front();
    return blankEnds || quoted ? u'"' + text + u'"' : text;
}

QString settingsPathIn(const Session& session, const QString& folder) {
    return realPath(kSettingsFile, folder, session.folders.drives);
}

}  // namespace

QString programSettingsPath(const Session& session) {
    if (session.folders.userFolder.isEmpty()) return QString();
    return settingsPathIn(session, session.folders.userFolder);
}

void loadProgramSettings(Session& session, RememberProfile rememberLast) {
    bool found = false;
    const QString userPath = programSettingsPath(session);
    IniFile ini = userPath.isEmpty() ? IniFile() : IniFile::read(userPath, &found);
    if (!found) ini = IniFile::read(settingsPathIn(session, session.folders.programFolder));

    ProgramSettings& s = session.programSettings;
    const QString interval = ini.value(kSection, QStringLiteral("Interval"));
    // An empty value counts as missing, as for any integer setting.
    s.Interval = interval.isEmpty() ? std::int16_t(500) : settingsInteger(interval);
    s.Interval = std::max<std::int16_t>(s.Interval, 100);
    s.So = ini.value(kSection, QStringLiteral("So"), QStringLiteral("Si"), 40);
    session.timer1->setInterval(s.Interval);
    // The whole path: a cut one would name another file, or none.
    const QString user =
        ini.value(kSection, QStringLiteral("usuari"), QString(), INT_MAX).trimmed();
    if (user.isEmpty()) return;
    const QString path = user.toUpper();
    // A switch user cannot work the mouse mode the program would quietly start in.
    if (!session.fileExists(path)) {
        session.message(messageText(15) + user);
        return;
    }
    loadUserProfile(session, path, rememberLast);
}

void loadUserProfile(Session& session, const QString& path, RememberProfile remember) {
    if (!session.fileExists(path)) return;
    readUserProfile(session, path);
    session.view->setAccessMenuCheck(accessMenuItem(session.profile.accessMode));
    if (remember == RememberProfile::No) return;

    const QString userPath = programSettingsPath(session);
    if (userPath.isEmpty()) return;
    bool found = false;
    IniFile ini = IniFile::read(userPath, &found);
    // Already remembered so: nothing to write.
    if (found && ini.value(kSection, QStringLiteral("usuari"), QString(), INT_MAX) == path) return;
    // The first write starts from the shipped settings, so that they carry over.
    if (!found) ini = IniFile::read(settingsPathIn(session, session.folders.programFolder));
    ini.setValue(kSection, QStringLiteral("usuari"), path);
    ini.save(userPath);  // remembering the profile is a convenience; failure is silent
}

void readUserProfile(Session& session, const QString& path) {
    const QString file = session.realPath(path);
    bool found = false;
    const IniFile ini = IniFile::read(file, &found);
    if (!found && QFileInfo::exists(file)) {
        // Unreadable: say so and keep the profile as it is rather than reset it.
        session.message(QStringLiteral("1 Error ") + QString::number(errnum::PathFileAccess));
        return;
    }
    readUserProfile(session, ini);
}

void readUserProfile(Session& session, const IniFile& ini) {
    ProfileReader r(session, ini);
    UserProfile& p = session.profile;
    ProgramSettings& s = session.programSettings;

    if (!r.text("Interval").isEmpty()) {
        if (const auto v = r.number("Interval")) {
            s.Interval = std::max<std::int16_t>(*v, 100);
            session.timer1->setInterval(s.Interval);
        }
    }
    if (const QString so = r.text("So"); !so.isEmpty()) s.So = so;
    r.read("modus", p.accessMode);
    r.read("temps", p.temps);
    r.read("gruix", p.gruix);
    if (p.gruix <= 0) p.gruix = 8;
    r.read("color", p.color);
    if (p.color < 1) p.color = 255;
    r.read("accio1", p.switches[1].accio);
    r.read("accio2", p.switches[2].accio);
    if (const QString v = r.text("variable1"); !v.isEmpty()) p.switches[1].variable = v;
    if (const QString v = r.text("variable2"); !v.isEmpty()) p.switches[2].variable = v;
    r.read("retard1", p.switches[1].retard);
    r.read("retard2", p.switches[2].retard);
    r.read("n_joystic", p.n_joystic);
    if (p.n_joystic > 0) probeJoystick(p, session.platform.joystick, p.n_joystic - 1);
    r.read("joystic_sensi", p.joystic_sensi);
    if (p.joystic_sensi == 0) p.joystic_sensi = 1;
    r.read("joystic_retard", p.joystic_retard);
    if (p.joystic_retard == 0) p.joystic_retard = 10;
    // Settings out of range are off; the rest of the profile loads as it is.
    readAdaptSettings(p.adapt, ini);
    r.showErrors();
}

int writeUserProfile(const Session& session, const QString& path) {
    const QString file = session.realPath(path);
    IniFile ini = IniFile::read(file);
    const UserProfile& p = session.profile;
    const ProgramSettings& s = session.programSettings;
    const auto put = [&](const char* key, const QString& text) {
        ini.setValue(kSection, QLatin1String(key), text);
    };
    put("Interval", numberText(s.Interval));
    put("So", storedText(s.So));
    put("modus", numberText(p.accessMode));
    put("temps", numberText(p.temps));
    put("gruix", numberText(p.gruix));
    put("color", numberText(p.color));
    put("accio1", numberText(p.switches[1].accio));
    put("accio2", numberText(p.switches[2].accio));
    put("variable1", storedText(p.switches[1].variable));
    put("variable2", storedText(p.switches[2].variable));
    put("retard1", numberText(p.switches[1].retard));
    put("retard2", numberText(p.switches[2].retard));
    put("n_joystic", numberText(p.n_joystic));
    put("joystic_sensi", numberText(p.joystic_sensi));
    put("joystic_retard", numberText(p.joystic_retard));
    writeAdaptSettings(p.adapt, ini);
    const int error = ini.save(file);
    if (error != 0)
        session.platform.dialogs.message(QStringLiteral("3 Error") + QString::number(error));
    return error;
}

void resetUserProfile(Session& session) {
    session.profile = UserProfile{};
    session.profile.accessMode = 0;
    session.profile.color = 255;
    session.profile.gruix = 8;
    session.view->setAccessMenuCheck(0);
}

int accessMenuItem(int accessMode) {
    if (accessMode >= 0 && accessMode <= 3) return accessMode;
    if (accessMode == 4 || accessMode == 8) return 4;
    if (accessMode >= 5 && accessMode <= 7) return 5;
    return -1;
}

QString profileFileStem(const Session& session) {
    QString profile;
    if (QFile f(programSettingsPath(session)); f.open(QIODevice::ReadOnly))
        profile = IniFile(f.readAll()).value(QStringLiteral("Vexil"), QStringLiteral("usuari"));
    profile = profile.trimmed().toUpper();
    if (profile.isEmpty()) return QStringLiteral("SENSE-USUARI");
    QString base = QFileInfo(QString(profile).replace(u'\\', u'/')).completeBaseName();
    base.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]")), QStringLiteral("_"));
    const QByteArray hash =
        QCryptographicHash::hash(profile.toUtf8(), QCryptographicHash::Sha256).toHex().left(8);
    return (base.isEmpty() ? QStringLiteral("USUARI") : base) + u'-' + QString::fromLatin1(hash);
}

}  // namespace vexil
