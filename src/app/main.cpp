#include "cli/CommandLine.h"
#include "cli/Commands.h"

#include <QByteArray>
#include <QList>

int main(int argc, char* argv[])
{
    QList<QByteArray> arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    return runCommand(CommandLine::parse(arguments));
}
