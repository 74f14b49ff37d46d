// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/libreoffice/libreoffice_host.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/util/CloseVetoException.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/view/PrintableState.hpp>
#include <com/sun/star/view/XPrintJobBroadcaster.hpp>
#include <com/sun/star/view/XPrintJobListener.hpp>
#include <com/sun/star/view/XPrintable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/implbase1.hxx>
#include <rtl/bootstrap.hxx>
#include <rtl/ref.hxx>

#include "export/libreoffice/kept_office.h"
#include "export/libreoffice/libreoffice_host_impl.h"
#include "export/libreoffice/office_launch.h"
#include "export/libreoffice/office_process.h"
#include "export/libreoffice/office_sweep.h"

#ifndef NUMBROOK_LIBREOFFICE_PROGRAM_DIR
#define NUMBROOK_LIBREOFFICE_PROGRAM_DIR "/usr/lib/libreoffice/program"
#endif

namespace numbrook {

using namespace office;

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(20);
constexpr auto kQuitGrace = std::chrono::seconds(10);
constexpr auto kAbandonGrace = std::chrono::seconds(3);
constexpr auto kPrintEventWait = std::chrono::seconds(10);

// ---- the instances this process runs hidden ------------------------------------

std::mutex& hiddenInstancesMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::set<pid_t>& hiddenInstances()
{
    static std::set<pid_t> pids;
    return pids;
}

void registerHidden(pid_t pid)
{
    std::lock_guard lock(hiddenInstancesMutex());
    hiddenInstances().insert(pid);
}

void unregisterHidden(pid_t pid)
{
    std::lock_guard lock(hiddenInstancesMutex());
    hiddenInstances().erase(pid);
}

std::set<pid_t> hiddenInstancesNow()
{
    std::lock_guard lock(hiddenInstancesMutex());
    return hiddenInstances();
}

// ---- the local UNO side -----------------------------------------------------------

// One local component context per process, bootstrapped from LibreOffice's
// own unorc. Deliberately never released: tearing UNO down at exit is not safe.
Reference<css::uno::XComponentContext> localContext(const std::string& programFolder)
{
    static std::mutex mutex;
    static css::uno::XComponentContext* context = nullptr;
    std::lock_guard lock(mutex);
    if (context == nullptr) {
        // LibreOffice's unorc names the basic UNO types only; the bridge needs
        // the office's interfaces (text, frame, view …) too.
        rtl::Bootstrap::set("URE_MORE_TYPES", fileUrl(programFolder + "/types/offapi.rdb"));
        Reference<css::uno::XComponentContext> made =
            cppu::defaultBootstrap_InitialComponentContext(fileUrl(programFolder + "/unorc"));
        made->acquire();
        context = made.get();
    }
    return context;
}

// The setup version of the installed office, read once.
std::string cachedSetupVersion(const std::string& programFolder)
{
    static std::mutex mutex;
    static std::string cached;
    static bool read = false;
    std::lock_guard lock(mutex);
    if (!read) {
        read = true;
        cached = office::setupVersion(programFolder);
    }
    return cached;
}

// ---- printing ---------------------------------------------------------------------

constexpr const char* kNoPrinter = "无法打印，请检查打印机";

// Print failures arrive only as events of the print job.
class PrintJobWatch : public cppu::WeakImplHelper1<css::view::XPrintJobListener> {
public:
    void SAL_CALL printJobEvent(const css::view::PrintJobEvent& event) override
    {
        std::lock_guard lock(mutex_);
        states_.push_back(event.State);
        changed_.notify_all();
    }
    void SAL_CALL disposing(const css::lang::EventObject&) override
    {
        std::lock_guard lock(mutex_);
        disposed_ = true;
        changed_.notify_all();
    }

    // Waits for the job's last event; the failure's text, or empty on success.
    std::string awaitOutcome(std::chrono::milliseconds timeout)
    {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, timeout, [this] { return finished() || disposed_; });
        for (const auto state : states_) {
            switch (state) {
            case css::view::PrintableState_JOB_ABORTED:
                return "打印已中止";
            case css::view::PrintableState_JOB_FAILED:
                return "打印出错";
            case css::view::PrintableState_JOB_SPOOLING_FAILED:
                return kNoPrinter;
            default:
                break;
            }
        }
        return {};
    }

private:
    bool finished() const
    {
        for (const auto state : states_) {
            if (state != css::view::PrintableState_JOB_STARTED) {
                return true;
            }
        }
        return false;
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<css::view::PrintableState> states_;
    bool disposed_ = false;
};

}  // namespace

// ---- the host -------------------------------------------------------------------------

void LibreOfficeHost::Impl::endStuckOffice()
{
    const pid_t keeper = watchedPid.load();
    if (keeper > 0) {
        office::signalGroupButLeader(keeper, SIGKILL);
    }
}

void LibreOfficeHost::Impl::endInstance(std::chrono::milliseconds grace)
{
    forgetInstance();
    if (pid > 0) {
        office::endProcessGroup(pid, grace);
        unregisterHidden(pid);
        watchedPid = -1;
        pid = -1;
    }
    office::removeTree(profileFolder);
    profileFolder.clear();
    // The pipes' socket files outlive an instance that was killed, the
    // single-instance pipe even one killed before its pipes were known.
    for (const std::string& path : socketFiles) {
        ::unlink(path.c_str());
    }
    socketFiles.clear();
    office::removeDeadSingleInstancePipes("/proc", office::kPipeFolder, ::getuid());
}

LibreOfficeHost::LibreOfficeHost() : LibreOfficeHost(Options{}) {}

LibreOfficeHost::LibreOfficeHost(Options options) : impl_(std::make_unique<Impl>())
{
    if (options.programFolder.empty()) {
        options.programFolder = NUMBROOK_LIBREOFFICE_PROGRAM_DIR;
    }
    impl_->options = std::move(options);
}

LibreOfficeHost::~LibreOfficeHost()
{
    Impl& d = *impl_;
    if (d.shown) {
        // The instance is the user's now: only our references end.
        try {
            d.forgetInstance();
        } catch (...) {
        }
        return;
    }
    if (d.pid <= 0) {
        return;
    }
    bool terminated = false;
    try {
        const Impl::Deadline deadline(d, d.callTimeout());
        if (d.document.is()) {
            Reference<css::util::XCloseable>(d.document, UNO_QUERY_THROW)->close(true);
        }
        d.forgetDocument();
        if (d.desktop.is()) {
            terminated = d.desktop->terminate();
        }
    } catch (...) {
    }
    try {
        d.endInstance(terminated ? std::chrono::milliseconds(kAbandonGrace)
                                 : std::chrono::milliseconds(0));
    } catch (...) {
    }
}

bool LibreOfficeHost::isInstanceRunning()
{
    try {
        // What an earlier run of this program left is cleared away first: it
        // is nobody's instance and must not count as the user's.
        office::sweepOrphans("/proc", office::tempFolder(), office::kPipeFolder, ::getuid());
        return office::userInstanceRunning("/proc", ::getuid(), hiddenInstancesNow());
    } catch (...) {
        return false;
    }
}

namespace {

// The office's own program, never the launcher script: nothing is looked
// up in the working folder or on the PATH, and the keeper is its parent.
void requireOfficeProgram(const std::string& programFolder)
{
    if (::access(office::officeProgram(programFolder).c_str(), X_OK) != 0) {
        throw HostError(
            "找不到LibreOffice（" + programFolder + "/soffice），请安装LibreOffice Writer！",
            HostFailure::NotInstalled);
    }
}

// A profile of our own in the temporary folder, seeded; a full folder is
// told before the office would hang on it.
std::string preparedProfile(const std::string& programFolder)
{
    const std::string parent = office::tempFolder();
    std::string profile;
    try {
        office::requireRoom(parent);
        profile = office::makeProfileFolder(parent);
        office::seedProfile(profile, cachedSetupVersion(programFolder),
                            office::buildIdOf(programFolder));
        return profile;
    } catch (const office::NoRoomError& error) {
        office::removeTree(profile);
        throw HostError(
            std::string("临时文件夹空间不足，无法创建LibreOffice的临时配置文件夹：") + error.what(),
            HostFailure::NoTempSpace);
    } catch (const std::runtime_error& error) {
        office::removeTree(profile);
        throw HostError(std::string("无法创建LibreOffice的临时配置文件夹：") + error.what());
    }
}

}  // namespace

void LibreOfficeHost::requireWriter() const
{
    const std::string& folder = impl_->options.programFolder;
    requireOfficeProgram(folder);
    const std::string missing = office::writerMissing(folder);
    if (!missing.empty()) {
        throw HostError(
            "LibreOffice Writer无法读取WORD文档（缺少" + missing + "），请安装LibreOffice Writer！",
            HostFailure::NotInstalled);
    }
}

void LibreOfficeHost::startInstance()
{
    Impl& d = *impl_;
    if (d.pid > 0) {
        throw HostError("LibreOffice已经启动");
    }
    requireOfficeProgram(d.options.programFolder);
    d.watchdog.clearMissed();
    d.guarded(
        [&] {
            try {
                d.profileFolder = preparedProfile(d.options.programFolder);
                const std::string pipe = office::uniquePipeName();
                const office::KeptOffice kept =
                    office::launchPlan(d.options.programFolder, d.profileFolder, pipe,
                                       office::currentEnvironment(), ::getuid());

                try {
                    d.pid = office::startKept(kept);
                } catch (const std::runtime_error& error) {
                    throw HostError(std::string("无法启动LibreOffice：") + error.what());
                }
                registerHidden(d.pid);
                d.watchedPid = d.pid;

                // This side's UNO is set up while the office starts.
                const Reference<css::uno::XComponentContext> local =
                    localContext(d.options.programFolder);
                const Reference<css::bridge::XUnoUrlResolver> resolver =
                    css::bridge::UnoUrlResolver::create(local);

                const OUString url = toOUString("uno:" + office::pipeConnection(pipe));
                const auto deadline = std::chrono::steady_clock::now() +
                                      std::chrono::milliseconds(d.options.startTimeoutMs);
                while (!d.remoteContext.is()) {
                    try {
                        d.remoteContext.set(resolver->resolve(url), UNO_QUERY_THROW);
                    } catch (const css::connection::NoConnectException&) {
                        if (office::childHasEnded(d.pid)) {
                            throw HostError("LibreOffice启动后立即退出了");
                        }
                        if (std::chrono::steady_clock::now() >= deadline) {
                            throw HostError("LibreOffice启动超时", HostFailure::NotAnswering);
                        }
                        std::this_thread::sleep_for(kPollInterval);
                    }
                }
                d.desktop = css::frame::Desktop::create(d.remoteContext);
                d.socketFiles =
                    office::listeningSocketPaths("/proc", office::liveGroupMembers("/proc", d.pid));
                // The keeper removes these when the office ends, whoever ends it.
                office::recordPipes(d.profileFolder, d.socketFiles);
            } catch (...) {
                // A failed start leaves nothing behind.
                d.endInstance(std::chrono::milliseconds(0));
                throw;
            }
        },
        std::chrono::milliseconds(d.options.startTimeoutMs + 5000));
}

void LibreOfficeHost::open(const std::string& path)
{
    Impl& d = *impl_;
    d.requireInstance();
    if (d.document.is()) {
        throw HostError("已经打开了一个文档");
    }
    if (::access(path.c_str(), R_OK) != 0) {
        throw HostError("无法打开文档" + path + "（" + std::strerror(errno) + "）",
                        HostFailure::DocumentUnusable);
    }
    d.guarded(
        [&] {
            // Opened as a template: the office only reads the file and fills an
            // untitled copy of it, so the program's document is never written,
            // whoever owns it, and the user's Save becomes "Save As".
            const std::vector<css::beans::PropertyValue> arguments{
                property("Hidden", Any(true)),
                property("AsTemplate", Any(true)),
            };
            Reference<css::frame::XComponentLoader> loader(d.desktop, UNO_QUERY_THROW);
            const Reference<css::lang::XComponent> component =
                loader->loadComponentFromURL(fileUrl(path), "_blank", 0, sequenceOf(arguments));
            const Reference<css::text::XTextDocument> text(component, UNO_QUERY);
            if (!text.is()) {
                if (component.is()) {
                    component->dispose();
                }
                throw HostError("无法打开文档" + path + "：不是WORD文档",
                                HostFailure::DocumentUnusable);
            }
            d.document.set(component, UNO_QUERY_THROW);
            // Filling is faster without the views following every change.
            d.document->lockControllers();
            d.controllersLocked = true;

            // The tables in document order; the table collection is in creation order.
            Reference<css::container::XEnumerationAccess> paragraphs(text->getText(),
                                                                     UNO_QUERY_THROW);
            const Reference<css::container::XEnumeration> items = paragraphs->createEnumeration();
            while (items->hasMoreElements()) {
                Reference<css::text::XTextTable> table(items->nextElement(), UNO_QUERY);
                if (table.is()) {
                    d.tables.push_back(table);
                }
            }
        },
        std::chrono::milliseconds(0), HostFailure::DocumentUnusable);
}

void LibreOfficeHost::selectCell(int table, int row, int column)
{
    Impl& d = *impl_;
    d.guarded([&] {
        d.selectedCell = d.cell(table, row, column);
        if (d.shown) {
            // The user sees the document: put the cursor into the cell.
            d.viewCursor()->gotoRange(d.selectedCell->getStart(), false);
        }
    });
}

void LibreOfficeHost::typeText(const std::string& text)
{
    Impl& d = *impl_;
    d.requireDocument();
    if (!d.selectedCell.is()) {
        throw HostError("没有选定的单元格");
    }
    d.guarded([&] {
        // Replacing through a cursor over the whole cell keeps the cell's
        // character formatting, as typing over a selection does.
        const Reference<css::text::XTextCursor> cursor = d.selectedCell->createTextCursorByRange(
            Reference<css::text::XTextRange>(d.selectedCell.get()));
        cursor->setString(toOUString(text));
        if (d.shown) {
            d.viewCursor()->gotoRange(cursor->getEnd(), false);
        }
    });
}

void LibreOfficeHost::printPages(const std::string& pages)
{
    Impl& d = *impl_;
    d.requireDocument();
    d.guarded(
        [&] {
            d.unlockControllers();
            std::vector<css::beans::PropertyValue> options{
                property("CopyCount", Any(sal_Int16(1))),
                property("Pages", Any(toOUString(pages))),
                property("Wait", Any(true)),
            };
            if (!d.printFile.empty()) {
                options.push_back(property("FileName", Any(fileUrl(d.printFile))));
            }
            Reference<css::view::XPrintJobBroadcaster> broadcaster(d.document, UNO_QUERY_THROW);
            rtl::Reference<PrintJobWatch> watch(new PrintJobWatch);
            const Reference<css::view::XPrintJobListener> listener(watch.get());
            broadcaster->addPrintJobListener(listener);
            Reference<css::view::XPrintable>(d.document, UNO_QUERY_THROW)
                ->print(sequenceOf(options));
            const std::string failure = watch->awaitOutcome(kPrintEventWait);
            try {
                broadcaster->removePrintJobListener(listener);
            } catch (const css::uno::Exception&) {
            }
            if (!failure.empty()) {
                throw HostError(failure, failure == kNoPrinter ? HostFailure::NoPrinter
                                                               : HostFailure::PrintFailed);
            }
        },
        std::chrono::milliseconds(d.options.printTimeoutMs), HostFailure::PrintFailed);
}

void LibreOfficeHost::closeDocument()
{
    Impl& d = *impl_;
    d.requireDocument();
    d.guarded([&] {
        const Reference<css::frame::XModel> document = d.document;
        d.unlockControllers();
        d.forgetDocument();
        try {
            // Without saving: the exercise document is never written back.
            Reference<css::util::XCloseable>(document, UNO_QUERY_THROW)->close(true);
        } catch (const css::util::CloseVetoException&) {
            Reference<css::lang::XComponent>(document, UNO_QUERY_THROW)->dispose();
        }
    });
}

void LibreOfficeHost::quit()
{
    Impl& d = *impl_;
    if (d.pid <= 0) {
        throw HostError("LibreOffice尚未启动");
    }
    bool terminated = false;
    std::string failure;
    try {
        const Impl::Deadline deadline(d, d.callTimeout());
        d.forgetDocument();
        if (d.desktop.is()) {
            terminated = d.desktop->terminate();
        }
    } catch (const css::lang::DisposedException&) {
        // The bridge goes down while the instance ends: that is the quit.
        terminated = true;
    } catch (const css::uno::Exception& error) {
        failure = toUtf8(error.Message);
    }
    // Whatever happened, no process of the instance is left after a quit.
    d.endInstance(terminated ? std::chrono::milliseconds(kQuitGrace)
                             : std::chrono::milliseconds(0));
    if (!failure.empty()) {
        throw HostError("LibreOffice未能正常退出：" + failure);
    }
}

void LibreOfficeHost::show()
{
    Impl& d = *impl_;
    d.requireDocument();
    d.guarded([&] {
        d.unlockControllers();
        const Reference<css::frame::XFrame> frame = d.document->getCurrentController()->getFrame();
        frame->getContainerWindow()->setVisible(true);
        frame->activate();
    });
    d.shown = true;
    unregisterHidden(d.pid);
    // The instance is the user's now: it outlives this program, and whoever
    // finds its profile later leaves it alone while it runs.
    office::markShown(d.profileFolder);
    office::releaseKept(d.pid);
    // The launcher is still our child: reap it when the user ends the
    // instance while this program runs, and clear its profile and pipes away.
    std::thread([pid = d.pid, profile = d.profileFolder, pipes = d.socketFiles] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        // The keeper has cleared the profile away; this is for a keeper
        // that was killed.
        if (office::liveGroupMembers("/proc", pid).empty()) {
            office::removeProfile(profile);
            for (const std::string& path : pipes) {
                ::unlink(path.c_str());
            }
        }
    }).detach();
}

}  // namespace numbrook
