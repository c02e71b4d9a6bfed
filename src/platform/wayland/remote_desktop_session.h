#pragma once
// One remote-desktop session on the session bus, kept for the life of the program (GNOME
// ends a session when the connection that made it goes away), through either route:
//  - the desktop portal, org.freedesktop.portal.RemoteDesktop: CreateSession, SelectDevices
//    (keyboard and pointer, persist_mode 2 with the restore token kept from the last time,
//    so that the desktop asks the user's consent once), Start; each answers through a
//    Request object's Response signal. KDE and GNOME both offer it.
//  - GNOME's own org.gnome.Mutter.RemoteDesktop, where no portal offers RemoteDesktop
//    (GNOME asks no consent of a program the user runs; mutter without gnome-shell).
#include <QByteArray>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <functional>
#include <map>
#include <memory>

namespace vexil::wayland {

class RemoteDesktopSession : public QObject {
    Q_OBJECT
public:
    enum class Route { Portal, Mutter };
    // The outcome of trying a route: Absent when nobody offers it on the bus (the next
    // route may be tried), Refused when it is there and said no (the user refused).
    enum class Opened { Ok, Absent, Refused };

    // `dataFolder` holds the portal's restore token.
    static std::unique_ptr<RemoteDesktopSession> open(Route route, const QString& dataFolder,
                                                      Opened* outcome, QString* why);
    ~RemoteDesktopSession() override;

    Route route() const { return route_; }
    // Key and pointer events: sent without waiting, in order; sync() waits for them.
    void key(std::uint32_t evdevCode, bool down);
    void button(int evdevButton, bool down);
    void motion(double dx, double dy);
    // A round trip to the service: it has handled every event sent before. False once the
    // session is gone.
    bool sync();
    bool capsLocked();
    bool closed() const { return closed_; }

    // The clipboard of the session (GNOME's own route only: the portal of Debian 12 has no
    // clipboard). paste() makes `text` the clipboard, runs `pressPaste` (Ctrl+V), serves the
    // application that asks for it, then gives the clipboard back what it held before.
    bool hasClipboard() const { return clipboard_; }
    bool paste(const QString& text, const std::function<void()>& pressPaste);

private slots:
    void onResponse(uint response, const QVariantMap& results);
    void onClosed();
    void onSelectionOwnerChanged(const QVariantMap& options);
    void onSelectionTransfer(const QString& mimeType, uint serial);

private:
    RemoteDesktopSession(Route route, QDBusConnection bus);
    bool openPortal(const QString& dataFolder, Opened* outcome, QString* why);
    bool openMutter(Opened* outcome, QString* why);
    // A portal request and its Response; false on error or timeout.
    bool request(const QString& method, const QVariantList& args, QVariantMap options,
                 int timeoutMs, QVariantMap* results, uint* response, QString* why);
    void notify(const QString& method, const QVariantList& args);
    QByteArray readSelection(const QString& mimeType);
    void offer(const std::map<QString, QByteArray>& content);

    Route route_;
    QDBusConnection bus_;
    QString service_, sessionPath_;
    QDBusObjectPath portalSession_;
    bool closed_ = false;
    bool clipboard_ = false;
    // The Response awaited.
    bool answered_ = false;
    uint response_ = 0;
    QVariantMap results_;
    // The clipboard: what others offer, what this session offers and serves.
    QStringList ownerTypes_;
    bool sessionOwns_ = false;
    std::map<QString, QByteArray> offered_;
    int transfersServed_ = 0;
    bool everOffered_ = false;
};

}  // namespace vexil::wayland
