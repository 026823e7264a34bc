// parvex-cli: the split engine on the command line.
#include "commandline.h"
#include "commandrunner.h"
#include "consolehost.h"

#include <iostream>

int main(int argc, char** argv)
{
    CommandLine commandLine;
    const auto request = commandLine.parse(argc, argv, std::cout, std::cerr);
    if (!request)
        return commandLine.exitStatus();
    ConsoleHost host(
        ConsoleHost::terminalOptions(request->assumeYes), std::cout, std::cerr, std::cin);
    return CommandRunner(host, std::cout).run(*request);
}
