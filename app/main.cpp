#include <QApplication>

#include <csignal>

#include "app/form1.h"
#include "app/startup.h"
#include "app/window_look.h"

int main(int argc, char** argv)
{
    // A word processor that dies mid-export closes its pipe: that is an
    // error for the export to report, not a reason for the program to end.
    std::signal(SIGPIPE, SIG_IGN);
    QApplication app(argc, argv);
    numbrook::setUpApplication(app);
    numbrook::Form1 window;
    numbrook::fitToScreen(window);
    window.show();
    return QApplication::exec();
}
