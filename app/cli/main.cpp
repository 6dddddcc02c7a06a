#include "componentfactory.h"
#include "krvctl.h"
#include "programinfo.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[])
{
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        ProgramInfo::printVersion("krvctl");
        return 0;
    }
    QCoreApplication app(argc, argv);
    ComponentFactory components;
    QTextStream out(stdout);
    QTextStream err(stderr);
    Krvctl ctl(&components, out, err);
    ctl.setProgressShown(isatty(fileno(stderr)) != 0);
    const int code = ctl.run(app.arguments());
    out.flush();
    err.flush();
    return code;
}
