#include <QApplication>

#include "app/form1.h"
#include "app/startup.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    numbrook::setUpApplication(app);
    numbrook::Form1 window;
    window.show();
    return QApplication::exec();
}
