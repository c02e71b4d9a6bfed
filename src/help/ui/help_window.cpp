#include "help/ui/help_window.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWindow>

#include "i18n/texts.h"

namespace vexil {

namespace {
const char* const kHelpSystemName = "vexilHelp";
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Ajuda"));
    setWindowTitle(QStringLiteral("Vexil - Ayuda"));
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("helpBrowser"));
    browser_->setOpenLinks(true);
    // Links to other sites go to the desktop's browser; the pages' own links stay here.
    browser_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(640, 560);
    connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = browser_->documentTitle();
        setWindowTitle(title.isEmpty() ? QStringLiteral("Vexil") : QStringLiteral("Vexil - ") + title);
    });
}

void HelpWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void HelpWindow::showPage(const QUrl& url) {
    browser_->setSource(url);
    if (!url.fragment().isEmpty()) browser_->scrollToAnchor(url.fragment());
}

HelpSystem::HelpSystem(const QString& programFolder, const QString& language, Dialogs& dialogs,
                       QWidget* owner)
    : QObject(QApplication::instance()),
      book_(programFolder, language),
      dialogs_(dialogs),
      owner_(owner) {
    setObjectName(QLatin1String(kHelpSystemName));
    QApplication::instance()->installEventFilter(this);
}

HelpSystem::~HelpSystem() {
    if (QApplication::instance()) QApplication::instance()->removeEventFilter(this);
    delete window_;
}

HelpSystem* HelpSystem::of(QApplication* app) {
    if (!app) return nullptr;
    return app->findChild<HelpSystem*>(QLatin1String(kHelpSystemName), Qt::FindDirectChildrenOnly);
}

int HelpSystem::topicFor(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QVariant topic = w->property("helpTopic");
        if (topic.isValid()) return topic.toInt();
        if (w->isWindow()) break;
    }
    return help_topic::Index;
}

void HelpSystem::showTopic(int topic) {
    const QUrl url = book_.urlForTopic(topic);
    if (url.isEmpty()) {
        // The same words as for any other file the program cannot find.
        dialogs_.message(messageText(15) + book_.folder());
        return;
    }
    if (!window_) window_ = new HelpWindow(owner_);
    window_->showPage(url);
    window_->show();
    keepAboveModalDialog(window_);
    window_->raise();
    window_->activateWindow();
}

bool HelpSystem::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget) return false;
    // The board in use mode takes F1 as any other key (a switch may be "any key"); its
    // dialogs still have their help.
    if (suspended_ && owner_ && widget->window() == owner_->window()) return false;
    // The help window itself answers F1 with its index.
    showTopic(widget->window() == window_ ? help_topic::Index : topicFor(widget));
    return true;
}

bool showHelpTopic(int topic) {
    HelpSystem* help = HelpSystem::of(qApp);
    if (!help) return false;
    help->showTopic(topic);
    return true;
}

void keepAboveModalDialog(QWidget* window) {
    if (!window || !window->isVisible()) return;
    QWindow* handle = window->windowHandle();
    if (!handle) return;
    QWidget* modal = QApplication::activeModalWidget();
    QWindow* parent = nullptr;
    if (modal && modal != window && !window->isAncestorOf(modal))
        parent = modal->windowHandle();
    else if (window->parentWidget())
        parent = window->parentWidget()->window()->windowHandle();
    if (parent && handle->transientParent() != parent) handle->setTransientParent(parent);
}

}  // namespace vexil
