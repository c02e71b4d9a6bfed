#include "command_fixture.h"

#include "commands/player.h"

namespace vexil::test {

WindowHandle CommandFixture::openTarget(const QString& title) {
    const WindowHandle w = fake.windows.addWindow(title, 42);
    pushTarget(*session, w);
    return w;
}

QStringList CommandFixture::ops(const QStringList& only) const {
    QStringList out;
    for (const QJsonObject& e : fake.recorder.events()) {
        const QString op = e.value(QStringLiteral("op")).toString();
        if (!only.isEmpty() && !only.contains(op)) continue;
        QString detail;
        if (op == u"activate") detail = e.value(QStringLiteral("title")).toString();
        else if (op == u"keys" || op == u"message" || op == u"clipboard")
            detail = e.value(QStringLiteral("text")).toString();
        else if (op == u"wave") detail = e.value(QStringLiteral("path")).toString();
        else if (op == u"midi") detail = e.value(QStringLiteral("command")).toString();
        else if (op == u"speech")
            detail = e.value(QStringLiteral("call")).toString() + u'(' +
                     e.value(QStringLiteral("arg")).toVariant().toString() + u')';
        else if (op == u"mouse")
            detail = QStringLiteral("%1@%2,%3")
                         .arg(e.value(QStringLiteral("action")).toString())
                         .arg(e.value(QStringLiteral("x")).toInt())
                         .arg(e.value(QStringLiteral("y")).toInt());
        else if (op == u"place")
            detail = QStringLiteral("%1,%2 %3x%4")
                         .arg(e.value(QStringLiteral("x")).toInt())
                         .arg(e.value(QStringLiteral("y")).toInt())
                         .arg(e.value(QStringLiteral("width")).toInt())
                         .arg(e.value(QStringLiteral("height")).toInt());
        out << (detail.isNull() ? op : op + u':' + detail);
    }
    return out;
}

}  // namespace vexil::test
