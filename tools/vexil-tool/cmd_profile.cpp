#include <QDir>
#include <QFileInfo>
#include <QJsonArray>

#include "files/profile_files.h"
#include "platform/fake/fake_platform.h"
#include "session/session.h"
#include "tool.h"

namespace vexil::tool {
namespace {

QJsonObject profileJson(const Session& session) {
    const UserProfile& p = session.profile;
    QJsonArray switches;
    for (const SwitchSetting& s : p.switches)
        switches.append(
            QJsonObject{{"accio", s.accio}, {"variable", s.variable}, {"retard", s.retard}});
    QJsonArray centre;
    for (std::int32_t v : p.joystickCentre) centre.append(qint64(v));
    QJsonArray words;
    for (const QString& w : p.voiceWords) words.append(w);
    return QJsonObject{
        {"accessMode", p.accessMode},
        {"switches", switches},
        {"temps", p.temps},
        {"gruix", p.gruix},
        {"color", p.color},
        {"joystickCentre", centre},
        {"n_joystic", p.n_joystic},
        {"joystic_sensi", p.joystic_sensi},
        {"joystic_retard", p.joystic_retard},
        {"voiceWords", words},
        {"voiceCommandCount", p.voiceCommandCount},
        {"engineVersion", qint64(p.engineVersion)},
        {"recognitionState", p.recognitionState},
        {"recognitionTenths", p.recognitionTenths},
        {"Interval", session.programSettings.Interval},
        {"So", session.programSettings.So},
    };
}

int run(const QStringList& given) {
    const QStringList args = operandsOf(given);
    if (args.size() != 1) return usageError(profileCommand, QStringLiteral("one FILE expected"));
    if (!QFileInfo(args[0]).isFile())
        return usageError(profileCommand, args[0] + QStringLiteral(": no such file"));
    FakePlatform fake;
    Session session(fake.platform, Folders{});
    session.currentDirectory = QDir::currentPath();
    // As at start-up: the new user's profile, then the file.
    resetUserProfile(session);
    readUserProfile(session, QFileInfo(args[0]).absoluteFilePath());
    QJsonObject out = profileJson(session);
    QJsonArray messages;
    for (const auto& e : fake.recorder.eventsOf(QStringLiteral("message")))
        messages.append(e.value(QStringLiteral("text")));
    out.insert(QStringLiteral("messages"), messages);
    printJsonLine(out);
    return messages.isEmpty() ? kOk : kMessages;
}

}  // namespace

const Command profileCommand{
    "profile", "FILE",
    "    Reads the user profile FILE (.USR) over the new user's settings, as \"Carregar\n"
    "    &Usuari\" does, and prints one JSON object: the fields of the profile\n"
    "    (accessMode, switches[0..2] {accio, variable, retard}, temps, gruix, color,\n"
    "    joystickCentre, n_joystic, joystic_sensi, joystic_retard, voiceWords,\n"
    "    voiceCommandCount, engineVersion, recognitionState, recognitionTenths), Interval\n"
    "    and So (500 and \"Si\" unless FILE sets them), and messages: the texts of the\n"
    "    message boxes the reading showed (\"1 Error 6\" for a number beyond 16 bits).\n",
    run};

}  // namespace vexil::tool
