#include "support/registry_lock.h"

#include <sddl.h>

namespace {

const char kDenyEveryone[] = "D:(D;;KA;;;WD)";
const char kAllowEveryone[] = "D:(A;;KA;;;WD)";

bool SetKeyDacl(HKEY key, const char* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr)) {
        return false;
    }
    bool set = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
    LocalFree(descriptor);
    return set;
}

}  // namespace

RegistryKeyLock::RegistryKeyLock(HKEY root, const char* path) {
    if (RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, WRITE_DAC, nullptr, &key_, nullptr) !=
        ERROR_SUCCESS) {
        key_ = nullptr;
        return;
    }
    locked_ = SetKeyDacl(key_, kDenyEveryone);
}

RegistryKeyLock::~RegistryKeyLock() {
    if (!key_) return;
    if (locked_) SetKeyDacl(key_, kAllowEveryone);
    RegCloseKey(key_);
}
