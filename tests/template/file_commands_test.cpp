#include "editor/file_commands.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>

#include "board_test_helpers.h"
#include "commands/sound_speech.h"
#include "files/template_reader.h"
#include "i18n/texts.h"
#include "support/test_support.h"
#include "template/template_writer.h"

using namespace vexil;
using namespace vexil::test;

namespace {

class FileCommandsTest : public ::testing::Test {
protected:
    FileCommandsTest() {
        f.session->setView(&view);
        QDir().mkpath(oldFolder());
        QDir().mkpath(newFolder());
    }
    QString oldFolder() const { return f.path(QStringLiteral("old")); }
    QString newFolder() const { return f.path(QStringLiteral("new")); }
    Template& t() { return f.session->tmpl; }

    // A board loaded from the old folder, with one area holding `keys` and `sound`.
    void loadBoard(const QString& picture, const QString& keys, const QString& sound = {}) {
        QStringList lines = header(1, picture);
        QStringList area = block(0, 0, u'"' + keys + u'"');
        area[7] = u'"' + sound + u'"';
        lines += area;
        const QString path = f.writeFile(QStringLiteral("old/BOARD.VXL"), boardBytes(lines));
        loadTemplate(*f.session, path);
        f.fake.recorder.clear();
    }
    void savePicture(const QString& name) {
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::blue);
        ASSERT_TRUE(image.save(name, "BMP"));
    }

    FakeSessionFixture f;
    RecordingView view;
};

}  // namespace

TEST_F(FileCommandsTest, RelocateCommand) {
    f.writeFile(QStringLiteral("old/GAT.WAV"), "RIFF");
    f.writeFile(QStringLiteral("old/TEXT.TXT"), "hola");
    f.writeFile(QStringLiteral("new/IN.TXT"), "hola");
    t().templateFolder = newFolder();
    const QString old = oldFolder();
    struct Case {
        QString text, expected;
    } cases[] = {
        {"|SONA gat.wav", "|SONA " + old + "/GAT.WAV"},  // exists in the old folder
        {"|sona  GAT.WAV  ", "|SONA " + old + "/GAT.WAV"},
        {"|CARREGA other.vxl", "|CARREGA OTHER.VXL"},  // missing: the name, upper-cased
        {"|EXECUTA " + newFolder() + "/IN.TXT", "|EXECUTA IN.TXT"},  // inside the new folder
        {"|ENGANXA text.txt", "|ENGANXA " + old + "/TEXT.TXT"},
        {"|LLEGEIX /F:text.txt", "|LLEGEIX /F:" + old + "/TEXT.TXT"},
        {"|llegeix hola /f:nope.txt", "|llegeix hola /f:NOPE.TXT"},
        {"|LLEGEIX hola", "|LLEGEIX hola"},
        {"|Tancar", "|Tancar"},  // no argument: unchanged
        {"|SONA", "|SONA"},
        {"|ESPERA 10", "|ESPERA 10"},  // not a file command
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(relocateCommand(*f.session, c.text, old), c.expected) << c.text.toStdString();

    struct KeysCase {
        QString keys, expected;
    } keys[] = {
        {"a{|SONA gat.wav}b{|Tancar}c", "a{|SONA " + old + "/GAT.WAV}b{|Tancar}c"},
        {"{|SONA gat.wav}{|SONA gat.wav}",
         "{|SONA " + old + "/GAT.WAV}{|SONA " + old + "/GAT.WAV}"},
        {"x|SONA gat.wav", "x|SONA gat.wav"},  // never closed: left as it is
        {"{|SONA gat.wav}{|SONA gat.wav", "{|SONA " + old + "/GAT.WAV}{|SONA gat.wav"},
        {"plain keys", "plain keys"},
    };
    for (const auto& c : keys)
        EXPECT_EQ(relocateKeys(*f.session, c.keys, old), c.expected) << c.keys.toStdString();
}

TEST_F(FileCommandsTest, MakeRelative) {
    struct Case {
        QString folder, path, expected;
    } cases[] = {
        {"C:\\PLANT", "C:\\PLANT\\GAT.BMP", "GAT.BMP"},
        {"C:\\PLANT", "c:\\plant\\icones\\gat.bmp", "icones\\gat.bmp"},
        {"C:\\PLANT", "C:\\PLANTES\\GAT.BMP", "C:\\PLANTES\\GAT.BMP"},  // a sibling folder
        {"C:\\PLANT", "D:\\X\\C:\\PLANT\\GAT.BMP", "D:\\X\\C:\\PLANT\\GAT.BMP"},
        {"/home/ana/b", "/home/ana/b/gat.bmp", "gat.bmp"},
        {"/home/ana/b", "/home/ana/bb/gat.bmp", "/home/ana/bb/gat.bmp"},
        {"", "GAT.BMP", "GAT.BMP"},
    };
    for (const auto& c : cases) {
        t().templateFolder = c.folder;
        EXPECT_EQ(makeRelative(*f.session, c.path), c.expected) << c.path.toStdString();
    }
}

TEST_F(FileCommandsTest, SaveAsIntoAnotherFolderRelocates) {
    f.writeFile(QStringLiteral("old/SO.WAV"), "RIFF");
    savePicture(f.path(QStringLiteral("old/PIC.bmp")));
    loadBoard(QStringLiteral("PIC.bmp"), QStringLiteral("{|Tancar}{|SONA so.wav}x|y"),
              QStringLiteral("SO.WAV"));
    const QString chosen = newFolder() + QStringLiteral("/Nou.vxl");

    saveTemplateAs(*f.session, chosen);

    EXPECT_TRUE(f.messages().isEmpty()) << f.messages().join(u'\n').toStdString();
    EXPECT_EQ(t().templatePath, chosen);
    EXPECT_EQ(t().templateFolder, newFolder());
    EXPECT_EQ(f.session->currentDirectory, newFolder());
    EXPECT_FALSE(t().modified);
    EXPECT_EQ(t().area(1).soundFile, oldFolder() + QStringLiteral("/SO.WAV"));
    EXPECT_EQ(t().area(1).keys,
              QStringLiteral("{|Tancar}{|SONA ") + oldFolder() + QStringLiteral("/SO.WAV}x|y"));
    // The picture is copied under the board's name with its own extension.
    EXPECT_EQ(t().settings.pictureFile, QStringLiteral("NOU.bmp"));
    EXPECT_TRUE(QFileInfo(newFolder() + QStringLiteral("/NOU.bmp")).isFile());
    EXPECT_TRUE(QFileInfo(oldFolder() + QStringLiteral("/PIC.bmp")).isFile());
    EXPECT_EQ(view.titles.value(view.titles.size() - 1), QStringLiteral("Vexil - ") + chosen);

    FakeSessionFixture other;
    loadTemplate(*other.session, chosen);
    EXPECT_TRUE(other.messages().isEmpty()) << other.messages().join(u'\n').toStdString();
    EXPECT_EQ(other.session->tmpl.area(1), t().area(1));
}

TEST_F(FileCommandsTest, SaveAsWithoutPictureNamesTheDefaultOne) {
    loadBoard(QString(), QStringLiteral("a"));
    saveTemplateAs(*f.session, newFolder() + QStringLiteral("/board.vxl"));
    EXPECT_TRUE(f.messages().isEmpty()) << f.messages().join(u'\n').toStdString();
    EXPECT_EQ(t().settings.pictureFile, QStringLiteral("BOARD.BMP"));
    EXPECT_TRUE(QFileInfo(newFolder() + QStringLiteral("/board.vxl")).isFile());
}

TEST_F(FileCommandsTest, SaveAsKeepsTheBoardWhenItsPictureIsMissing) {
    loadBoard(QStringLiteral("GONE.BMP"), QStringLiteral("a"));
    saveTemplateAs(*f.session, newFolder() + QStringLiteral("/X.VXL"));
    EXPECT_TRUE(f.messages().isEmpty()) << f.messages().join(u'\n').toStdString();
    EXPECT_EQ(t().settings.pictureFile, QStringLiteral("GONE.BMP"));
    EXPECT_TRUE(QFileInfo(newFolder() + QStringLiteral("/X.VXL")).isFile());
}

TEST_F(FileCommandsTest, SaveAsWithAnotherExtensionDoesNothing) {
    loadBoard(QString(), QStringLiteral("a"));
    t().modified = true;
    saveTemplateAs(*f.session, newFolder() + QStringLiteral("/X.TXT"));
    EXPECT_TRUE(f.messages().isEmpty());
    EXPECT_EQ(t().templateFolder, oldFolder());
    EXPECT_TRUE(t().modified);
    EXPECT_FALSE(QFileInfo::exists(newFolder() + QStringLiteral("/X.TXT")));
}

// A folder that is not there is "path not found", whether or not a cover picture is to be
// copied into it first.
TEST_F(FileCommandsTest, SaveAsIntoAMissingFolderIsPathNotFound) {
    savePicture(f.path(QStringLiteral("old/PIC.bmp")));
    for (const QString& picture : {QString(), QStringLiteral("PIC.bmp")}) {
        loadBoard(picture, QStringLiteral("a"));
        saveTemplateAs(*f.session, f.path(QStringLiteral("missing/X.VXL")));
        EXPECT_EQ(f.messages(), QStringList{QStringLiteral("6 Error76")}) << picture.toStdString();
        EXPECT_EQ(t().templatePath, oldFolder() + QStringLiteral("/BOARD.VXL"));
        EXPECT_TRUE(view.titles.size() == 1);  // only the load's title
        view.titles.clear();
    }
}

// Opened as "C:\OLD\BOARD.VXL" and saved through the dialog, which names the same folder
// as this system spells it: the references stay relative.
TEST_F(FileCommandsTest, SaveAsIntoTheSameFolderSpeltWithADriveKeepsNamesRelative) {
    f.session->folders.drives = DriveMap::fromText(QStringLiteral("C=") + f.dir.path());
    f.writeFile(QStringLiteral("old/SO.WAV"), "RIFF");
    const QStringList lines = header(1, QString()) + [] {
        QStringList area = block(0, 0, QStringLiteral("\"{|SONA SO.WAV}\""));
        area[7] = QStringLiteral("\"SO.WAV\"");
        return area;
    }();
    f.writeFile(QStringLiteral("old/BOARD.VXL"), boardBytes(lines));
    t().templateFolder = QStringLiteral("C:\\OLD\\");
    loadTemplate(*f.session, QStringLiteral("C:\\OLD\\BOARD.VXL"));
    ASSERT_EQ(t().areaCount(), 1);
    saveTemplateAs(*f.session, oldFolder() + QStringLiteral("/BOARD.VXL"));
    EXPECT_TRUE(f.messages().isEmpty()) << f.messages().join(u'\n').toStdString();
    EXPECT_EQ(t().area(1).soundFile, QStringLiteral("SO.WAV"));
    EXPECT_EQ(t().area(1).keys, QStringLiteral("{|SONA SO.WAV}"));
}

// Characters beyond the code page are named before the save: declined, nothing is written
// and the board stays modified; accepted, they are saved as "?".
TEST_F(FileCommandsTest, SaveAsWarnsOfTextsTheCodePageCannotHold) {
    loadBoard(QString(), QStringLiteral("a"));
    Area a = t().area(1);
    a.keys = QStringLiteral("Łódź →");
    t().setArea(1, a);
    t().settings.description = QStringLiteral("Año");
    t().modified = true;
    const QString chosen = newFolder() + QStringLiteral("/X.VXL");
    for (const MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
        f.fake.recorder.clear();
        f.fake.dialogs.answers.push_back(answer);
        saveTemplateAs(*f.session, chosen);
        ASSERT_EQ(f.messages().size(), 1);
        const QString warning = f.messages().front();
        EXPECT_TRUE(warning.contains(QStringLiteral("\r\nÁrea 1: Łódź →\r\n")))
            << warning.toStdString();
        EXPECT_FALSE(warning.contains(QStringLiteral("Año")));
        EXPECT_EQ(QFileInfo::exists(chosen), answer == MessageAnswer::Yes);
        EXPECT_EQ(t().modified, answer == MessageAnswer::No);
    }
    EXPECT_TRUE(f.readFile(chosen).contains("\"?\xf3" "d? ?\""));
}

TEST_F(FileCommandsTest, AskSave) {
    loadBoard(QString(), QStringLiteral("a"));
    t().modified = true;
    const QString chosen = newFolder() + QStringLiteral("/ASKED.VXL");
    f.fake.dialogs.answers.push_back(MessageAnswer::Yes);
    f.fake.dialogs.chosenFiles.push_back(chosen);
    askSave(*f.session);
    EXPECT_EQ(f.messages(), QStringList{messageText(5)});
    const auto dialogs = f.fake.recorder.eventsOf(QStringLiteral("fileDialog"));
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].value(QStringLiteral("title")).toString(),
              QStringLiteral("Enregistrar el fitxer de plantilla"));
    EXPECT_TRUE(QFileInfo(chosen).isFile());
    EXPECT_FALSE(t().modified);

    const FileDialogRequest request = saveDialogRequest(*f.session);
    EXPECT_EQ(request.fileName, chosen);
    EXPECT_EQ(request.filter, QStringLiteral("Vexil (*.VXL)|*.VXL"));
    EXPECT_EQ(request.defaultExtension, QStringLiteral("VXL"));
    EXPECT_TRUE(request.save);
    t().templatePath = QStringLiteral("(Sense nom)");
    EXPECT_TRUE(saveDialogRequest(*f.session).fileName.isEmpty());

    // No: nothing is saved; the dialog never opens.
    f.fake.recorder.clear();
    t().modified = true;
    askSave(*f.session);
    EXPECT_TRUE(f.fake.recorder.eventsOf(QStringLiteral("fileDialog")).empty());
    EXPECT_TRUE(t().modified);
}

TEST_F(FileCommandsTest, NewTemplate) {
    loadBoard(QString(), QStringLiteral("a"));
    struct Case {
        std::int16_t propertiesOnNew;
        int opened;
    } cases[] = {{0, 0}, {1, 1}};
    for (const auto& c : cases) {
        view.propertiesOpened = 0;
        t().settings.propertiesOnNew = c.propertiesOnNew;
        t().appendArea(Area{});
        newTemplate(*f.session);
        EXPECT_EQ(view.propertiesOpened, c.opened);
        EXPECT_EQ(t().areaCount(), 0);
        EXPECT_EQ(t().templatePath, kUnnamedTemplate);
        EXPECT_EQ(t().settings.formatVariant, 2);
        EXPECT_EQ(t().settings.propertiesOnNew, 1);
        EXPECT_FALSE(t().modified);
        EXPECT_EQ(t().addedAreaCount, 0);
        EXPECT_EQ(view.drawingArmed, 1);
        EXPECT_EQ(view.titles.last(), QStringLiteral("Vexil - (Sin nombre)"));
    }
    // The modified board was offered for saving first (answered No).
    EXPECT_EQ(f.messages(), (QStringList{messageText(5), messageText(5)}));
}

// The new board starts the speech engine again: the language and voice of the board left
// behind do not stay in it.
TEST_F(FileCommandsTest, NewTemplateStartsTheSpeechEngineAgain) {
    f.fake.speech.installed = true;
    registerSpeechEngine(*f.session);
    startSpeech(*f.session);
    loadBoard(QString(), QStringLiteral("a"));
    t().settings.voiceLanguage = 1;
    t().settings.voiceSpeaker = 2;
    t().settings.voiceSpeed = 150;
    applyTemplateVoice(*f.session);  // as entering use mode does
    f.fake.recorder.clear();

    newTemplate(*f.session);
    QStringList calls;
    for (const auto& e : f.fake.recorder.eventsOf(QStringLiteral("speech")))
        calls << e.value("call").toString() + u' ' + e.value("arg").toVariant().toString();
    EXPECT_EQ(calls, (QStringList{QStringLiteral("upcTVGetNumberOfSpeakers "),
                                  QStringLiteral("upcTVSetLanguage 99"),
                                  QStringLiteral("upcTVSetSpeaker 0")}));
    EXPECT_EQ(t().settings.voiceLanguage, 0);
    EXPECT_EQ(t().settings.voiceSpeaker, 0);
    EXPECT_EQ(t().settings.voiceSpeed, 100);
}

TEST_F(FileCommandsTest, OpenTemplate) {
    const QString path = f.writeFile(QStringLiteral("other/O.VXL"), boardBytes(header(0)));
    openTemplate(*f.session, QStringLiteral("*.VXL"));
    openTemplate(*f.session, QStringLiteral("A.V"));
    EXPECT_TRUE(view.titles.isEmpty());
    f.fake.dialogs.chosenFiles.push_back(path);
    openTemplateCommand(*f.session);
    EXPECT_EQ(t().templatePath, path);
    EXPECT_EQ(t().templateFolder, f.path(QStringLiteral("other")));
    const auto dialogs = f.fake.recorder.eventsOf(QStringLiteral("fileDialog"));
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].value(QStringLiteral("title")).toString(),
              QStringLiteral("Carregar el fitxer de plantilla"));
    // Cancel changes nothing.
    openTemplateCommand(*f.session);
    EXPECT_EQ(t().templatePath, path);
}

TEST_F(FileCommandsTest, UndoRestoresTheSnapshotKeepingNameAndFolder) {
    savePicture(f.path(QStringLiteral("old/PIC.BMP")));
    loadBoard(QStringLiteral("PIC.BMP"), QStringLiteral("a"));
    copia_seguretat(*f.session, 0);
    EXPECT_TRUE(QFileInfo(f.session->folders.userFolder + QStringLiteral("/tmp.bin")).isFile());
    Area extra;
    extra.keys = QStringLiteral("later");
    t().appendArea(extra);
    view.titles.clear();

    copia_seguretat(*f.session, 2);

    EXPECT_TRUE(f.messages().isEmpty()) << f.messages().join(u'\n').toStdString();
    EXPECT_EQ(t().areaCount(), 1);
    EXPECT_EQ(t().area(1).keys, QStringLiteral("a"));
    EXPECT_EQ(t().templatePath, oldFolder() + QStringLiteral("/BOARD.VXL"));
    EXPECT_EQ(t().templateFolder, oldFolder());
    EXPECT_EQ(f.session->currentDirectory, oldFolder());
    EXPECT_FALSE(t().modified);
    EXPECT_EQ(view.titles.last(), QStringLiteral("Vexil - ") + t().templatePath);
    EXPECT_FALSE(view.cover.isNull());  // the cover is found in the board's own folder
}

TEST_F(FileCommandsTest, UndoWithoutSnapshotKeepsTheBoard) {
    loadBoard(QString(), QStringLiteral("a"));
    copia_seguretat(*f.session, 2);
    EXPECT_EQ(t().areaCount(), 1);
    EXPECT_TRUE(f.messages().isEmpty());
}
