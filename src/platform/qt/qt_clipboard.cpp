#include "platform/qt/qt_clipboard.h"

#include <QAbstractNativeEventFilter>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMimeData>
#include <QThread>

#include <xcb/xcb.h>

#include "platform/media/media_loader.h"

namespace vexil {
namespace {

QClipboard* board() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance())
               ? QGuiApplication::clipboard()
               : nullptr;
}

// Counts the selection requests that reach this program (another window fetching what
// this program offers) before Qt answers them.
class SelectionRequestCounter : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType == "xcb_generic_event_t") {
            const auto* event = static_cast<const xcb_generic_event_t*>(message);
            if ((event->response_type & 0x7f) == XCB_SELECTION_REQUEST) ++count;
        }
        return false;
    }
    unsigned long count = 0;
};

SelectionRequestCounter* requestCounter() {
    static SelectionRequestCounter* counter = [] {
        auto* c = new SelectionRequestCounter;
        QCoreApplication::instance()->installNativeEventFilter(c);
        return c;
    }();
    return counter;
}

}  // namespace

void QtClipboard::pasteWith(const std::function<void()>& pressPasteKey) {
    // Only what this program offers is fetched from it; anything else there is nothing to
    // wait for.
    QClipboard* c = board();
    if (!c || !c->ownsClipboard() || QGuiApplication::platformName() != QLatin1String("xcb")) {
        pressPasteKey();
        return;
    }
    SelectionRequestCounter* counter = requestCounter();
    const unsigned long before = counter->count;
    pressPasteKey();
    QElapsedTimer sinceLast;
    sinceLast.start();
    unsigned long seen = before;
    // A window may first ask which forms are offered and then for one of them: the wait
    // goes on while requests keep coming.
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (counter->count != seen) {
            seen = counter->count;
            sinceLast.restart();
        }
        const int limit = seen == before ? kFirstRequestMs : kQuietMs;
        if (sinceLast.elapsed() >= limit) break;
        QThread::msleep(2);
    }
}

void QtClipboard::clear() {
    if (QClipboard* c = board()) c->clear();
}

void QtClipboard::setText(const QString& text) {
    if (QClipboard* c = board()) c->setText(text);
}

void QtClipboard::setImage(const QImage& image) {
    if (QClipboard* c = board()) c->setImage(image);
}

void QtClipboard::setMetafile(const QByteArray& wmf) {
    QClipboard* c = board();
    if (!c) return;
    // Linux programs paste pictures, not metafiles: the drawn picture goes first, the
    // metafile itself rides along for the few that take it.
    auto* data = new QMimeData;
    const QImage picture = media::renderMetafileInModule(wmf);
    if (!picture.isNull()) data->setImageData(picture);
    data->setData(QStringLiteral("image/x-wmf"), wmf);
    c->setMimeData(data);
}

QString QtClipboard::text() {
    QClipboard* c = board();
    return c ? c->text() : QString();
}

}  // namespace vexil
