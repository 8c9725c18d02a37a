#include "qt/application.h"
#include "qt/qt_toolkit.h"

int main(int argc, char** argv) {
    const auto application = zentrovax::CreateApplication(argc, argv);
    zentrovax::QtToolkit frmZentrovax;
    frmZentrovax.Show();
    return QApplication::exec();
}
