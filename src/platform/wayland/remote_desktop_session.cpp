#include "platform/wayland/remote_desktop_session.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QDBusVariant>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

namespace vexil::wayland {
namespace {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kPortalRemote = QStringLiteral("org.freedesktop.portal.RemoteDesktop");
const QString kMutterService = QStringLiteral("org.gnome.Mutter.RemoteDesktop");
const QString kMutterPath = QStringLiteral("/org/gnome/Mutter/RemoteDesktop");
const QString kMutterSession = QStringLiteral("org.gnome.Mutter.RemoteDesktop.Session");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// The portal's device types and its "persist until revoked" mode.
constexpr uint kKeyboard = 1, kPointer = 2, kPersistUntilRevoked = 2;
// How long no request for the pasted text must have come before the clipboard gets its
// old content back (milliseconds).
constexpr int kQuietMs = 40;
// How long an application busy with the keys before its Ctrl+V may take to ask for the
// text (a thousand keys take a Qt window over a second on a busy machine).
constexpr int kPasteTimeoutMs = 5000;
// How long the user may take over the consent dialog.
constexpr int kConsentTimeoutMs = 120000;

QString tokenFile(const QString& folder) {
    return folder + QStringLiteral("/remote-desktop-token");
}

QString readToken(const QString& folder) {
    QFile f(tokenFile(folder));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll()).trimmed();
}

// The token lets this program in without asking again: it is the user's alone (0600, in a
// folder that is theirs).
void writeToken(const QString& folder, const QString& token) {
    if (token.isEmpty()) return;
    QDir().mkpath(folder);
    const QByteArray path = QFile::encodeName(tokenFile(folder));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return;
    fchmod(fd, 0600);
    const QByteArray bytes = token.toUtf8();
    const bool ok = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    ::close(fd);
    if (!ok) ::unlink(path.constData());
}

QString errorOf(const QDBusMessage& reply) {
    return reply.errorName() + QStringLiteral(": ") + reply.errorMessage();
}

// The text types offered for a paste, the one GTK and Qt ask for first at the front.
const QStringList kTextTypes{QStringLiteral("text/plain;charset=utf-8"),
                             QStringLiteral("UTF8_STRING"), QStringLiteral("text/plain"),
                             QStringLiteral("STRING"), QStringLiteral("TEXT")};

// Runs the event loop (D-Bus signals arrive through it) until `done` or `ms` have passed;
// asleep between events.
void waitUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    QEventLoop loop;
    QTimer tick;
    tick.start(5);
    while (!done() && t.elapsed() < ms) loop.processEvents(QEventLoop::WaitForMoreEvents);
}

}  // namespace

RemoteDesktopSession::RemoteDesktopSession(Route route, QDBusConnection bus)
    : route_(route), bus_(std::move(bus)) {}

RemoteDesktopSession::~RemoteDesktopSession() {
    if (closed_) return;
    // The service ends the session when this connection goes; saying so is quicker.
    if (route_ == Route::Mutter)
        bus_.call(QDBusMessage::createMethodCall(service_, sessionPath_, kMutterSession,
                                                 QStringLiteral("Stop")),
                  QDBus::Block, 1000);
    else
        bus_.call(QDBusMessage::createMethodCall(kPortalService, portalSession_.path(),
                                                 QStringLiteral("org.freedesktop.portal.Session"),
                                                 QStringLiteral("Close")),
                  QDBus::Block, 1000);
}

std::unique_ptr<RemoteDesktopSession> RemoteDesktopSession::open(Route route,
                                                                 const QString& dataFolder,
                                                                 Opened* outcome, QString* why) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    *outcome = Opened::Absent;
    if (!bus.isConnected()) {
        *why = QStringLiteral("no hay bus de sesión D-Bus");
        return nullptr;
    }
    std::unique_ptr<RemoteDesktopSession> s(new RemoteDesktopSession(route, bus));
    const bool ok = route == Route::Portal ? s->openPortal(dataFolder, outcome, why)
                                           : s->openMutter(outcome, why);
    if (!ok) {
        s->closed_ = true;
        return nullptr;
    }
    *outcome = Opened::Ok;
    return s;
}

bool RemoteDesktopSession::openMutter(Opened* outcome, QString* why) {
    service_ = kMutterService;
    QDBusMessage reply =
        bus_.call(QDBusMessage::createMethodCall(kMutterService, kMutterPath, kMutterService,
                                                 QStringLiteral("CreateSession")),
                  QDBus::Block, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        *why =
            QStringLiteral("org.gnome.Mutter.RemoteDesktop no responde (%1)").arg(errorOf(reply));
        return false;
    }
    sessionPath_ = reply.arguments().first().value<QDBusObjectPath>().path();
    *outcome = Opened::Refused;
    bus_.connect(service_, sessionPath_, kMutterSession, QStringLiteral("Closed"), this,
                 SLOT(onClosed()));
    reply = bus_.call(QDBusMessage::createMethodCall(service_, sessionPath_, kMutterSession,
                                                     QStringLiteral("Start")),
                      QDBus::Block, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        *why = QStringLiteral("la sesión de escritorio remoto no empieza (%1)").arg(errorOf(reply));
        return false;
    }
    // The clipboard, for the characters no key of the layout types.
    bus_.connect(service_, sessionPath_, kMutterSession, QStringLiteral("SelectionOwnerChanged"),
                 this, SLOT(onSelectionOwnerChanged(QVariantMap)));
    bus_.connect(service_, sessionPath_, kMutterSession, QStringLiteral("SelectionTransfer"), this,
                 SLOT(onSelectionTransfer(QString, uint)));
    QDBusMessage enable = QDBusMessage::createMethodCall(service_, sessionPath_, kMutterSession,
                                                         QStringLiteral("EnableClipboard"));
    enable << QVariantMap();
    clipboard_ = bus_.call(enable, QDBus::Block, 5000).type() == QDBusMessage::ReplyMessage;
    return true;
}

bool RemoteDesktopSession::openPortal(const QString& dataFolder, Opened* outcome, QString* why) {
    service_ = kPortalService;
    QDBusMessage get = QDBusMessage::createMethodCall(kPortalService, kPortalPath, kProperties,
                                                      QStringLiteral("Get"));
    get << kPortalRemote << QStringLiteral("AvailableDeviceTypes");
    const QDBusMessage types = bus_.call(get, QDBus::Block, 5000);
    if (types.type() != QDBusMessage::ReplyMessage) {
        *why = QStringLiteral("el portal del escritorio no ofrece RemoteDesktop");
        return false;
    }
    const uint available = types.arguments().value(0).value<QDBusVariant>().variant().toUInt();
    if ((available & (kKeyboard | kPointer)) != (kKeyboard | kPointer)) {
        *why = QStringLiteral("el portal del escritorio no ofrece teclado y ratón remotos");
        return false;
    }
    *outcome = Opened::Refused;
    QVariantMap results;
    uint response = 0;
    if (!request(
            QStringLiteral("CreateSession"), {},
            {{QStringLiteral("session_handle_token"), QStringLiteral("vexil%1").arg(getpid())}},
            10000, &results, &response, why))
        return false;
    portalSession_ = QDBusObjectPath(results.value(QStringLiteral("session_handle")).toString());
    bus_.connect(kPortalService, portalSession_.path(),
                 QStringLiteral("org.freedesktop.portal.Session"), QStringLiteral("Closed"), this,
                 SLOT(onClosed()));
    QVariantMap select{{QStringLiteral("types"), kKeyboard | kPointer},
                       {QStringLiteral("persist_mode"), kPersistUntilRevoked}};
    const QString saved = readToken(dataFolder);
    if (!saved.isEmpty()) select.insert(QStringLiteral("restore_token"), saved);
    if (!request(QStringLiteral("SelectDevices"), {QVariant::fromValue(portalSession_)}, select,
                 10000, &results, &response, why))
        return false;
    // Here the desktop shows its consent dialog (not when the restore token is still good).
    if (!request(QStringLiteral("Start"), {QVariant::fromValue(portalSession_), QString()}, {},
                 kConsentTimeoutMs, &results, &response, why))
        return false;
    const uint devices = results.value(QStringLiteral("devices")).toUInt();
    if (!(devices & kKeyboard)) {
        *why = QStringLiteral("el escritorio no ha dado el teclado a Vexil");
        return false;
    }
    // Each start hands out a new token; the old one is spent.
    writeToken(dataFolder, results.value(QStringLiteral("restore_token")).toString());
    return true;
}

// A portal call answers with a Request object whose Response signal carries the outcome.
// The object's path is known in advance (the caller's unique name and the handle token),
// so the signal is watched before the call: an answer cannot slip by.
bool RemoteDesktopSession::request(const QString& method, const QVariantList& args,
                                   QVariantMap options, int timeoutMs, QVariantMap* results,
                                   uint* response, QString* why) {
    static int counter = 0;
    const QString token = QStringLiteral("vexil_%1_%2").arg(getpid()).arg(++counter);
    QString sender = bus_.baseService().mid(1);
    sender.replace(u'.', u'_');
    const QString path =
        QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
    const QString requestIface = QStringLiteral("org.freedesktop.portal.Request");
    bus_.connect(kPortalService, path, requestIface, QStringLiteral("Response"), this,
                 SLOT(onResponse(uint, QVariantMap)));
    options.insert(QStringLiteral("handle_token"), token);
    QDBusMessage call =
        QDBusMessage::createMethodCall(kPortalService, kPortalPath, kPortalRemote, method);
    QVariantList all = args;
    all.append(options);  // the options come last in every call of the interface
    call.setArguments(all);
    answered_ = false;
    const QDBusMessage reply = bus_.call(call, QDBus::Block, 10000);
    bool ok = reply.type() == QDBusMessage::ReplyMessage;
    if (!ok) {
        *why = QStringLiteral("el portal rechaza %1 (%2)").arg(method, errorOf(reply));
    } else {
        // The event loop runs meanwhile: the consent dialog is the desktop's, and this
        // program's windows keep drawing.
        waitUntil([this] { return answered_; }, timeoutMs);
        ok = answered_ && response_ == 0;
        if (!answered_)
            *why = QStringLiteral("el portal no contesta a %1").arg(method);
        else if (!ok)
            *why = QStringLiteral("el usuario no ha dado permiso (%1)").arg(method);
    }
    bus_.disconnect(kPortalService, path, requestIface, QStringLiteral("Response"), this,
                    SLOT(onResponse(uint, QVariantMap)));
    *results = results_;
    *response = response_;
    return ok;
}

void RemoteDesktopSession::onResponse(uint response, const QVariantMap& results) {
    answered_ = true;
    response_ = response;
    results_ = results;
}

void RemoteDesktopSession::onClosed() {
    closed_ = true;
}

void RemoteDesktopSession::notify(const QString& method, const QVariantList& args) {
    if (closed_) return;
    QDBusMessage m =
        route_ == Route::Mutter
            ? QDBusMessage::createMethodCall(service_, sessionPath_, kMutterSession, method)
            : QDBusMessage::createMethodCall(kPortalService, kPortalPath, kPortalRemote, method);
    if (route_ == Route::Mutter) {
        m.setArguments(args);
    } else {
        QVariantList all{QVariant::fromValue(portalSession_), QVariantMap()};
        all.append(args);
        m.setArguments(all);
    }
    // Not waited for: messages on one connection are handled in order, and sync() waits
    // for them all at once (a round trip per key would cost a thousand keys half a second).
    bus_.send(m);
}

void RemoteDesktopSession::key(std::uint32_t evdevCode, bool down) {
    if (route_ == Route::Mutter)
        notify(QStringLiteral("NotifyKeyboardKeycode"), {evdevCode, down});
    else
        notify(QStringLiteral("NotifyKeyboardKeycode"), {int(evdevCode), uint(down)});
}

void RemoteDesktopSession::button(int evdevButton, bool down) {
    if (route_ == Route::Mutter)
        notify(QStringLiteral("NotifyPointerButton"), {evdevButton, down});
    else
        notify(QStringLiteral("NotifyPointerButton"), {evdevButton, uint(down)});
}

void RemoteDesktopSession::motion(double dx, double dy) {
    notify(route_ == Route::Mutter ? QStringLiteral("NotifyPointerMotionRelative")
                                   : QStringLiteral("NotifyPointerMotion"),
           {dx, dy});
}

bool RemoteDesktopSession::sync() {
    if (closed_) return false;
    QDBusMessage get = route_ == Route::Mutter
                           ? QDBusMessage::createMethodCall(service_, sessionPath_, kProperties,
                                                            QStringLiteral("Get"))
                           : QDBusMessage::createMethodCall(kPortalService, kPortalPath,
                                                            kProperties, QStringLiteral("Get"));
    if (route_ == Route::Mutter)
        get << kMutterSession << QStringLiteral("CapsLockState");
    else
        get << kPortalRemote << QStringLiteral("version");
    const QDBusMessage reply = bus_.call(get, QDBus::Block, 3000);
    return reply.type() == QDBusMessage::ReplyMessage && !closed_;
}

bool RemoteDesktopSession::capsLocked() {
    // The portal does not say; the layout's own Caps Lock then turns letters as it would
    // for the user.
    if (route_ != Route::Mutter || closed_) return false;
    QDBusMessage get =
        QDBusMessage::createMethodCall(service_, sessionPath_, kProperties, QStringLiteral("Get"));
    get << kMutterSession << QStringLiteral("CapsLockState");
    const QDBusMessage reply = bus_.call(get, QDBus::Block, 3000);
    return reply.arguments().value(0).value<QDBusVariant>().variant().toBool();
}

void RemoteDesktopSession::onSelectionOwnerChanged(const QVariantMap& options) {
    sessionOwns_ = options.value(QStringLiteral("session-is-owner")).toBool();
    if (!sessionOwns_) {
        // GNOME sends the types as a structure holding the list, "(as)".
        const QVariant types = options.value(QStringLiteral("mime-types"));
        ownerTypes_.clear();
        if (types.canConvert<QDBusArgument>()) {
            const QDBusArgument arg = types.value<QDBusArgument>();
            if (arg.currentType() == QDBusArgument::StructureType) {
                arg.beginStructure();
                arg >> ownerTypes_;
                arg.endStructure();
            } else {
                arg >> ownerTypes_;
            }
        } else {
            ownerTypes_ = types.toStringList();
        }
        offered_.clear();
    }
}

void RemoteDesktopSession::onSelectionTransfer(const QString& mimeType, uint serial) {
    QDBusMessage write = QDBusMessage::createMethodCall(service_, sessionPath_, kMutterSession,
                                                        QStringLiteral("SelectionWrite"));
    write << serial;
    const QDBusMessage reply = bus_.call(write, QDBus::Block, 3000);
    const auto fd = reply.arguments().value(0).value<QDBusUnixFileDescriptor>();
    const auto it = offered_.find(mimeType);
    bool ok = fd.isValid() && it != offered_.end();
    if (ok) {
        const QByteArray& bytes = it->second;
        qsizetype done = 0;
        while (ok && done < bytes.size()) {
            const ssize_t n =
                ::write(fd.fileDescriptor(), bytes.constData() + done, size_t(bytes.size() - done));
            ok = n > 0;
            done += n > 0 ? n : 0;
        }
    }
    QDBusMessage finished = QDBusMessage::createMethodCall(service_, sessionPath_, kMutterSession,
                                                           QStringLiteral("SelectionWriteDone"));
    finished << serial << ok;
    bus_.call(finished, QDBus::Block, 3000);
    ++transfersServed_;
}

// What another application holds on the clipboard, read through the session. Bounded: an
// owner that does not answer leaves nothing to give back.
QByteArray RemoteDesktopSession::readSelection(const QString& mimeType) {
    QDBusMessage read = QDBusMessage::createMethodCall(service_, sessionPath_, kMutterSession,
                                                       QStringLiteral("SelectionRead"));
    read << mimeType;
    const QDBusMessage reply = bus_.call(read, QDBus::Block, 3000);
    const auto fd = reply.arguments().value(0).value<QDBusUnixFileDescriptor>();
    QByteArray out;
    if (!fd.isValid()) return out;
    // The event loop runs meanwhile: the owner may be this session itself, asked through
    // SelectionTransfer.
    QElapsedTimer t;
    t.start();
    char buffer[4096];
    while (t.elapsed() < 1000) {
        pollfd p{fd.fileDescriptor(), POLLIN, 0};
        if (poll(&p, 1, 0) <= 0) {
            waitUntil([] { return false; }, 2);
            continue;
        }
        const ssize_t n = ::read(fd.fileDescriptor(), buffer, sizeof buffer);
        if (n <= 0) break;
        out.append(buffer, n);
    }
    return out;
}

void RemoteDesktopSession::offer(const std::map<QString, QByteArray>& content) {
    offered_ = content;
    QStringList types;
    for (const auto& [type, bytes] : content) types << type;
    QDBusMessage set = QDBusMessage::createMethodCall(service_, sessionPath_, kMutterSession,
                                                      QStringLiteral("SetSelection"));
    set << QVariantMap{{QStringLiteral("mime-types"), types}};
    bus_.call(set, QDBus::Block, 3000);
}

bool RemoteDesktopSession::paste(const QString& text, const std::function<void()>& pressPaste) {
    if (!clipboard_ || closed_) return false;
    // What the clipboard holds now, as text, to give back after the paste.
    std::map<QString, QByteArray> before;
    if (sessionOwns_) {
        before = offered_;
    } else {
        for (const QString& type : kTextTypes)
            if (ownerTypes_.contains(type)) {
                const QByteArray bytes = readSelection(type);
                for (const QString& t : kTextTypes) before[t] = bytes;
                break;
            }
    }
    std::map<QString, QByteArray> content;
    for (const QString& type : kTextTypes)
        content[type] = type == u"STRING" ? text.toLatin1() : text.toUtf8();
    offer(content);
    // Requests for what was offered before are answered before counting starts.
    waitUntil([] { return false; }, everOffered_ ? 5 : 40);
    everOffered_ = true;
    const int served = transfersServed_;
    pressPaste();
    // The application asks for the text when it reads Ctrl+V; it is served from the event
    // loop. The clipboard gets back what it held once no request has come for a while:
    // some applications ask twice (a second type, or again to check).
    waitUntil([&] { return transfersServed_ != served || closed_; }, kPasteTimeoutMs);
    const bool ok = transfersServed_ != served;
    for (int seen = transfersServed_, i = 0; ok && i < 10; ++i) {
        waitUntil([&] { return transfersServed_ != seen; }, kQuietMs);
        if (transfersServed_ == seen) break;
        seen = transfersServed_;
    }
    if (!before.empty()) offer(before);
    return ok;
}

}  // namespace vexil::wayland
