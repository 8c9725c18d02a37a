#include "qt/application.h"
#include "qt/command_line.h"
#include "qt/qt_toolkit.h"

int main(int argc, char** argv) {
    zentrovax::DeclareProgram();
    if (const auto answered = zentrovax::RunCommandLine(argc, argv)) {
        return *answered;
    }
    const auto application = zentrovax::CreateApplication(argc, argv);
    zentrovax::QtToolkit frmZentrovax;
    frmZentrovax.Show();
    return QApplication::exec();
}
