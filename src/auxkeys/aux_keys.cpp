#include "auxkeys/aux_keys.h"

#include <algorithm>
#include <vector>

#include "editor/file_commands.h"
#include "session/session.h"

namespace vexil {

std::span<const AuxKeyButton> auxKeyButtons() {
    static constexpr AuxKeyButton rows[] = {
        // Index 0 has no key of its own in the old design; here it is the F12 it shows.
        {0, "F12", "{F12}"},
        {1, "Ins", "{INSERT}"},
        {2, "Inici", "{HOME}"},
        {3, "Re.Pg", "{PGUP}"},
        {4, "F2", "{F2}"},
        {5, "Supr", "{DEL}"},
        {6, "Fi", "{END}"},
        {7, "Av.Pg", "{PGDN}"},
        {8, "F3", "{F3}"},
        {9, "Tab", "{TAB}"},
        {10, "Retr", "{BK}"},
        {11, "+", "{+}"},
        {12, "F4", "{F4}"},
        {13, "Esc", "{ESC}"},
        {14, " Imp.P", "{PRTSC}"},
        // Num Lock: the old caption ("Bloc.Desp") was that of Scroll Lock, one key over.
        {15, "Bloq.Núm", "{NUMLOCK}"},
        {16, "F5", "{F5}"},
        {17, "←", "{LEFT}"},
        {18, "↑", "{UP}"},
        {19, "→", "{RIGHT}"},
        {20, "Bloq.Desp", "{SCROLLOCK}"},
        {21, "Pausa", "{BREAK}"},
        {22, "↓", "{DOWN}"},
        {23, "↵", "{ENTER}"},
        {24, "F6", "{F6}"},
        {26, "F11", "{F11}"},
        {27, "F10", "{F10}"},
        {28, "F9", "{F9}"},
        {29, "F8", "{F8}"},
        {30, "F1", "{F1}"},
        {31, "F7", "{F7}"},
    };
    return rows;
}

QString auxKeyText(int index) {
    for (const AuxKeyButton& b : auxKeyButtons())
        if (b.index == index) return QString::fromLatin1(b.text);
    return QString();
}

std::span<const AuxPictureButton> auxPictureButtons() {
    // The level buttons write the Spanish keyword, which the interpreter takes as well.
    static constexpr AuxPictureButton rows[] = {
        {0, PictureKind::Shift, "+"},
        {1, PictureKind::Ctrl, "^"},
        {2, PictureKind::Alt, "%"},
        {3, PictureKind::Wait, "{|Espera 1}"},
        {4, PictureKind::LoadTemplate, "{|Carrega "},
        {5, PictureKind::RunProgram, "{|Executa "},
        {6, PictureKind::TopLevel, "{|Nivel 0}"},
        {7, PictureKind::PreviousLevel, "{|Nivel -1}"},
        {8, PictureKind::None, ""},
    };
    return rows;
}

namespace {

FileDialogRequest fileRequest(const Session& session, PictureKind kind) {
    FileDialogRequest r;
    if (kind == PictureKind::LoadTemplate) {
        r.title = QStringLiteral("Fitxer de plantilla");
        r.filter = QStringLiteral("Vexil (*.VXL)|*.VXL");
        r.fileName = QStringLiteral("*.VXL");
    } else {
        r.title = QStringLiteral("Fitxers");
        r.filter = QStringLiteral("Fitxers executable(*.EXE)|*.EXE|Tots els fixters (*.*)|*.*");
        r.fileName = QStringLiteral("*.EXE");
    }
    r.initialFolder = session.folders.programFolder;
    return r;
}

}  // namespace

std::optional<QString> auxPictureText(Session& session, int index) {
    const auto rows = auxPictureButtons();
    const auto row = std::find_if(rows.begin(), rows.end(),
                                  [index](const AuxPictureButton& b) { return b.index == index; });
    if (row == rows.end() || row->kind == PictureKind::None) return std::nullopt;
    const QString opening = QString::fromLatin1(row->text);
    if (row->kind != PictureKind::LoadTemplate && row->kind != PictureKind::RunProgram)
        return opening;
    const QString chosen = session.platform.dialogs.chooseFile(fileRequest(session, row->kind));
    // A cancelled dialog, a pattern left as the name, or a name too short to be a file.
    if (chosen.isEmpty() || chosen.startsWith(u'*') || chosen.size() <= 4) return std::nullopt;
    return opening + makeRelative(session, chosen).toUpper() + u'}';
}

FieldEdit insertAtCursor(const QString& field, int cursor, const QString& inserted) {
    const int p = std::clamp(cursor, 0, int(field.size()));
    return {field.left(p) + inserted + field.mid(p), p + int(inserted.size())};
}

namespace {

qint64 overlap(const QRect& a, const QRect& b) {
    const QRect i = a.intersected(b);
    return i.isEmpty() ? 0 : qint64(i.width()) * i.height();
}

// Moved into the screen as far as the size allows (the top-left corner stays on it).
QPoint onScreen(const QRect& screen, const QSize& size, QPoint p) {
    p.setX(std::max(screen.left(), std::min(p.x(), screen.right() + 1 - size.width())));
    p.setY(std::max(screen.top(), std::min(p.y(), screen.bottom() + 1 - size.height())));
    return p;
}

}  // namespace

QPoint auxKeyboardPosition(const QRect& screen, const QSize& size, const QRect& window,
                           const QRect& field) {
    // Right, left, below and above a rectangle, moved into the screen.
    const auto besides = [&](const QRect& r) {
        std::vector<QPoint> out;
        if (r.isEmpty()) return out;
        for (const QPoint& p : {QPoint(r.right() + 1, r.top()), QPoint(r.left() - size.width(), r.top()),
                                QPoint(r.right() + 1 - size.width(), r.bottom() + 1),
                                QPoint(r.right() + 1 - size.width(), r.top() - size.height())})
            out.push_back(onScreen(screen, size, p));
        return out;
    };
    const std::vector<QPoint> byWindow = besides(window), byField = besides(field);
    for (const QPoint& p : byWindow)
        if (overlap(QRect(p, size), window) == 0) return p;
    for (const QPoint& p : byField)
        if (overlap(QRect(p, size), field) == 0) return p;
    // No room anywhere: the place that hides least of the field, then of the window.
    QPoint best = onScreen(screen, size, screen.topLeft());
    std::optional<std::pair<qint64, qint64>> least;
    for (const std::vector<QPoint>* places : {&byWindow, &byField}) {
        for (const QPoint& p : *places) {
            const QRect r(p, size);
            const std::pair<qint64, qint64> hidden{overlap(r, field), overlap(r, window)};
            if (!least || hidden < *least) {
                least = hidden;
                best = p;
            }
        }
    }
    return best;
}

}  // namespace vexil
