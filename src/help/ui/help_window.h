#pragma once
// The help window ("Ajuda") and the help of the whole program: F1 in any window opens the
// topic of that window, and any code can show a topic with showHelpTopic().
#include <QObject>
#include <QPointer>
#include <QWidget>

#include "help/help_book.h"
#include "platform/dialogs.h"

class QApplication;
class QTextBrowser;

namespace vexil {

// A help page in a text browser; links between pages stay in it.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    void showPage(const QUrl& url);
    QTextBrowser* browser() const { return browser_; }

protected:
    // Escape closes the window.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTextBrowser* browser_ = nullptr;
};

// The help of the application: owns the help window and answers F1. Made once, as a child
// of the application object, so that showHelpTopic() finds it.
class HelpSystem : public QObject {
    Q_OBJECT
public:
    // The help under `programFolder` in `language` ("ca" or "es"); `owner` is the window
    // the help window belongs to (the main window).
    // Messages go through `dialogs`.
    HelpSystem(const QString& programFolder, const QString& language, Dialogs& dialogs,
               QWidget* owner);
    ~HelpSystem() override;

    // The help of this application; null when none was made.
    static HelpSystem* of(QApplication* app);

    // Opens the help window at a topic (the index for an unknown one). A program without
    // its help pages shows the message that says so.
    void showTopic(int topic);
    // The topic F1 opens for a widget: the `helpTopic` property of the widget or of the
    // nearest window or parent that has one, else the index.
    static int topicFor(const QWidget* widget);
    // While this is set F1 in the owner window is left to it (the board in use mode takes
    // every key); other windows keep their help.
    void setSuspended(bool suspended) { suspended_ = suspended; }

    HelpWindow* window() const { return window_; }
    const HelpBook& book() const { return book_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    HelpBook book_;
    Dialogs& dialogs_;
    QPointer<QWidget> owner_;
    QPointer<HelpWindow> window_;
    bool suspended_ = false;
};

// Shows a help topic through the application's help; false when the application has none.
bool showHelpTopic(int topic);

// Keeps a modeless window usable while a modal dialog is open: it is made a transient of
// the dialog, which would otherwise block it; with no dialog open it goes back to its owner.
void keepAboveModalDialog(QWidget* window);

}  // namespace vexil
