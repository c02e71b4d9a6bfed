#pragma once
// The event that carries a recognised sound to the user-interface thread: the number of
// its label, 1-based, as the list of labels gave them.
#include <QEvent>

namespace vexil {

class VoiceEvent : public QEvent {
public:
    explicit VoiceEvent(int label) : QEvent(eventType()), label_(label) {}
    int label() const { return label_; }
    static QEvent::Type eventType() {
        static const auto type = QEvent::Type(QEvent::registerEventType(QEvent::User + 0x400));
        return type;
    }

private:
    int label_;
};

}  // namespace vexil
