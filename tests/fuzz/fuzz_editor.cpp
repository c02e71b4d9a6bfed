// The board editor's operations on any board: a board read from the first part of the
// input, then the rest decoded into a sequence of editor operations (clicks, drags, Ctrl+
// clicks that build a group selection, adding and deleting areas, the edge scroll bars,
// the panel's fields, copy and paste of keys, "Desfer" and "Refer", the layout tools, the
// cover). After every operation the template must be consistent; "Desfer" right after an
// edit must give back the board's bytes as they were before it; "Desfer" and "Refer" may only
// bring back boards that were there before, and one undoes the other; at the end what the
// editor made must survive a write and a load.
//
// Input: two bytes (low first) giving the board's length, the board file, then operations.
// Each input starts with a new session in an empty folder.
#include <QGuiApplication>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "editor/editor.h"
#include "files/template_reader.h"
#include "fuzz_support.h"
#include "i18n/runtime_error.h"
#include "platform/codepage.h"
#include "template/template_writer.h"

using namespace vexil;

namespace {

// Operations per input: enough to build, group and undo, few enough that a board of
// thousands of areas (every edit takes an undo snapshot of it) stays quick.
constexpr int kMaxOperations = 48;

class Run {
public:
    Run(fuzz::ByteReader& in, Session& session) : in_(in), s_(session), editor_(session) {
        editor_.setDrawingMode(session.tmpl.areaCount() == 0);
        remember();
    }

    void operation() {
        const int code = in_.byte() % 21;
        if (trace_) {
            const Template& t = s_.tmpl;
            std::fprintf(stderr, "operation %d: %d areas (%d real), current %d, undo %d, redo %d\n",
                         code, t.areaCount(), t.realAreaCount, t.currentArea,
                         editor_.context.undo.undoDepth(), editor_.context.undo.redoDepth());
        }
        switch (code) {
            case 0: {
                const double x = coordinate(), y = coordinate();
                const std::uint8_t m = in_.byte();
                editor_.board.mouseDown(MouseButton::Left, {bool(m & 1), bool(m & 2)}, x, y);
                editor_.board.mouseUp(MouseButton::Left, x, y);
                break;
            }
            case 1: {
                const double x0 = coordinate(), y0 = coordinate();
                const double x1 = coordinate(), y1 = coordinate();
                editor_.board.mouseDown(MouseButton::Left, {}, x0, y0);
                editor_.board.mouseMove((x0 + x1) / 2, (y0 + y1) / 2);
                editor_.board.mouseUp(MouseButton::Left, x1, y1);
                break;
            }
            case 2: {
                const double x = coordinate(), y = coordinate();
                editor_.board.mouseDown(MouseButton::Right, {}, x, y);
                editor_.board.mouseUp(MouseButton::Right, x, y);
                break;
            }
            case 3:
                editor_.board.addArea();
                break;
            case 4:
                editor_.board.keyDown(46);
                break;
            case 5:
                undoThenRedo(in_.byte() & 1);
                break;
            case 6:
                redo();
                break;
            case 7:
                editor_.layout.ajustarArees();
                break;
            case 8:
                editor_.layout.redimensionarArees(text(6), text(6));
                break;
            case 9: {
                const int columns = in_.byte() % 12, rows = in_.byte() % 12;
                if (editor_.layout.canSubdivide()) editor_.layout.subdividirArea(columns, rows);
                break;
            }
            case 10: {
                // A scroll bar gains the focus, moves, and loses it again.
                const Edge edge = Edge(in_.byte() % 4);
                const int value = in_.below(700);
                editor_.panel.edgeFocus(false);
                editor_.panel.scrollChanged(edge, value);
                editor_.panel.edgeFocus(true);
                break;
            }
            case 11:
                editor_.panel.setKeysText(text(32));
                break;
            case 12:
                if (in_.byte() & 1) editor_.panel.nextArea();
                else editor_.panel.prevArea();
                break;
            case 13:
                editor_.panel.select(in_.word(), in_.word());
                editor_.panel.copyKeys();
                break;
            case 14:
                editor_.panel.select(in_.word(), in_.word());
                editor_.panel.pasteKeys();
                break;
            case 15:
                editor_.panel.showArea(in_.below(s_.tmpl.areaCount() + 2));
                break;
            case 16:
                editor_.setDrawingMode(in_.byte() & 1);
                break;
            case 17:
                editor_.panel.typeEdgeText(Edge(in_.byte() % 4), text(6));
                break;
            case 18:
                panelField();
                break;
            case 19:
                editThenUndo();
                break;
            case 20:
                try {
                    editor_.coverCommands.generateCover();
                } catch (const RuntimeError&) {
                    // A cover that cannot be written is reported, not fatal.
                }
                break;
        }
        check();
        remember();
    }

    // What the editor made survives a write and a load.
    void finish() {
        const QByteArray bytes = templateFileBytes(s_.tmpl);
        const QString path = s_.folders.userFolder + QStringLiteral("/END.VXL");
        {
            QFile f(path);
            if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) std::abort();
        }
        fuzz::FuzzSession again(s_.folders.userFolder);
        loadTemplate(again.session, path);
        if (templateFileBytes(again.session.tmpl) != bytes) std::abort();
    }

private:
    double coordinate() { return in_.below(720) - 40 + (in_.byte() & 3) / 4.0; }
    QString text(int maxLength) { return decodeAnsi(in_.chunk(maxLength)); }
    QByteArray bytes() const { return templateFileBytes(s_.tmpl); }
    void remember() { seen_.insert(bytes()); }

    void panelField() {
        switch (in_.byte() % 5) {
            case 0:
                editor_.panel.setIconFile(text(12));
                break;
            case 1:
                editor_.panel.setSoundFile(text(12));
                break;
            case 2:
                editor_.panel.setClipFile(text(12));
                break;
            case 3:
                editor_.panel.setClipKind(in_.byte() & 1);
                break;
            case 4:
                editor_.panel.setRepeat(in_.byte() & 1);
                break;
        }
    }

    // An edit that takes its own undo snapshot, then "Desfer": the board as it was.
    void editThenUndo() {
        const QByteArray before = bytes();
        switch (in_.byte() % 5) {
            case 0:
                editor_.board.deleteArea();
                break;
            case 1:
                editor_.layout.ajustarArees();
                break;
            case 2:
                editor_.layout.redimensionarArees(QString::number(1 + in_.byte() % 100),
                                                  QString::number(1 + in_.byte() % 100));
                break;
            case 3: {
                const int columns = 1 + in_.byte() % 10, rows = 1 + in_.byte() % 10;
                if (editor_.layout.canSubdivide()) editor_.layout.subdividirArea(columns, rows);
                break;
            }
            case 4:
                editor_.board.addArea();
                break;
        }
        if (bytes() == before) return;
        check();
        remember();  // "Refer" may bring it back
        editor_.board.undo();
        if (bytes() != before) std::abort();
    }

    // "Desfer" brings back a board that was there; "Refer" right after it undoes it.
    void undoThenRedo(bool thenRedo) {
        const QByteArray before = bytes();
        const int depth = editor_.context.undo.undoDepth();
        editor_.board.undo();
        if (editor_.context.undo.undoDepth() == depth) {
            if (bytes() != before) std::abort();  // nothing to undo changes nothing
            return;
        }
        if (!seen_.count(bytes())) std::abort();
        if (!thenRedo) return;
        check();
        remember();
        editor_.board.redo();
        if (bytes() != before) std::abort();
    }

    void redo() {
        const QByteArray before = bytes();
        const int depth = editor_.context.undo.redoDepth();
        editor_.board.redo();
        if (editor_.context.undo.redoDepth() == depth) {
            if (bytes() != before) std::abort();
            return;
        }
        if (!seen_.count(bytes())) std::abort();
    }

    void check() const {
        const Template& t = s_.tmpl;
        if (t.areaCount() < 0 || t.areaCount() > kMaxAreas) std::abort();
        if (t.areas().size() != size_t(t.areaCount()) + 1) std::abort();
        if (t.realAreaCount < 0 || t.realAreaCount > t.areaCount()) std::abort();
        if (t.currentArea < -1 || t.currentArea > t.areaCount()) std::abort();
        const UndoStore& undo = editor_.context.undo;
        if (undo.undoDepth() > UndoStore::kDepth || undo.redoDepth() > UndoStore::kDepth) std::abort();
        const PanelState& p = editor_.context.panel;
        if (p.selectionStart < 0 || p.selectionLength < 0 ||
            p.selectionStart + p.selectionLength > p.txText.size())
            std::abort();
    }

    // FUZZ_TRACE=1 lists the operations as they run (to read a finding).
    const bool trace_ = qEnvironmentVariableIsSet("FUZZ_TRACE");
    fuzz::ByteReader& in_;
    Session& s_;
    Editor editor_;
    std::set<QByteArray> seen_;  // every board the operations left, in file form
};

}  // namespace

// Fontconfig's pattern cache, which Qt's font database fills on first use, is left behind
// when the process ends; LeakSanitizer's check at the exit is told so. Leaks of one input
// are still found: libFuzzer checks every input that allocates more than it frees.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Labels on the cover are measured and drawn with fonts, which need the application. It
    // gets arguments of its own: libFuzzer's are not for Qt to take.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_editor";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::ByteReader in(data, size);
    const int boardLength = in.word();
    QByteArray board;
    while (board.size() < boardLength && !in.atEnd()) board += char(in.byte());

    const fuzz::InputFolder folder;
    fuzz::FuzzSession s(folder.path);
    if (!board.isEmpty()) loadTemplate(s.session, folder.write(QStringLiteral("F.VXL"), board));
    s.fake.recorder.clear();

    Run run(in, s.session);
    for (int n = 0; n < kMaxOperations && !in.atEnd(); ++n) run.operation();
    run.finish();
    return 0;
}
