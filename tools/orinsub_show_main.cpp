#include "ShowTool.h"

#include <QFile>
#include <iostream>

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QFile::decodeName(argv[i]);
    return orinsub::tools::ShowTool(std::cout, std::cerr).Run(args);
}
