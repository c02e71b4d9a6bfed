// vexil [profile.usr] [board.vxl]
#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

#include "access/access_actions.h"
#include "access/access_engine.h"
#include "app/startup.h"
#include "app/ui/dialogs_on_screen.h"
#include "app/ui/editor_controller.h"
#include "app/ui/lazy_icon_style.h"
#include "app/ui/main_window.h"
#include "app/ui/single_instance.h"
#include "app/ui/window_controller.h"
#include "app/use_mode.h"
#include "help/help_book.h"
#include "i18n/qt_translations.h"
#include "i18n/texts.h"
#include "i18n/ui/translate_form.h"
#include "obf/obf_commands.h"
#include "platform/qt/desktop_platform.h"
#include "platform/qt/font_warmup.h"
#include "platform/qt/process_cue.h"
#include "platform/wayland/input_choice.h"
#include "session/session.h"

int main(int argc, char** argv) {
    using namespace vexil;
    // The fonts are read beside everything up to the window's first text.
    FontConfigWarmUp fontConfig;
    // On a Wayland session the window is an X11 one through XWayland where it can be: only
    // there may a window refuse the keyboard focus, and the board must leave the focus with
    // the application that receives its keys.
    const bool throughXWayland =
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY") &&
        wayland::chooseInput(wayland::SessionEnvironment::current()).waylandSession;
    if (throughXWayland) qputenv("QT_QPA_PLATFORM", "xcb");
    // The menu bar stays in the board's window, where the person using the board reaches
    // "&Sortir" and "&Canvi de plafó", never in a desktop's global menu at the top of the
    // screen; nor does the program ask the session bus at start whether there is one.
    QApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    QApplication app(argc, argv);
    const FontDatabaseWarmUp fontDatabase(fontConfig);
    // The programs a board starts are the desktop's own: native Wayland where they can be.
    if (throughXWayland) qunsetenv("QT_QPA_PLATFORM");
    QApplication::setApplicationName(QStringLiteral("vexil"));
    // The style's icons are read when first drawn (see LazyIconStyle).
    QApplication::setStyle(new LazyIconStyle(QApplication::style()));
    // Qt's own buttons and menus speak the language of the program's menus.
    installQtTranslations(app, interfaceLanguage());

    SingleInstance instance;
    if (!instance.acquire()) {
        // Above the running board, which may hold the top-most layer.
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Vexil"), messageText(4),
                        QMessageBox::Ok);
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
        box.exec();
        return 0;
    }
    DesktopPlatform desktop;
    // Drawn as a Wayland window (no XWayland to show it), the board cannot refuse the focus:
    // the desktop gives it the focus when it appears and at every click, and the keys then
    // go to the board itself. Said with the rest of what the desktop does not allow.
    if (QGuiApplication::platformName() == u"wayland" &&
        wayland::chooseInput(wayland::SessionEnvironment::current()).waylandSession) {
        QString& notice = desktop.platform().desktopNotice;
        if (!notice.isEmpty()) notice += u' ';
        notice += QStringLiteral(
            "Sin XWayland el plafón es una ventana Wayland y toma el foco al aparecer y con cada "
            "clic: las teclas no llegarían a la aplicación. Instale XWayland (el paquete "
            "xwayland) para que el plafón no tome nunca el foco.");
    }

    Session session(desktop.platform(), Folders::forThisUser());
    // The cue voice of auditory scanning, on an output of its own.
    ProcessCue cue;
    session.setCue(&cue);
    MainWindow window(session);
    PlayerActions actions(session);
    AccessEngine engine(session, actions);
    UseMode useMode(session, engine);
    WindowController controller(session, window, engine, useMode);
    // The editor's area panel is made when the edit page is first shown: a start on a board
    // in use mode never needs it.
    EditorController editorController(session, window, EditorController::Panel::WhenShown);

    DialogsOnScreen dialogsOnScreen;
    translateForm(&window);
    startUp(session, useMode, commandLineOf(QApplication::arguments().mid(1)));
    // A start in edit mode (a board that could not be read): the panel is in place before the
    // window is first laid out.
    if (!useMode.inUseMode()) editorController.makePanel();
    if (!window.isVisible()) window.show();
    // An Open Board Format package handed over by the desktop (a double click): its import.
    for (const QString& argument : QApplication::arguments().mid(1))
        if (argument.endsWith(QLatin1String(".obz"), Qt::CaseInsensitive) ||
            argument.endsWith(QLatin1String(".obf"), Qt::CaseInsensitive)) {
            importObzCommand(session, QFileInfo(argument).absoluteFilePath());
            break;
        }
    if (useMode.inUseMode()) window.focusBoard();
    return QApplication::exec();
}
