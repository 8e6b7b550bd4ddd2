#include "app/Clscmdline.h"
#include "scope/Clsscopeset.h"

#ifndef QUENLIRA_VERSION
#define QUENLIRA_VERSION "unknown"
#endif

TCmdLine TCmdLine::Parse(const std::vector<std::string>& args, bool strict) {
    TCmdLine c;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            c.Action = Help;
            return c; // asking for help beats anything else on the line
        }
        if (a == "--version") {
            c.Action = Version;
        } else if (a == "--telescope" || a.rfind("--telescope=", 0) == 0) {
            // Ours in both passes: its value must not be taken for a word of Qt's.
            std::string value;
            if (a != "--telescope")
                value = a.substr(12);
            else if (i + 1 < args.size())
                value = args[++i];
            std::string why;
            if (!TScopeSettings::ParseTarget(value, c.TelescopeHost, c.TelescopePort,
                                             c.TelescopeDevice, why)) {
                if (strict && c.Action != Bad) {
                    c.Action = Bad;
                    c.Message = "--telescope needs HOST:PORT[/DEVICE]: " + why;
                }
            } else {
                c.Telescope = true;
            }
        } else if (a == "--night") {
            c.Night = true;
        } else if (a == "--horizon" || a.rfind("--horizon=", 0) == 0) {
            std::string value;
            if (a != "--horizon")
                value = a.substr(10);
            else if (i + 1 < args.size())
                value = args[++i];
            if (!value.empty()) {
                c.Horizon = value;
            } else if (strict && c.Action != Bad) {
                c.Action = Bad;
                c.Message = "--horizon needs a file of azimuth and altitude pairs";
            }
        } else if (strict && c.Action != Bad) {
            c.Action = Bad;
            c.Message = "unknown argument '" + a + "'";
        }
    }
    return c;
}

std::string TCmdLine::Usage() {
    return "Usage: quenlira [--help | --version] [--telescope HOST:PORT[/DEVICE]] [--horizon FILE]\n"
           "                [--night]\n"
           "A planisphere and star atlas for amateur astronomers: choose a site in the\n"
           "opening window, then the chart window shows the sky over it.\n"
           "\n"
           "  -h, --help     this text\n"
           "  --version      the program's version\n"
           "  --telescope HOST:PORT[/DEVICE]\n"
           "                 connect at start to the INDI server's telescope (port 7624\n"
           "                 and the first telescope when left out); F11 shows it\n"
           "  --horizon FILE your horizon for every site: lines of azimuth and altitude\n"
           "                 in degrees, # comments (the site editor keeps one per site)\n"
           "  --night        start in night vision: every window red on black (F12\n"
           "                 switches it; the choice is kept for the next start)\n"
           "\n"
           "Qt's own options (-platform NAME, -display DISPLAY, ...) are passed to Qt.\n"
           "One copy runs at a time for each user: a second start says \"Already Run!\" and\n"
           "ends. In the chart window F1 lists every key.\n"
           "An installed copy keeps its files in $XDG_DATA_HOME/quenlira\n"
           "(~/.local/share/quenlira); `man quenlira` says more.\n";
}

std::string TCmdLine::VersionText() {
    return std::string("quenlira ") + QUENLIRA_VERSION + "\n";
}
