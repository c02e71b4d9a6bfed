#include <QJsonArray>
#include <QJsonObject>

#include "board_tool.h"
#include "files/template_reader.h"
#include "tool.h"

namespace vexil::tool {
namespace {

QJsonObject areaJson(const Area& a) {
    return {{"x0", a.x0},
            {"y0", a.y0},
            {"x1", a.x1},
            {"y1", a.y1},
            {"level", a.level},
            {"clipKind", a.clipKind},
            {"clipFile", a.clipFile},
            {"soundFile", a.soundFile},
            {"keys", a.keys},
            {"iconFile", a.iconFile},
            {"repeatReading", a.repeatReading},
            {"isGroup", a.isGroup}};
}

int run(const QStringList& arguments);

}  // namespace

const Command dumpCommand{
    "dump", "FILE",
    "    Loads the board FILE as the program does and prints one JSON object: every\n"
    "    template setting by its model name (formatVersion, formatVariant, pictureFile,\n"
    "    startProgram, templateClipKind, templateClipFile, startKeys, docFile, targetApp,\n"
    "    description, propertiesOnNew, soundOn, autoCover, voiceLanguage, voiceSpeaker,\n"
    "    voiceSpeed), areaCount, templatePath, templateFolder, modified, areas (x0, y0,\n"
    "    x1, y1, level, clipKind, clipFile, soundFile, keys, iconFile, repeatReading,\n"
    "    isGroup) and messages, the texts of the message boxes the load showed, in order.\n"
    "    Exit status 1 when the load showed any message.\n",
    run};

namespace {

int run(const QStringList& given) {
    const QStringList arguments = operandsOf(given);
    if (arguments.size() != 1) return usageError(dumpCommand, QStringLiteral("one FILE expected"));
    BoardSession board;
    Session& s = *board.session;
    loadTemplate(s, boardNameArgument(arguments.first()));

    const Template& t = s.tmpl;
    const TemplateSettings& st = t.settings;
    QJsonArray areas;
    for (int n = 1; n <= t.areaCount(); ++n) areas.append(areaJson(t.area(n)));
    const QStringList messages = board.messages();
    printJsonLine({{"formatVersion", st.formatVersion},
                   {"formatVariant", st.formatVariant},
                   {"pictureFile", st.pictureFile},
                   {"startProgram", st.startProgram},
                   {"templateClipKind", st.templateClipKind},
                   {"templateClipFile", st.templateClipFile},
                   {"startKeys", st.startKeys},
                   {"docFile", st.docFile},
                   {"targetApp", st.targetApp},
                   {"description", st.description},
                   {"propertiesOnNew", st.propertiesOnNew},
                   {"soundOn", st.soundOn},
                   {"autoCover", st.autoCover},
                   {"voiceLanguage", st.voiceLanguage},
                   {"voiceSpeaker", st.voiceSpeaker},
                   {"voiceSpeed", st.voiceSpeed},
                   {"areaCount", t.areaCount()},
                   {"templatePath", t.templatePath},
                   {"templateFolder", t.templateFolder},
                   {"modified", t.modified},
                   {"areas", areas},
                   {"messages", QJsonArray::fromStringList(messages)}});
    return messages.isEmpty() ? kOk : kMessages;
}

}  // namespace
}  // namespace vexil::tool
