// The program's command line. It is read twice: before the application object
// exists, so that --help and --version answer without a display, and again
// after Qt has taken its own options (-platform, -display ...), when anything
// left over that we do not know is refused.
#pragma once

#include <string>
#include <vector>

class TCmdLine {
public:
    enum TAction { Run, Help, Version, Bad };

    // args[0] is the program. With `strict` false, arguments we do not know
    // are left for Qt; with `strict` true they make the action Bad.
    static TCmdLine Parse(const std::vector<std::string>& args, bool strict);

    static std::string Usage();
    static std::string VersionText();

    TAction Action = Run;
    std::string Message; // what is wrong, for Bad
    // --telescope HOST:PORT[/DEVICE] (or --telescope=...): connect at start.
    bool Telescope = false;
    std::string TelescopeHost, TelescopeDevice;
    int TelescopePort = 0;
    // --horizon FILE: this horizon profile for every site, over the one the
    // site keeps.
    std::string Horizon;
    // --night: start in night vision, whatever the last run chose.
    bool Night = false;
};
