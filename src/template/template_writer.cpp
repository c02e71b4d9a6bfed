#include "template/template_writer.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

#include "i18n/runtime_error.h"
#include "platform/codepage.h"
#include "template/board_values.h"
#include "template/template.h"

namespace vexil {
namespace {

void line(QString& out) {
    out += QStringLiteral("\r\n");
}

void intLine(QString& out, int value) {
    appendBoardInt(out, value);
    line(out);
}

void textLine(QString& out, const QString& text) {
    appendQuoted(out, text);
    line(out);
}

// The picture name is written bare, as it always was, commas included: the reader takes
// the whole line. One that a bare line could not hold (a line break, a blank or tab at
// either end, a leading quote) is quoted, with the quotes inside it stored as "¶", so
// that it reads back whole.
void pictureLine(QString& out, const QString& name) {
    auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    const bool bare = !name.startsWith(u'"') && !name.contains(u'\r') && !name.contains(u'\n') &&
                      (name.isEmpty() || (!blank(name.front()) && !blank(name.back())));
    if (bare) {
        out += name;
        line(out);
    } else {
        textLine(out, name);
    }
}

int errorFor(const QSaveFile& file, const QString& realPath) {
    if (!QFileInfo(realPath).absoluteDir().exists()) return errnum::PathNotFound;
    switch (file.error()) {
        case QFileDevice::PermissionsError:
            return errnum::PermissionDenied;
        case QFileDevice::ResourceError:
            return errnum::DiskFull;
        case QFileDevice::WriteError:
            return errnum::DeviceIo;
        default:
            return errnum::PathFileAccess;
    }
}

}  // namespace

QByteArray templateFileBytes(const Template& tmpl) {
    const TemplateSettings& st = tmpl.settings;
    // While a group selection exists, the records after the real areas are temporary.
    const int count = tmpl.realAreaCount > 0 ? std::min<int>(tmpl.realAreaCount, tmpl.areaCount())
                                             : tmpl.areaCount();
    QString out;
    out.reserve(256 + qsizetype(count) * 64);
    intLine(out, 2);
    intLine(out, 1);
    pictureLine(out, st.pictureFile);
    intLine(out, count);
    textLine(out, st.startProgram);
    intLine(out, st.templateClipKind);
    textLine(out, st.templateClipFile);
    textLine(out, st.startKeys);
    textLine(out, st.docFile);
    textLine(out, st.targetApp);
    textLine(out, st.description);
    intLine(out, st.propertiesOnNew);
    intLine(out, st.soundOn);
    intLine(out, st.autoCover);
    intLine(out, st.voiceLanguage);
    intLine(out, st.voiceSpeaker);
    intLine(out, st.voiceSpeed);
    for (int n = 1; n <= count; ++n) {
        const Area& a = tmpl.area(n);
        intLine(out, a.x0);
        intLine(out, a.y0);
        intLine(out, a.x1);
        intLine(out, a.y1);
        intLine(out, a.level);
        intLine(out, a.clipKind);
        textLine(out, a.clipFile);
        textLine(out, a.soundFile);
        textLine(out, a.keys);
        textLine(out, a.iconFile);
        intLine(out, a.repeatReading);
        intLine(out, a.isGroup);
    }
    return encodeAnsi(out);
}

void writeTemplate(const Template& tmpl, const QString& realPath) {
    const QByteArray bytes = templateFileBytes(tmpl);
    QSaveFile file(realPath);
    if (!file.open(QIODevice::WriteOnly)) throw RuntimeError(errorFor(file, realPath));
    if (file.write(bytes) != bytes.size()) {
        const int number = errorFor(file, realPath);
        file.cancelWriting();
        throw RuntimeError(number);
    }
    if (!file.commit()) throw RuntimeError(errorFor(file, realPath));
}

QStringList textsOutsideCodePage(const Template& tmpl) {
    QStringList lines;
    const auto check = [&lines](const QString& where, const QString& text) {
        if (!fitsAnsi(text)) lines << where + QStringLiteral(": ") + text;
    };
    const TemplateSettings& st = tmpl.settings;
    const QString board = QStringLiteral("Plafón");
    for (const QString* text : {&st.pictureFile, &st.startProgram, &st.templateClipFile,
                                &st.startKeys, &st.docFile, &st.targetApp, &st.description})
        check(board, *text);
    for (int n = 1; n <= tmpl.areaCount(); ++n) {
        const Area& a = tmpl.area(n);
        // A group selection's copies stand for areas listed already.
        if (a.mirrorOf != 0) continue;
        const QString where = QStringLiteral("Área ") + QString::number(n);
        for (const QString* text : {&a.keys, &a.clipFile, &a.soundFile, &a.iconFile})
            check(where, *text);
    }
    return lines;
}

}  // namespace vexil
