// The floor the programs' start-up is measured against: an empty main window, built with
// the same compiler, flags and Qt as the programs, that does nothing else.

#include <QApplication>
#include <QMainWindow>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.show();
    return QApplication::exec();
}
