#pragma once
// Board files for the template tests, and a main view that remembers what it was told.
#include <QImage>
#include <QString>
#include <QStringList>
#include <ostream>

#include "platform/codepage.h"
#include "session/view.h"

namespace vexil::test {

// The lines of a board file joined with CR LF (and a final CR LF), in the code page.
inline QByteArray boardBytes(const QStringList& lines) {
    return encodeAnsi(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

// A version-2 header announcing `count` areas; `keys` becomes the start keys.
inline QStringList header(int count, const QString& picture = QString(),
                          const QString& startProgram = QString()) {
    return {QStringLiteral(" 2"),
            QStringLiteral(" 1"),
            picture,
            QStringLiteral(" %1").arg(count),
            u'"' + startProgram + u'"',
            QStringLiteral(" 0"),
            QStringLiteral("\"\""),
            QStringLiteral("\"\""),
            QStringLiteral("\"\""),
            QStringLiteral("\"\""),
            QStringLiteral("\"\""),
            QStringLiteral(" 1"),
            QStringLiteral("-1"),
            QStringLiteral(" 0"),
            QStringLiteral(" 1"),
            QStringLiteral(" 1"),
            QStringLiteral(" 120")};
}

// One area block: a rectangle at (x, y), level 1, the given key sequence (already quoted
// the way files store it).
inline QStringList block(int x, int y, const QString& storedKeys = QStringLiteral("\"a\"")) {
    return {QStringLiteral(" %1").arg(x),
            QStringLiteral(" %1").arg(y),
            QStringLiteral(" %1").arg(x + 10),
            QStringLiteral(" %1").arg(y + 10),
            QStringLiteral(" 1"),
            QStringLiteral(" 0"),
            QStringLiteral("\"\""),
            QStringLiteral("\"\""),
            storedKeys,
            QStringLiteral("\"\""),
            QStringLiteral(" 0"),
            QStringLiteral(" 0")};
}

class RecordingView : public MainView {
public:
    QStringList titles;
    QImage cover;
    int coverCalls = 0;
    bool soundOnCheck = false;
    int keysBoxCoversClip = -1;
    int drawingArmed = -1;
    QString macroCaption;
    int propertiesOpened = 0;
    int coversGenerated = 0;

    void setTitle(const QString& title) override { titles << title; }
    void setCover(const QImage& image) override {
        cover = image;
        ++coverCalls;
    }
    void setSoundOnCheck(bool checked) override { soundOnCheck = checked; }
    void setKeysBoxCoversClip(bool covers) override { keysBoxCoversClip = covers; }
    void setDrawingArmed(bool armed) override { drawingArmed = armed; }
    void setMacroMenuCaption(const QString& caption) override { macroCaption = caption; }
    void openTemplateProperties() override { ++propertiesOpened; }
    void generateCover() override { ++coversGenerated; }
};

}  // namespace vexil::test

// Readable QStrings in test failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
