# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads or closes a document in a running LibreOffice through UNO.

Run with the Python that has LibreOffice's "uno" module (Debian: python3-uno):

  office_tables.py PIPE read     prints, as JSON, every open text document: its URL
                                  ("" untitled), whether it has unsaved changes, whether
                                  its window is visible, and the text of every cell of
                                  its tables in document order
  office_tables.py PIPE close    closes every document without saving and ends the instance
PIPE is the name of the pipe the instance accepts UNO connections on.
"""

import json
import sys

import uno  # noqa: F401  (sets up the com.sun.star imports)
from com.sun.star.lang import DisposedException


def desktop_of(pipe):
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext(
        "com.sun.star.bridge.UnoUrlResolver", local)
    context = resolver.resolve(f"uno:pipe,name={pipe};urp;StarOffice.ComponentContext")
    return context.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", context)


def documents(desktop):
    items = desktop.getComponents().createEnumeration()
    while items.hasMoreElements():
        yield items.nextElement()


def tables_in_order(document):
    """The text tables of the body, in the order they stand in the document."""
    tables = []
    paragraphs = document.getText().createEnumeration()
    while paragraphs.hasMoreElements():
        element = paragraphs.nextElement()
        if element.supportsService("com.sun.star.text.TextTable"):
            rows = element.getRows().getCount()
            columns = element.getColumns().getCount()
            tables.append([[element.getCellByPosition(c, r).getString() for c in range(columns)]
                           for r in range(rows)])
    return tables


def read(pipe):
    return [{"url": document.getURL(),
             "modified": document.isModified(),
             "visible": document.getCurrentController().getFrame().getContainerWindow().isVisible(),
             "tables": tables_in_order(document)}
            for document in documents(desktop_of(pipe)) if hasattr(document, "getText")]


def close(pipe):
    desktop = desktop_of(pipe)
    for document in list(documents(desktop)):
        document.setModified(False)
        document.close(True)
    try:
        if not desktop.terminate():
            raise SystemExit("LibreOffice refused to end")
    except DisposedException:
        pass  # the connection goes down with the instance


def main():
    pipe, command = sys.argv[1:3]
    print(json.dumps(read(pipe) if command == "read" else close(pipe), ensure_ascii=False))


if __name__ == "__main__":
    main()
