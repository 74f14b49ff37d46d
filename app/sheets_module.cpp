// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/sheets_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "export/host_loader.h"

namespace numbrook {

const SheetsModule& loadSheetsModule(const std::string& path)
{
    if (::access(path.c_str(), R_OK) != 0) {
        throw HostError(
            "找不到练习纸组件" + path + "（" + std::strerror(errno) + "），请重新安装本程序！",
            HostFailure::NotInstalled);
    }
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* reason = ::dlerror();
        throw HostError(std::string("无法加载练习纸组件，请重新安装本程序！（") +
                            (reason != nullptr ? reason : path) + "）",
                        HostFailure::NotInstalled);
    }
    ::dlerror();
    void* entry = ::dlsym(module, kSheetsModuleSymbol);
    const SheetsModule* given =
        entry != nullptr ? reinterpret_cast<NumbrookSheetsModuleFn>(entry)() : nullptr;
    if (given == nullptr || given->makeBuiltinHost == nullptr ||
        given->makeSheetWindows == nullptr) {
        const char* reason = ::dlerror();
        throw HostError(std::string("练习纸组件无效，请重新安装本程序！（") +
                        (reason != nullptr ? reason : path) + "）");
    }
    return *given;
}

const SheetsModule& sheetsModule()
{
    // Once loaded, for good; a failed load is tried again at the next use.
    static const SheetsModule* loaded = nullptr;
    if (loaded == nullptr)
        loaded = &loadSheetsModule(hostModulePath(kSheetsModuleName));
    return *loaded;
}

SheetWindowsOnDemand::SheetWindowsOnDemand(SheetWindowServices services,
                                           std::function<void(QWidget&)> whenMade, Loader load)
    : services_(services), whenMade_(std::move(whenMade)), load_(std::move(load))
{
}

SheetWindowsOnDemand::~SheetWindowsOnDemand() = default;

SheetWindowOpener* SheetWindowsOnDemand::windows()
{
    if (!windows_) {
        try {
            windows_.reset(load_().makeSheetWindows(services_, whenMade_));
        } catch (const HostError& error) {
            services_.boxes.show(std::string("无法打开练习纸：") + error.what(), "提示！",
                                 Buttons::Ok);
        }
    }
    return windows_.get();
}

bool SheetWindowsOnDemand::open(QWidget* over, const std::vector<int>& types)
{
    SheetWindowOpener* windows = this->windows();
    return windows != nullptr && windows->open(over, types);
}

bool SheetWindowsOnDemand::show(QWidget* over, const builtin::ShownSheets& sheets)
{
    SheetWindowOpener* windows = this->windows();
    return windows != nullptr && windows->show(over, sheets);
}

}  // namespace numbrook
