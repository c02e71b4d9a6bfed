#include "session/session.h"

namespace vexil {

Session::Session(Platform& p, Folders f)
    : platform(p),
      folders(std::move(f)),
      view(&nullView_),
      host(&nullHost_),
      observer(&nullObserver_),
      cue(&silentCue_),
      registry(folders.userFolder.isEmpty() ? QString()
                                            : folders.userFolder + QStringLiteral("/registry.ini")),
      timer1(platform.clock.createTimer(QStringLiteral("Timer1"))),
      timer2(platform.clock.createTimer(QStringLiteral("Timer2"))),
      timer3(platform.clock.createTimer(QStringLiteral("Timer3"))),
      settleTimer(platform.clock.createTimer(QStringLiteral("Settle"))) {
    timer1->setInterval(programSettings.Interval);
    timer2->setInterval(100);
    player.random.seed(std::random_device{}());
}

QString Session::realPath(const QString& name) const {
    return vexil::realPath(name, currentDirectory, folders.drives);
}

bool Session::fileExists(const QString& name) const {
    return vexil::fileExists(name, currentDirectory, folders.drives);
}

void Session::setView(MainView* v) { view = v ? v : &nullView_; }
void Session::setHost(CommandHost* h) { host = h ? h : &nullHost_; }
void Session::setObserver(CommandObserver* o) { observer = o ? o : &nullObserver_; }
void Session::setCue(CueVoice* c) { cue = c ? c : &silentCue_; }

MessageAnswer Session::message(const QString& text, MessageButtons buttons, MessageIcon icon) {
    return platform.dialogs.message(text, QStringLiteral("Vexil"), buttons, icon);
}

}  // namespace vexil
