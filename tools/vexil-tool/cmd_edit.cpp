// vexil-tool edit: runs the board editor on the recording platform, applying operations as
// the mouse, the keyboard, the menus and the panel would, and prints each effect and the
// editor's state as JSON lines. vexil-tool cover: writes a board's generated cover.
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <cstdio>
#include <functional>
#include <optional>

#include "board_tool.h"
#include "editor/editor.h"
#include "editor/file_commands.h"
#include "files/catalogue_loader.h"
#include "files/template_reader.h"
#include "i18n/runtime_error.h"
#include "session/session.h"
#include "tool.h"

namespace vexil::tool {
namespace {

// The members of an object in the order given (QJsonObject would sort them).
class OrderedJson {
public:
    OrderedJson& add(const char* key, const QJsonValue& value) {
        return addRaw(key, valueText(value));
    }
    OrderedJson& addRaw(const char* key, const QByteArray& json) {
        if (!text_.isEmpty()) text_ += ',';
        text_ += '"' + QByteArray(key) + "\":" + json;
        return *this;
    }
    QByteArray text() const { return '{' + text_ + '}'; }
    static QByteArray valueText(const QJsonValue& value) {
        const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
        return array.mid(1, array.size() - 2);
    }

private:
    QByteArray text_;
};

void printLine(const QByteArray& line) {
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

QByteArray areaState(const Area& a) {
    return OrderedJson()
        .add("x0", a.x0)
        .add("y0", a.y0)
        .add("x1", a.x1)
        .add("y1", a.y1)
        .add("level", a.level)
        .add("isGroup", a.isGroup)
        .add("mirrorOf", a.mirrorOf)
        .add("keys", a.keys)
        .add("clipFile", a.clipFile)
        .add("clipKind", a.clipKind)
        .add("iconFile", a.iconFile)
        .add("soundFile", a.soundFile)
        .add("repeat", a.repeatReading)
        .text();
}

QByteArray editorState(const Editor& editor) {
    const Template& t = editor.context.session.tmpl;
    const PanelState& p = editor.context.panel;
    const QByteArray panel = OrderedJson()
                                 .add("x0", p.scroll[int(Edge::X0)])
                                 .add("y0", p.scroll[int(Edge::Y0)])
                                 .add("x1", p.scroll[int(Edge::X1)])
                                 .add("y1", p.scroll[int(Edge::Y1)])
                                 .add("keys", p.txText)
                                 .add("clipFile", p.txApp)
                                 .add("clipKind", p.option1)
                                 .add("iconFile", p.iconaText)
                                 .add("soundFile", p.soText)
                                 .add("repeat", p.chRepe)
                                 .text();
    QByteArray areas = "[";
    for (int n = 1; n <= t.areaCount(); ++n) {
        if (n > 1) areas += ',';
        areas += areaState(t.area(n));
    }
    areas += ']';
    return OrderedJson()
        .add("op", QStringLiteral("state"))
        .add("areaCount", t.areaCount())
        .add("realAreaCount", t.realAreaCount)
        .add("currentArea", t.currentArea)
        .add("drawingMode", editor.context.drawing.drawingMode)
        .add("modified", t.modified)
        .add("coverOutdated", t.coverOutdated)
        .add("msgArea", p.msgArea)
        .addRaw("panel", panel)
        .addRaw("areas", areas)
        .text();
}

// What the core asks of the window, done by the editor as the main window would.
class EditView : public MainView {
public:
    explicit EditView(Editor& editor) : editor_(editor) {}
    void setDrawingArmed(bool armed) override { editor_.setDrawingMode(armed); }
    void showEmptyAreaPanel() override { editor_.panel.showArea(0); }
    void generateCover() override {
        try {
            editor_.coverCommands.generateCover();
        } catch (const RuntimeError& e) {
            editor_.context.session.message(QStringLiteral("4 Error ") +
                                            QString::number(e.number()) + u' ' + e.description());
        }
    }

private:
    Editor& editor_;
};

// Starting a viewer prints the command line the board would have run.
class EditObserver : public CommandObserver {
public:
    void launched(const QString& commandLine, WindowHandle) override {
        printLine(
            OrderedJson().add("op", QStringLiteral("launch")).add("command", commandLine).text());
    }
};

struct Point {
    double x = 0, y = 0;
    QString modifier;
};

std::optional<Point> parsePoint(const QString& text) {
    static const QRegularExpression form(
        QStringLiteral("^(-?\\d+(?:\\.\\d*)?),(-?\\d+(?:\\.\\d*)?)(?::(ctrl|shift|right))?$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch()) return std::nullopt;
    return Point{m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3)};
}

std::optional<std::pair<int, int>> parsePair(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^(-?\\d+),(-?\\d+)$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch()) return std::nullopt;
    return std::make_pair(m.captured(1).toInt(), m.captured(2).toInt());
}

std::optional<Edge> edgeNamed(const QString& name) {
    if (name == u"x0" || name == u"TxX0") return Edge::X0;
    if (name == u"x1" || name == u"TxX1") return Edge::X1;
    if (name == u"y0" || name == u"TxY0") return Edge::Y0;
    if (name == u"y1" || name == u"TxY1") return Edge::Y1;
    return std::nullopt;
}

// Applies one operation; false when it is not one.
bool apply(Editor& editor, const QString& op) {
    Session& s = editor.context.session;
    const qsizetype colon = op.indexOf(u':');
    const QString verb = colon < 0 ? op : op.left(colon);
    const QString arg = colon < 0 ? QString() : op.mid(colon + 1);
    BoardEditing& board = editor.board;

    if (verb == u"down" || verb == u"move" || verb == u"up" || verb == u"click") {
        const auto p = parsePoint(arg);
        if (!p) return false;
        const MouseButton button = p->modifier == u"right" ? MouseButton::Right : MouseButton::Left;
        const Modifiers m{p->modifier == u"shift", p->modifier == u"ctrl"};
        if (verb == u"down" || verb == u"click") board.mouseDown(button, m, p->x, p->y);
        if (verb == u"move") board.mouseMove(p->x, p->y);
        if (verb == u"up" || verb == u"click") board.mouseUp(button, p->x, p->y);
        return true;
    }
    if (verb == u"key") {
        if (arg != u"Delete") return false;
        board.keyDown(46);
        return true;
    }
    if (verb == u"menu") {
        const std::map<QString, std::function<void()>> menus = {
            {QStringLiteral("AfegirArea"), [&] { board.addArea(); }},
            {QStringLiteral("EliminarArea"), [&] { board.deleteArea(); }},
            {QStringLiteral("AjustArea"), [&] { editor.layout.ajustarArees(); }},
            {QStringLiteral("Copiar"), [&] { editor.panel.copyKeys(); }},
            {QStringLiteral("Enganxar"), [&] { editor.panel.pasteKeys(); }},
            {QStringLiteral("Desfer"), [&] { board.undo(); }},
            {QStringLiteral("Refer"), [&] { board.redo(); }},
            {QStringLiteral("Nou"), [&] { newTemplate(s); }},
            {QStringLiteral("CaratulaDesar"), [&] { editor.coverCommands.newCover(); }},
            {QStringLiteral("CaratulaEditar"), [&] { editor.coverCommands.editCover(); }},
        };
        const auto found = menus.find(arg);
        if (found == menus.end()) return false;
        found->second();
        return true;
    }
    if (verb == u"redim") {
        const qsizetype comma = arg.indexOf(u',');
        if (comma < 0) return false;
        editor.layout.redimensionarArees(arg.left(comma), arg.mid(comma + 1));
        return true;
    }
    if (verb == u"grid") {
        const auto counts = parsePair(arg);
        if (!counts) return false;
        editor.layout.subdividirArea(counts->first, counts->second);
        return true;
    }
    if (verb == u"edge" || verb == u"field") {
        const qsizetype eq = arg.indexOf(u'=');
        if (eq < 0) return false;
        const QString name = arg.left(eq), value = arg.mid(eq + 1);
        if (verb == u"edge") {
            const auto e = edgeNamed(name);
            bool ok = false;
            const int v = value.toInt(&ok);
            if (!e || name.startsWith(u'T') || !ok) return false;
            editor.panel.edgeFocus(false);
            editor.panel.scrollChanged(*e, v);
            editor.panel.edgeFocus(true);
            return true;
        }
        if (name == u"TxText")
            editor.panel.setKeysText(value);
        else if (name == u"TxApp")
            editor.panel.setClipFile(value);
        else if (name == u"So_Text")
            editor.panel.setSoundFile(value);
        else if (name == u"Icona_text")
            editor.panel.setIconFile(value);
        else if (name == u"Option1" && (value == u"0" || value == u"1"))
            editor.panel.setClipKind(value.toInt());
        else if (name == u"ChRepe" && (value == u"0" || value == u"1"))
            editor.panel.setRepeat(value == u"1");
        else if (name.startsWith(QLatin1String("Tx")) && edgeNamed(name))
            editor.panel.typeEdgeText(*edgeNamed(name), value);
        else
            return false;
        return true;
    }
    if (verb == u"select") {
        const auto range = parsePair(arg);
        if (!range) return false;
        editor.panel.select(range->first, range->second);
        return true;
    }
    if (verb == u"next" && arg.isEmpty()) {
        editor.panel.nextArea();
        return true;
    }
    if (verb == u"prev" && arg.isEmpty()) {
        editor.panel.prevArea();
        return true;
    }
    if (verb == u"save" && !arg.isEmpty()) {
        saveTemplateAs(s, boardNameArgument(arg));
        return true;
    }
    return false;
}

int runEdit(const QStringList& arguments);
int runCover(const QStringList& arguments);

}  // namespace

const Command editCommand{
    "edit", "[--template FILE] [--clipboard TEXT] [--catalogue MACROS.INI] [--] OP...",
    "    Runs the board editor on the recording platform (board 640 x 445 units): a new\n"
    "    board with drawing armed, or FILE loaded. Applies each OP in order and prints\n"
    "    one JSON line per effect, as play does: {\"op\":\"beep\"}, {\"op\":\"message\",\n"
    "    \"text\":T}, {\"op\":\"launch\",\"command\":C}, {\"op\":\"clipboard\",...},\n"
    "    {\"op\":\"dialog\",\"title\":T} (file dialogs are cancelled), then a state line:\n"
    "    {\"op\":\"state\",\"areaCount\",\"realAreaCount\",\"currentArea\",\"drawingMode\",\n"
    "    \"modified\",\"coverOutdated\",\"msgArea\",\"panel\":{x0,y0,x1,y1,keys,clipFile,\n"
    "    clipKind,iconFile,soundFile,repeat},\"areas\":[{x0,y0,x1,y1,level,isGroup,mirrorOf,\n"
    "    keys,clipFile,clipKind,iconFile,soundFile,repeat},...]}; panel keys as displayed,\n"
    "    area keys as stored. Coordinates are board units, decimals allowed. OPs:\n"
    "      down:X,Y  move:X,Y  up:X,Y  click:X,Y   left button; after the coordinates\n"
    "                                         :ctrl or :shift (held), :right (button)\n"
    "      key:Delete\n"
    "      menu:NAME   AfegirArea EliminarArea AjustArea Copiar Enganxar Desfer Refer\n"
    "                  Nou CaratulaDesar CaratulaEditar\n"
    "      redim:H,V   \"Redimensionar àrees\" with the texts H and V, \"Acceptar\"\n"
    "      grid:COLS,ROWS  \"&Subdividir àrea\", \"D'Acord\"\n"
    "      edge:x0=V   (x1, y0, y1) that scroll bar gets the focus, moves to V, loses it\n"
    "      field:NAME=TEXT  TxText (displayed form), TxApp, So_Text, Icona_text, TxX0,\n"
    "                  TxX1, TxY0, TxY1; Option1=0|1, ChRepe=0|1\n"
    "      select:START,LENGTH  the selection in TxText\n"
    "      next  prev  save:PATH (\"&Desar ...\" under that name)\n"
    "    Exit status 1 when message boxes were shown, 2 for an unknown OP.\n",
    runEdit};

const Command coverCommand{
    "cover", "FILE.VXL OUT.BMP",
    "    Writes the cover the editor generates for the board FILE.VXL (\"&Nova\" without\n"
    "    its questions) to OUT.BMP: the root's size, one pixel per board unit. The\n"
    "    messages of the load are printed (a board whose cover does not exist yet has\n"
    "    one); exit status 1 when the file could not be written.\n",
    runCover};

namespace {

int runEdit(const QStringList& given) {
    QString templateFile, catalogue;
    std::optional<QString> clipboard;
    QStringList ops;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < given.size(); ++i) {
        const QString& a = given[i];
        if (!optionsEnded && isEndOfOptions(a)) {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && (a == u"--template" || a == u"--clipboard" || a == u"--catalogue")) {
            if (i + 1 >= given.size())
                return usageError(editCommand, a + QStringLiteral(" needs a value"));
            const QString v = given[++i];
            if (a == u"--template")
                templateFile = v;
            else if (a == u"--clipboard")
                clipboard = v;
            else
                catalogue = v;
            continue;
        }
        if (!optionsEnded && a.startsWith(QLatin1String("--")))
            return usageError(editCommand, QStringLiteral("unknown option ") + a);
        ops << a;
    }

    BoardSession board;
    Session& s = *board.session;
    Editor editor(s);
    EditView view(editor);
    EditObserver observer;
    s.setView(&view);
    s.setObserver(&observer);
    if (clipboard) board.fake.clipboard.preset(*clipboard);
    if (!catalogue.isEmpty())
        loadProgramCatalogueFrom(s, QDir::current().absoluteFilePath(catalogue));
    if (templateFile.isEmpty()) {
        s.tmpl.settings.propertiesOnNew = 0;
        newTemplate(s);
    } else {
        loadTemplate(s, boardNameArgument(templateFile));
        editor.setDrawingMode(false);
    }

    int messages = 0;
    board.fake.recorder.onEvent = [&messages](const QJsonObject& e) {
        const QString op = e.value(QStringLiteral("op")).toString();
        if (op == u"beep") {
            printLine(OrderedJson().add("op", op).text());
        } else if (op == u"message") {
            ++messages;
            printLine(
                OrderedJson().add("op", op).add("text", e.value(QStringLiteral("text"))).text());
        } else if (op == u"fileDialog") {
            printLine(OrderedJson()
                          .add("op", QStringLiteral("dialog"))
                          .add("title", e.value(QStringLiteral("title")))
                          .text());
        } else if (op == u"clipboard") {
            OrderedJson line;
            line.add("op", op).add("kind", e.value(QStringLiteral("kind")));
            if (e.contains(QStringLiteral("text")))
                line.add("text", e.value(QStringLiteral("text")));
            printLine(line.text());
        }
    };
    for (const QString& op : ops) {
        if (!apply(editor, op)) {
            board.fake.recorder.onEvent = nullptr;
            return usageError(editCommand, QStringLiteral("unknown operation ") + op);
        }
    }
    board.fake.recorder.onEvent = nullptr;
    printLine(editorState(editor));
    return messages ? kMessages : kOk;
}

int runCover(const QStringList& given) {
    const QStringList arguments = operandsOf(given);
    if (arguments.size() != 2)
        return usageError(coverCommand, QStringLiteral("a board and an output file expected"));
    BoardSession board;
    Session& s = *board.session;
    loadTemplate(s, boardNameArgument(arguments[0]));
    Editor editor(s);
    const QString out = QDir::current().absoluteFilePath(arguments[1]);
    const bool written = editor.coverCommands.writeCover(out);
    printMessages(board.messages());
    if (!written) {
        std::fprintf(stderr, "vexil-tool cover: cannot write %s\n", out.toLocal8Bit().constData());
        return kMessages;
    }
    return kOk;
}

}  // namespace
}  // namespace vexil::tool
