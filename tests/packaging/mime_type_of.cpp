// Prints the file type Qt gives each file named, by name and content, as a file dialog or
// a desktop built on Qt asks for it.
#include <QCoreApplication>
#include <QMimeDatabase>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QMimeDatabase types;
    for (const QString &path : QCoreApplication::arguments().mid(1))
        out << types.mimeTypeForFile(path).name() << '\n';
    return 0;
}
