#pragma once
// Recognition of a few trained sounds.
#include <QString>
#include <QStringList>
#include <functional>

namespace vexil {

class SoundRecognizer {
public:
    virtual ~SoundRecognizer() = default;
    virtual bool available() = 0;
    // Starts listening for the labels; `recognised` gets the 1-based index of each one heard.
    virtual bool start(const QStringList& labels, std::function<void(int)> recognised) = 0;
    virtual void stop() = 0;
};

}  // namespace vexil
