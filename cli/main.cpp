// SPDX-License-Identifier: GPL-3.0-or-later
// parvex-cli: the split engine on the command line.
#include "commandline.h"
#include "commandrunner.h"
#include "consolehost.h"
#include "cutdispatcher.h"
#include "interruption.h"

#include <iostream>

using namespace parvex;

int main(int argc, char** argv)
{
    CommandLine commandLine;
    const auto request = commandLine.parse(argc, argv, std::cout, std::cerr);
    if (!request)
        return commandLine.exitStatus();
    CatchInterruptions();
    ConsoleHost host(
        ConsoleHost::terminalOptions(request->assumeYes), std::cout, std::cerr, std::cin);
    const int status = CommandRunner(host, std::cout, RunCut).run(*request);
    std::cout.flush();
    EndByInterruption();
    return status;
}
