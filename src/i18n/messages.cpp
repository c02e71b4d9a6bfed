#include "i18n/texts.h"

namespace vexil {

QString messageText(int number) {
    static constexpr const char16_t* texts[] = {
        u"No se puede activar el fichero de documentación",
        u" No se puede activar el fichero de la imagen",
        u"Formato incorrecto",
        u"Error al leer el fichero ",
        u"Vexil ya se está ejecutando!",
        u"Se ha modificado el fichero. Quiere guardarlo?",
        u"Vexil\r\nTeclado virtual para personas con discapacidad motriz\r\n"
        u"Versión para Linux",
        u"Acerca de Vexil",
        u"Ejecuta ",
        u"Espera ",
        u"Nivel ",
        u">>> Selecciona un programa",
        u">>> OTROS",
        u">>> Selecciona una macro",
        u"Tiene instalada una versión anterior de Vexil  que no reconoce este formato de fichero",
        u"Vexil no encuentra el archivo ",
        u"AVANZAR",
        u"RECULAR",
        u"DERECHA",
        u"ISQUIERDA",
        u"ACEPTAR",
    };
    if (number < 0 || number >= int(std::size(texts))) return QString();
    return QString::fromUtf16(texts[number]);
}

}  // namespace vexil
