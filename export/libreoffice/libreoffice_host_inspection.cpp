// SPDX-License-Identifier: GPL-3.0-or-later
// The looks into the open document that tests and tools take.

#include <string>
#include <vector>

#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>

#include "export/libreoffice/libreoffice_host.h"
#include "export/libreoffice/libreoffice_host_impl.h"

namespace numbrook {

using namespace office;

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
                const Reference<css::text::XText> first(range->getCellByPosition(0, 0),
                                                        UNO_QUERY_THROW);
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
