#include "commands/registry.h"

// Placeholder until the store is written: every key is missing.
namespace vexil {

RegistryStore::RegistryStore(QString filePath) : filePath_(std::move(filePath)) {}
QString RegistryStore::listSubkeys(const QString&, const QString&) const { return {}; }
bool RegistryStore::writeRegistryValue(const QString&, const QString&, const QString&,
                                       const QString&) {
    return false;
}
QString RegistryStore::readDefaultValue(const QString&, const QString&) const { return {}; }
QString RegistryStore::localServerPath(const QString&) const { return {}; }
void RegistryStore::setValue(const QString&, const QString&, const QString&,
                             const RegistryValue&) {}
void RegistryStore::removeKey(const QString&, const QString&) {}

}  // namespace vexil
