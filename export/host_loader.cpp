// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/host_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace numbrook {

// NUMBROOK_INSTALLED_MODULE_DIR is the installed modules' folder relative
// to the installed program's folder.

std::string hostModulePath(const std::string& name)
{
    return besideOrInstalled(programFolder(), NUMBROOK_INSTALLED_MODULE_DIR, name);
}

std::unique_ptr<DocumentHost> loadLibreOfficeHost()
{
    return loadDocumentHost(hostModulePath(kLibreOfficeModuleName));
}

std::unique_ptr<DocumentHost> loadDocumentHost(const std::string& modulePath)
{
    if (::access(modulePath.c_str(), R_OK) != 0) {
        throw HostError(
            "找不到文档组件" + modulePath + "（" + std::strerror(errno) + "），请重新安装本程序！",
            HostFailure::NotInstalled);
    }
    // The module links LibreOffice's UNO libraries: when LibreOffice is not
    // installed, loading it fails here with the missing library's name.
    void* module = ::dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* reason = ::dlerror();
        throw HostError(std::string("无法加载文档组件，请确认已安装LibreOffice Writer！（") +
                            (reason != nullptr ? reason : modulePath) + "）",
                        HostFailure::NotInstalled);
    }
    ::dlerror();
    void* entry = ::dlsym(module, NUMBROOK_CREATE_HOST_SYMBOL);
    if (entry == nullptr) {
        const char* reason = ::dlerror();
        throw HostError(std::string("文档组件无效，请重新安装本程序！（") +
                        (reason != nullptr ? reason : NUMBROOK_CREATE_HOST_SYMBOL) + "）");
    }
    const auto create = reinterpret_cast<NumbrookCreateHostFn>(entry);
    DocumentHost* host = create();
    if (host == nullptr) {
        throw HostError("文档组件无法创建LibreOffice连接，请重新安装本程序！");
    }
    return std::unique_ptr<DocumentHost>(host);
}

}  // namespace numbrook
