#include "export/libreoffice/libreoffice_host.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <mutex>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/IndexOutOfBoundsException.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/XPageCursor.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextTable.hpp>
#include <com/sun/star/text/XTextViewCursor.hpp>
#include <com/sun/star/text/XTextViewCursorSupplier.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <com/sun/star/uno/RuntimeException.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <com/sun/star/util/CloseVetoException.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/view/PrintableState.hpp>
#include <com/sun/star/view/XPrintJobBroadcaster.hpp>
#include <com/sun/star/view/XPrintJobListener.hpp>
#include <com/sun/star/view/XPrintable.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/implbase1.hxx>
#include <rtl/bootstrap.hxx>
#include <rtl/ref.hxx>
#include <rtl/ustring.hxx>

#include "export/libreoffice/office_process.h"

#ifndef NUMBROOK_LIBREOFFICE_PROGRAM_DIR
#define NUMBROOK_LIBREOFFICE_PROGRAM_DIR "/usr/lib/libreoffice/program"
#endif

namespace numbrook {

namespace {

using rtl::OString;
using rtl::OUString;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

constexpr auto kPollInterval = std::chrono::milliseconds(20);
constexpr auto kQuitGrace = std::chrono::seconds(10);
constexpr auto kAbandonGrace = std::chrono::seconds(3);
constexpr auto kPrintEventWait = std::chrono::seconds(10);

// ---- text -------------------------------------------------------------------

OUString toOUString(const std::string& text)
{
    return OUString::fromUtf8(OString(text.c_str(), static_cast<sal_Int32>(text.size())));
}

std::string toUtf8(const OUString& text)
{
    const OString bytes = text.toUtf8();
    return std::string(bytes.getStr(), static_cast<size_t>(bytes.getLength()));
}

// Made from the path's bytes: no conversion through this process's locale.
OUString fileUrl(const std::string& path)
{
    return OUString::createFromAscii(office::fileUrlFromPath(path).c_str());
}

css::beans::PropertyValue property(const char* name, const Any& value)
{
    css::beans::PropertyValue result;
    result.Name = OUString::createFromAscii(name);
    result.Value = value;
    return result;
}

template <class T>
Sequence<T> sequenceOf(const std::vector<T>& items)
{
    return Sequence<T>(items.data(), static_cast<sal_Int32>(items.size()));
}

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

// The setup version ("7.4") of the installed office, from its registry.
std::string setupVersion(const std::string& programFolder)
{
    static std::mutex mutex;
    static std::string cached;
    static bool read = false;
    std::lock_guard lock(mutex);
    if (!read) {
        read = true;
        std::ifstream in(programFolder + "/../share/registry/main.xcd", std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        const std::string registry = text.str();
        // <prop oor:name="ooSetupVersion"> <value>7.4</value>
        const auto name = registry.find("<prop oor:name=\"ooSetupVersion\">");
        const auto value = name == std::string::npos ? name : registry.find("<value>", name);
        if (value != std::string::npos) {
            const auto begin = value + 7;
            const auto end = registry.find('<', begin);
            if (end != std::string::npos && end - begin <= 8) {
                cached = registry.substr(begin, end - begin);
            }
        }
    }
    return cached;
}

// The office's build id ("40(Build:2)"), from its versionrc.
std::string buildIdOf(const std::string& programFolder)
{
    std::ifstream in(programFolder + "/versionrc");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("buildid=", 0) == 0) {
            return line.substr(8);
        }
    }
    return {};
}

// A profile that says the office has run before: the first start's
// graphics self-test and welcome dialogs are skipped. Documents are not
// locked: the exercise document is never saved, and a lock file left by an
// instance that died would make every later open fail.
void seedProfile(const std::string& profileFolder, const std::string& version, const std::string& buildId)
{
    const std::string userFolder = profileFolder + "/user";
    ::mkdir(userFolder.c_str(), 0700);
    if (!buildId.empty()) {
        // The extension cache is marked as made by this build: a new profile
        // then needs no restart after its first start.
        const std::string extensions = userFolder + "/extensions";
        ::mkdir(extensions.c_str(), 0700);
        std::ofstream(extensions + "/buildid") << buildId;
    }
    std::ofstream out(userFolder + "/registrymodifications.xcu", std::ios::binary);
    out << R"(<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
)";
    if (!version.empty()) {
        out << R"(<item oor:path="/org.openoffice.Setup/Office"><prop oor:name="ooSetupLastVersion" oor:op="fuse"><value>)"
            << version << "</value></prop></item>\n";
    }
    out << R"(<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="FirstRun" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="ShowTipOfTheDay" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Save/Document"><prop oor:name="WarnAlienFormat" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="UseLocking" oor:op="fuse"><value>false</value></prop></item>
</oor:items>
)";
}

std::string tempFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    return tmp != nullptr && *tmp == '/' ? tmp : "/tmp";
}

// Where the office puts its pipes' socket files.
constexpr const char* kPipeFolder = "/tmp";

// A fresh profile folder that names its owner, this process, so that a
// later run can tell it from one in use when this process has died.
std::string makeProfileFolder()
{
    std::string pattern = tempFolder() + "/" + office::kProfilePrefix + "XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw HostError(std::string("无法创建LibreOffice的临时配置文件夹：") + std::strerror(errno));
    }
    std::ofstream(pattern + "/" + office::kOwnerFile) << office::processIdentity("/proc", ::getpid()) << '\n';
    return pattern;
}

std::string uniquePipeName()
{
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    std::ostringstream name;
    name << office::kPipePrefix << ::getpid() << '_' << counter.fetch_add(1) << '_' << std::hex << random();
    return name.str();
}

// Arms a deadline for one call into the office; a missed one ends the
// office's processes, so that the call comes back with an error.
class Watchdog {
public:
    using Clock = std::chrono::steady_clock;

    explicit Watchdog(std::function<void()> onMiss) : onMiss_(std::move(onMiss)) {}
    ~Watchdog()
    {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // Sets the deadline for the call that follows; returns the one it replaces.
    std::optional<Clock::time_point> arm(std::chrono::milliseconds timeout)
    {
        std::lock_guard lock(mutex_);
        if (!thread_.joinable()) {
            thread_ = std::thread([this] { watch(); });
        }
        const auto previous = deadline_;
        deadline_ = Clock::now() + timeout;
        changed_.notify_all();
        return previous;
    }
    void restore(std::optional<Clock::time_point> previous)
    {
        std::lock_guard lock(mutex_);
        deadline_ = previous;
        changed_.notify_all();
    }
    bool missed() const { return missed_.load(); }
    void clearMissed() { missed_ = false; }

private:
    void watch()
    {
        std::unique_lock lock(mutex_);
        while (!stop_) {
            if (!deadline_) {
                changed_.wait(lock);
            } else if (Clock::now() >= *deadline_) {
                deadline_.reset();
                missed_ = true;
                lock.unlock();
                onMiss_();
                lock.lock();
            } else {
                changed_.wait_until(lock, *deadline_);
            }
        }
    }

    std::function<void()> onMiss_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<Clock::time_point> deadline_;
    std::atomic<bool> missed_{false};
    bool stop_ = false;
    std::thread thread_;
};

bool hasDisplay()
{
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x != nullptr && *x != '\0') || (wayland != nullptr && *wayland != '\0');
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

struct LibreOfficeHost::Impl {
    Options options;
    std::string printFile;

    pid_t pid = -1;  // the keeper, leader of the instance's process group
    std::atomic<pid_t> watchedPid{-1};
    Watchdog watchdog{[this] { endStuckOffice(); }};
    std::string profileFolder;
    std::vector<std::string> socketFiles;  // the instance's pipes
    bool shown = false;

    Reference<css::uno::XComponentContext> remoteContext;
    Reference<css::frame::XDesktop2> desktop;
    Reference<css::frame::XModel> document;
    bool controllersLocked = false;
    std::vector<Reference<css::text::XTextTable>> tables;
    Reference<css::text::XText> selectedCell;

    bool instanceEnded() const { return pid > 0 && office::childHasEnded(pid); }

    // Called by the watchdog: ends the office under the keeper; the keeper
    // then clears the profile away and ends too.
    void endStuckOffice()
    {
        const pid_t keeper = watchedPid.load();
        if (keeper <= 0) {
            return;
        }
        for (const pid_t member : office::liveGroupMembers("/proc", keeper)) {
            if (member != keeper) {
                ::kill(member, SIGKILL);
            }
        }
    }

    std::chrono::milliseconds callTimeout() const { return std::chrono::milliseconds(options.callTimeoutMs); }

    // A deadline for the calls made while it lives.
    class Deadline {
    public:
        Deadline(Impl& impl, std::chrono::milliseconds timeout)
            : watchdog_(impl.watchdog), previous_(watchdog_.arm(timeout))
        {
        }
        ~Deadline() { watchdog_.restore(previous_); }
        Deadline(const Deadline&) = delete;
        Deadline& operator=(const Deadline&) = delete;

    private:
        Watchdog& watchdog_;
        std::optional<Watchdog::Clock::time_point> previous_;
    };
    void requireInstance() const
    {
        if (!desktop.is()) {
            throw HostError("LibreOffice尚未启动");
        }
    }

    void requireDocument() const
    {
        requireInstance();
        if (!document.is()) {
            throw HostError("没有打开的文档");
        }
    }

    void unlockControllers()
    {
        if (controllersLocked && document.is()) {
            controllersLocked = false;
            document->unlockControllers();
        }
    }

    void forgetDocument()
    {
        selectedCell.clear();
        tables.clear();
        document.clear();
        controllersLocked = false;
    }

    void forgetInstance()
    {
        forgetDocument();
        desktop.clear();
        remoteContext.clear();
    }

    // Ends what is left of the instance: the process group, the profile.
    void endInstance(std::chrono::milliseconds grace)
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
        // The pipes' socket files outlive an instance that was killed.
        for (const std::string& path : socketFiles) {
            ::unlink(path.c_str());
        }
        socketFiles.clear();
    }

    Reference<css::text::XText> cell(int table, int row, int column)
    {
        requireDocument();
        if (table < 1 || table > static_cast<int>(tables.size())) {
            throw HostError("文档中没有第" + std::to_string(table) + "个表格（共有" +
                                std::to_string(tables.size()) + "个）",
                            HostFailure::DocumentUnusable);
        }
        Reference<css::table::XCellRange> range(tables[static_cast<size_t>(table - 1)], UNO_QUERY_THROW);
        try {
            return Reference<css::text::XText>(range->getCellByPosition(column - 1, row - 1),
                                               UNO_QUERY_THROW);
        } catch (const css::lang::IndexOutOfBoundsException&) {
            throw HostError("第" + std::to_string(table) + "个表格中没有第" + std::to_string(row) +
                                "行第" + std::to_string(column) + "列的单元格",
                            HostFailure::DocumentUnusable);
        }
    }

    Reference<css::text::XTextViewCursor> viewCursor()
    {
        Reference<css::text::XTextViewCursorSupplier> supplier(document->getCurrentController(),
                                                               UNO_QUERY_THROW);
        return supplier->getViewCursor();
    }

    // Runs a look at the layout with the views following the document.
    template <class Look>
    auto withLayout(Look&& look) -> decltype(look())
    {
        const bool relock = controllersLocked;
        unlockControllers();
        struct Relock {
            Impl& impl;
            bool relock;
            ~Relock()
            {
                try {
                    if (relock && impl.document.is()) {
                        impl.document->lockControllers();
                        impl.controllersLocked = true;
                    }
                } catch (...) {
                    // The look failed too, and says why.
                }
            }
        } relocker{*this, relock};
        return look();
    }

    int pageOf(const Reference<css::text::XTextRange>& range)
    {
        Reference<css::text::XTextViewCursor> cursor = viewCursor();
        cursor->gotoRange(range, false);
        Reference<css::text::XPageCursor> pages(cursor, UNO_QUERY_THROW);
        return pages->getPage();
    }

    HostError notAnswering(const std::string& detail) const
    {
        return HostError("LibreOffice在" + std::to_string(options.callTimeoutMs) +
                             "毫秒的期限内没有回应，已结束它（" + detail + "）",
                         HostFailure::NotAnswering);
    }

    // Runs one operation under a deadline and turns every UNO failure into
    // HostError; a failure that is no lost office counts as `otherwise`.
    template <class Operation>
    auto guarded(Operation&& operation, std::chrono::milliseconds timeout = std::chrono::milliseconds(0),
                 HostFailure otherwise = HostFailure::Other) -> decltype(operation())
    {
        const Deadline deadline(*this, timeout.count() > 0 ? timeout : callTimeout());
        try {
            return operation();
        } catch (const HostError& error) {
            if (watchdog.missed() && error.failure() != HostFailure::NotAnswering) {
                throw notAnswering(error.what());
            }
            throw;
        } catch (const css::lang::DisposedException& error) {
            if (watchdog.missed()) {
                throw notAnswering(toUtf8(error.Message));
            }
            throw HostError("LibreOffice已意外退出（" + toUtf8(error.Message) + "）", HostFailure::NotAnswering);
        } catch (const css::uno::Exception& error) {
            if (watchdog.missed()) {
                throw notAnswering(toUtf8(error.Message));
            }
            if (instanceEnded()) {
                throw HostError("LibreOffice已意外退出（" + toUtf8(error.Message) + "）", HostFailure::NotAnswering);
            }
            throw HostError("LibreOffice操作失败：" + toUtf8(error.Message), otherwise);
        } catch (const std::exception& error) {
            throw HostError(std::string("LibreOffice操作失败：") + error.what(), otherwise);
        }
    }
};

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
        d.endInstance(terminated ? std::chrono::milliseconds(kAbandonGrace) : std::chrono::milliseconds(0));
    } catch (...) {
    }
}

bool LibreOfficeHost::isInstanceRunning()
{
    try {
        // What an earlier run of this program left is cleared away first: it
        // is nobody's instance and must not count as the user's.
        office::sweepOrphans("/proc", tempFolder(), kPipeFolder, ::getuid());
        return office::userInstanceRunning("/proc", ::getuid(), hiddenInstancesNow());
    } catch (...) {
        return false;
    }
}

void LibreOfficeHost::startInstance()
{
    Impl& d = *impl_;
    if (d.pid > 0) {
        throw HostError("LibreOffice已经启动");
    }
    // The office's own program, never the launcher script: nothing is looked
    // up in the working folder or on the PATH, and the keeper is its parent.
    const std::string officeProgram = d.options.programFolder + "/soffice.bin";
    if (::access(officeProgram.c_str(), X_OK) != 0) {
        throw HostError("找不到LibreOffice（" + d.options.programFolder + "/soffice），请安装LibreOffice Writer！",
                        HostFailure::NotInstalled);
    }
    d.watchdog.clearMissed();
    d.guarded(
        [&] {
            try {
                d.profileFolder = makeProfileFolder();
                seedProfile(d.profileFolder, setupVersion(d.options.programFolder), buildIdOf(d.options.programFolder));
                const std::string pipe = uniquePipeName();
                office::KeptOffice kept;
                kept.program = officeProgram;
                kept.arguments = {officeProgram,
                                  "--invisible",
                                  "--nologo",
                                  "--norestore",
                                  "--nodefault",
                                  "--nolockcheck",
                                  "-env:UserInstallation=" + office::fileUrlFromPath(d.profileFolder),
                                  "--accept=pipe,name=" + pipe + ";urp;StarOffice.ComponentContext"};
                if (!hasDisplay()) {
                    kept.arguments.insert(kept.arguments.begin() + 1, "--headless");
                }
                std::vector<std::string> ours;
                for (char** entry = environ; *entry != nullptr; ++entry) {
                    ours.emplace_back(*entry);
                }
                kept.environment = office::officeEnvironment(ours);
                kept.workFolder = d.options.programFolder;
                kept.profileFolder = d.profileFolder;
                kept.files = {std::string(kPipeFolder) + "/OSL_PIPE_" + std::to_string(::getuid()) + "_" + pipe};

                try {
                    d.pid = office::startKept(kept);
                } catch (const std::runtime_error& error) {
                    throw HostError(std::string("无法启动LibreOffice：") + error.what());
                }
                registerHidden(d.pid);
                d.watchedPid = d.pid;

                // This side's UNO is set up while the office starts.
                const Reference<css::uno::XComponentContext> local = localContext(d.options.programFolder);
                const Reference<css::bridge::XUnoUrlResolver> resolver = css::bridge::UnoUrlResolver::create(local);

                const OUString url = toOUString("uno:pipe,name=" + pipe + ";urp;StarOffice.ComponentContext");
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
                d.socketFiles = office::listeningSocketPaths("/proc", office::liveGroupMembers("/proc", d.pid));
                // The keeper removes these when the office ends, whoever ends it.
                std::ofstream pipes(d.profileFolder + "/" + office::kPipesFile);
                for (const std::string& path : d.socketFiles) {
                    pipes << path << '\n';
                }
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
        throw HostError("无法打开文档" + path + "（" + std::strerror(errno) + "）", HostFailure::DocumentUnusable);
    }
    d.guarded([&] {
        // Opened as a template: the office only reads the file and fills an
        // untitled copy of it, so the program's document is never written,
        // whoever owns it, and the user's Save becomes "Save As".
        const std::vector<css::beans::PropertyValue> arguments{
            property("Hidden", Any(true)),
            property("AsTemplate", Any(true)),
        };
        Reference<css::frame::XComponentLoader> loader(d.desktop, UNO_QUERY_THROW);
        const Reference<css::lang::XComponent> component = loader->loadComponentFromURL(
            fileUrl(path), "_blank", 0, sequenceOf(arguments));
        const Reference<css::text::XTextDocument> text(component, UNO_QUERY);
        if (!text.is()) {
            if (component.is()) {
                component->dispose();
            }
            throw HostError("无法打开文档" + path + "：不是WORD文档", HostFailure::DocumentUnusable);
        }
        d.document.set(component, UNO_QUERY_THROW);
        // Filling is faster without the views following every change.
        d.document->lockControllers();
        d.controllersLocked = true;

        // The tables in document order; the table collection is in creation order.
        Reference<css::container::XEnumerationAccess> paragraphs(text->getText(), UNO_QUERY_THROW);
        const Reference<css::container::XEnumeration> items = paragraphs->createEnumeration();
        while (items->hasMoreElements()) {
            Reference<css::text::XTextTable> table(items->nextElement(), UNO_QUERY);
            if (table.is()) {
                d.tables.push_back(table);
            }
        }
    }, std::chrono::milliseconds(0), HostFailure::DocumentUnusable);
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
    d.guarded([&] {
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
        Reference<css::view::XPrintable>(d.document, UNO_QUERY_THROW)->print(sequenceOf(options));
        const std::string failure = watch->awaitOutcome(kPrintEventWait);
        try {
            broadcaster->removePrintJobListener(listener);
        } catch (const css::uno::Exception&) {
        }
        if (!failure.empty()) {
            throw HostError(failure, failure == kNoPrinter ? HostFailure::NoPrinter : HostFailure::PrintFailed);
        }
    }, std::chrono::milliseconds(d.options.printTimeoutMs), HostFailure::PrintFailed);
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
    d.endInstance(terminated ? std::chrono::milliseconds(kQuitGrace) : std::chrono::milliseconds(0));
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
    std::ofstream(d.profileFolder + "/" + office::kShownFile) << "shown\n";
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
            office::removeTree(profile);
            for (const std::string& path : pipes) {
                ::unlink(path.c_str());
            }
        }
    }).detach();
}

void LibreOfficeHost::setPrintFile(const std::string& path)
{
    impl_->printFile = path;
}

pid_t LibreOfficeHost::instancePid() const
{
    return impl_->pid;
}

std::string LibreOfficeHost::profileFolder() const
{
    return impl_->profileFolder;
}

std::string LibreOfficeHost::documentLocation()
{
    Impl& d = *impl_;
    d.requireDocument();
    return d.guarded([&] { return toUtf8(d.document->getURL()); });
}

std::string LibreOfficeHost::cellText(int table, int row, int column)
{
    Impl& d = *impl_;
    return d.guarded([&] { return toUtf8(d.cell(table, row, column)->getString()); });
}

std::vector<LibreOfficeHost::TableShape> LibreOfficeHost::tableShapes()
{
    Impl& d = *impl_;
    d.requireDocument();
    return d.guarded([&] {
        return d.withLayout([&] {
            std::vector<TableShape> shapes;
            for (const auto& table : d.tables) {
                TableShape shape;
                shape.rows = table->getRows()->getCount();
                shape.columns = table->getColumns()->getCount();
                Reference<css::table::XCellRange> range(table, UNO_QUERY_THROW);
                const Reference<css::text::XText> first(range->getCellByPosition(0, 0), UNO_QUERY_THROW);
                const Reference<css::text::XText> last(
                    range->getCellByPosition(shape.columns - 1, shape.rows - 1), UNO_QUERY_THROW);
                shape.firstPage = d.pageOf(first->getStart());
                shape.lastPage = d.pageOf(last->getEnd());
                shapes.push_back(shape);
            }
            return shapes;
        });
    });
}

int LibreOfficeHost::pageCount()
{
    Impl& d = *impl_;
    d.requireDocument();
    return d.guarded([&] {
        return d.withLayout([&] {
            Reference<css::text::XPageCursor> pages(d.viewCursor(), UNO_QUERY_THROW);
            pages->jumpToLastPage();
            return static_cast<int>(pages->getPage());
        });
    });
}

bool LibreOfficeHost::cellTextOnOneLine(int table, int row, int column)
{
    Impl& d = *impl_;
    return d.guarded([&] {
        const Reference<css::text::XText> cell = d.cell(table, row, column);
        return d.withLayout([&] {
            const Reference<css::text::XTextViewCursor> cursor = d.viewCursor();
            cursor->gotoRange(cell->getStart(), false);
            const sal_Int32 top = cursor->getPosition().Y;
            cursor->gotoRange(cell->getEnd(), false);
            return cursor->getPosition().Y == top;
        });
    });
}

void LibreOfficeHost::exportPdf(const std::string& path)
{
    Impl& d = *impl_;
    d.requireDocument();
    d.guarded([&] {
        const std::vector<css::beans::PropertyValue> arguments{
            property("FilterName", Any(OUString("writer_pdf_Export"))),
        };
        Reference<css::frame::XStorable>(d.document, UNO_QUERY_THROW)
            ->storeToURL(fileUrl(path), sequenceOf(arguments));
    });
}

}  // namespace numbrook
