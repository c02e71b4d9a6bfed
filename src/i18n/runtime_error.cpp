#include "i18n/runtime_error.h"

namespace vexil {

QString runtimeErrorDescription(int number) {
    struct Row {
        int number;
        const char16_t* text;
    };
    static constexpr Row rows[] = {
        {errnum::InvalidArgument, u"Llamada a procedimiento o argumento no válido"},
        {errnum::Overflow, u"Desbordamiento"},
        {errnum::OutOfMemory, u"Memoria insuficiente"},
        {errnum::SubscriptOutOfRange, u"El subíndice está fuera del intervalo"},
        {errnum::DivisionByZero, u"División por cero"},
        {errnum::TypeMismatch, u"No coinciden los tipos"},
        {errnum::BadFileName, u"Nombre o número de archivo incorrecto"},
        {errnum::FileNotFound, u"No se encontró el archivo"},
        {errnum::FileAlreadyOpen, u"El archivo ya está abierto"},
        {errnum::DeviceIo, u"Error de E/S de dispositivo"},
        {errnum::FileExists, u"El archivo ya existe"},
        {errnum::DiskFull, u"Disco lleno"},
        {errnum::InputPastEnd, u"Se ha sobrepasado el final del archivo"},
        {errnum::PermissionDenied, u"Permiso denegado"},
        {errnum::PathFileAccess, u"Error de acceso a la ruta o al archivo"},
        {errnum::PathNotFound, u"No se encontró la ruta de acceso"},
        {errnum::InvalidPicture, u"Imagen no válida"},
        {errnum::Cancel, u"Se ha cancelado"},
    };
    for (const Row& row : rows)
        if (row.number == number) return QString::fromUtf16(row.text);
    return QStringLiteral("Error definido por la aplicación o el objeto");
}

RuntimeError::RuntimeError(int number)
    : std::runtime_error("run-time error " + std::to_string(number)), number_(number) {}

}  // namespace vexil
