// The QApplication with the program's name, version and icon, or a clean exit when no display
// can be opened.
#pragma once

#include <QApplication>
#include <memory>

namespace zentrovax {

// The program's name and version, for the command line as for the window.
void DeclareProgram();

// Without a display, prints one line to stderr and exits with code 1: Qt alone would abort and
// leave a core dump.
std::unique_ptr<QApplication> CreateApplication(int& argc, char** argv);

}  // namespace zentrovax
