#pragma once
// The numbered run-time errors that reach the user ("Error al leer el fichero X62 ...").
// The numbers are the classic BASIC ones that the boards' own messages have always shown.
#include <QString>
#include <stdexcept>

namespace vexil {

namespace errnum {
inline constexpr int InvalidArgument = 5;
inline constexpr int Overflow = 6;
inline constexpr int OutOfMemory = 7;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int DivisionByZero = 11;
inline constexpr int TypeMismatch = 13;
inline constexpr int BadFileName = 52;
inline constexpr int FileNotFound = 53;
inline constexpr int FileAlreadyOpen = 55;
inline constexpr int DeviceIo = 57;
inline constexpr int FileExists = 58;
inline constexpr int DiskFull = 61;
inline constexpr int InputPastEnd = 62;
inline constexpr int PermissionDenied = 70;
inline constexpr int PathFileAccess = 75;
inline constexpr int PathNotFound = 76;
inline constexpr int InvalidPicture = 481;
inline constexpr int Cancel = 32755;
}  // namespace errnum

// The Spanish description of an error number; a generic text for unknown numbers.
QString runtimeErrorDescription(int number);

class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(int number);
    int number() const { return number_; }
    QString description() const { return runtimeErrorDescription(number_); }

private:
    int number_;
};

}  // namespace vexil
