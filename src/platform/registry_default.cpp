#include "platform/registry_backend.h"
#include "platform/xdg_registry.h"

namespace platform {
namespace {

RegistryBackend* replacement = nullptr;

}  // namespace

RegistryBackend& registry() {
    if (replacement) return *replacement;
    static XdgRegistry backend;
    return backend;
}

void setRegistryForTests(RegistryBackend* backend) {
    replacement = backend;
}

}  // namespace platform
