#include <gtest/gtest.h>

#include "i18n/texts.h"

using namespace vexil;

TEST(Messages, NumberedTextsKeepTheirExactForm) {
    EXPECT_EQ(messageText(1), QStringLiteral(" No se puede activar el fichero de la imagen"));
    EXPECT_EQ(messageText(3), QStringLiteral("Error al leer el fichero "));
    EXPECT_EQ(messageText(4), QString::fromUtf8("Vexil ya se está ejecutando!"));
    EXPECT_EQ(messageText(14),
              QString::fromUtf8("Tiene instalada una versión anterior de Vexil  que no reconoce este "
                                "formato de fichero"));
    EXPECT_EQ(messageText(19), QStringLiteral("ISQUIERDA"));
    EXPECT_EQ(messageText(20), QStringLiteral("ACEPTAR"));
    EXPECT_TRUE(messageText(21).isEmpty());
    EXPECT_TRUE(messageText(-1).isEmpty());
}
