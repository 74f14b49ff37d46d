// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The inside of LibreOfficeHost, shared by its DocumentHost operations
// (libreoffice_host.cpp) and the looks into the document that tests and
// tools take (libreoffice_host_inspection.cpp). Private to the host.

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/IndexOutOfBoundsException.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/text/XPageCursor.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextTable.hpp>
#include <com/sun/star/text/XTextViewCursor.hpp>
#include <com/sun/star/text/XTextViewCursorSupplier.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <rtl/ustring.hxx>

#include "export/libreoffice/libreoffice_host.h"
#include "export/libreoffice/kept_office.h"
#include "export/libreoffice/office_process.h"
#include "export/libreoffice/watchdog.h"

namespace numbrook::office {

using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OString;
using rtl::OUString;

// ---- text -------------------------------------------------------------------

inline OUString toOUString(const std::string& text)
{
    return OUString::fromUtf8(OString(text.c_str(), static_cast<sal_Int32>(text.size())));
}

inline std::string toUtf8(const OUString& text)
{
    const OString bytes = text.toUtf8();
    return std::string(bytes.getStr(), static_cast<size_t>(bytes.getLength()));
}

// Made from the path's bytes: no conversion through this process's locale.
inline OUString fileUrl(const std::string& path)
{
    return OUString::createFromAscii(fileUrlFromPath(path).c_str());
}

inline css::beans::PropertyValue property(const char* name, const Any& value)
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

}  // namespace numbrook::office

namespace numbrook {

struct LibreOfficeHost::Impl {
    template <class T>
    using Ref = css::uno::Reference<T>;

    Options options;
    std::string printFile;

    pid_t pid = -1;  // the keeper, leader of the instance's process group
    std::atomic<pid_t> watchedPid{-1};
    office::Watchdog watchdog{[this] { endStuckOffice(); }};
    std::string profileFolder;
    std::vector<std::string> socketFiles;  // the instance's pipes
    bool shown = false;

    Ref<css::uno::XComponentContext> remoteContext;
    Ref<css::frame::XDesktop2> desktop;
    Ref<css::frame::XModel> document;
    bool controllersLocked = false;
    std::vector<Ref<css::text::XTextTable>> tables;
    Ref<css::text::XText> selectedCell;

    bool instanceEnded() const { return pid > 0 && office::childHasEnded(pid); }

    // Called by the watchdog: ends the office under the keeper; the keeper
    // then clears the profile away and ends too.
    void endStuckOffice();

    std::chrono::milliseconds callTimeout() const
    {
        return std::chrono::milliseconds(options.callTimeoutMs);
    }

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
        office::Watchdog& watchdog_;
        std::optional<office::Watchdog::Clock::time_point> previous_;
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
    void endInstance(std::chrono::milliseconds grace);

    Ref<css::text::XText> cell(int table, int row, int column)
    {
        requireDocument();
        if (table < 1 || table > static_cast<int>(tables.size())) {
            throw HostError("文档中没有第" + std::to_string(table) + "个表格（共有" +
                                std::to_string(tables.size()) + "个）",
                            HostFailure::DocumentUnusable);
        }
        Ref<css::table::XCellRange> range(tables[static_cast<size_t>(table - 1)],
                                          css::uno::UNO_QUERY_THROW);
        try {
            return Ref<css::text::XText>(range->getCellByPosition(column - 1, row - 1),
                                         css::uno::UNO_QUERY_THROW);
        } catch (const css::lang::IndexOutOfBoundsException&) {
            throw HostError("第" + std::to_string(table) + "个表格中没有第" + std::to_string(row) +
                                "行第" + std::to_string(column) + "列的单元格",
                            HostFailure::DocumentUnusable);
        }
    }

    Ref<css::text::XTextViewCursor> viewCursor()
    {
        Ref<css::text::XTextViewCursorSupplier> supplier(document->getCurrentController(),
                                                         css::uno::UNO_QUERY_THROW);
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

    int pageOf(const Ref<css::text::XTextRange>& range)
    {
        Ref<css::text::XTextViewCursor> cursor = viewCursor();
        cursor->gotoRange(range, false);
        Ref<css::text::XPageCursor> pages(cursor, css::uno::UNO_QUERY_THROW);
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
    auto guarded(Operation&& operation,
                 std::chrono::milliseconds timeout = std::chrono::milliseconds(0),
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
                throw notAnswering(office::toUtf8(error.Message));
            }
            throw HostError("LibreOffice已意外退出（" + office::toUtf8(error.Message) + "）",
                            HostFailure::OfficeEnded);
        } catch (const css::uno::Exception& error) {
            if (watchdog.missed()) {
                throw notAnswering(office::toUtf8(error.Message));
            }
            if (instanceEnded()) {
                throw HostError("LibreOffice已意外退出（" + office::toUtf8(error.Message) + "）",
                                HostFailure::OfficeEnded);
            }
            throw HostError("LibreOffice操作失败：" + office::toUtf8(error.Message), otherwise);
        } catch (const std::exception& error) {
            throw HostError(std::string("LibreOffice操作失败：") + error.what(), otherwise);
        }
    }
};

}  // namespace numbrook
