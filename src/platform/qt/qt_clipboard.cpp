#include "platform/qt/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace vexil {
namespace {

QClipboard* board() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance())
               ? QGuiApplication::clipboard()
               : nullptr;
}

}  // namespace

void QtClipboard::clear() {
    if (QClipboard* c = board()) c->clear();
}

void QtClipboard::setText(const QString& text) {
    if (QClipboard* c = board()) c->setText(text);
}

void QtClipboard::setImage(const QImage& image) {
    if (QClipboard* c = board()) c->setImage(image);
}

void QtClipboard::setMetafile(const QByteArray& wmf, const QImage& rendered) {
    QClipboard* c = board();
    if (!c) return;
    // Linux programs paste pictures, not metafiles: the rendered picture goes first, the
    // metafile itself rides along for the few that take it.
    auto* data = new QMimeData;
    data->setImageData(rendered);
    data->setData(QStringLiteral("image/x-wmf"), wmf);
    c->setMimeData(data);
}

QString QtClipboard::text() {
    QClipboard* c = board();
    return c ? c->text() : QString();
}

}  // namespace vexil
