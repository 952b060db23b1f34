// The suite's main on the Qt backend: one QApplication for the whole run, as
// the program has one; each test's QtApplication finds it.
#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest/doctest.h>

#include <QApplication>

int main(int argc, char** argv)
{
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    const QApplication app(qtArgc, qtArgv);
    return doctest::Context(argc, argv).run();
}
