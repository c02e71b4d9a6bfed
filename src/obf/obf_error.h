#pragma once
// The one failure of the Open Board Format import and export: a message that says what is
// wrong with which file, shown as it is.
#include <QString>
#include <stdexcept>

namespace vexil::obf {

class ObfError : public std::runtime_error {
public:
    explicit ObfError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

}  // namespace vexil::obf
