#include "app/application.h"
#include "window/qt_toolkit.h"

int main(int argc, char** argv) {
    const auto application = zentrovax::CreateApplication(argc, argv);
    zentrovax::QtToolkit frmZentrovax;
    frmZentrovax.Show();
    return QApplication::exec();
}
