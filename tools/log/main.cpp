// quenlira-log: lists, imports and exports the observing log (OAL 2.1 XML)
// and the observing lists (CSV) of the database Quenlira keeps, without a
// display. Exit status 0 on success, 2 on bad input (arguments or a file)
// with the reason, 1 when the database cannot be used.
#include "catalog/Clsfolders.h"
#include "catalog/Safefile.h"
#include "obslog/Clslistcsv.h"
#include "obslog/Clslogdb.h"
#include "obslog/Clslogtime.h"
#include "obslog/Clsoal.h"
#include "obslog/Clsobslists.h"
#include "obslog/Clsobslog.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

const char* const Usage =
    "Usage: quenlira-log [--database PATH] COMMAND\n"
    "Commands:\n"
    "  list                          the log's entries, one per line\n"
    "  list --list NAME              the entries of an observing list\n"
    "  lists                         the observing lists\n"
    "  import FILE.xml               adds the observations of an OAL 2.x file\n"
    "  export --oal FILE.xml         writes the whole log as OAL 2.1 ('-': standard output)\n"
    "  import --csv FILE.csv --list NAME   adds a CSV list to the list NAME (made if new)\n"
    "  export --csv FILE.csv --list NAME   writes the list NAME as CSV ('-': standard output)\n"
    "Options:\n"
    "  --database PATH   the database to use instead of the user's\n"
    "  --help, --version\n"
    "Exit status: 0 success, 1 the database cannot be used, 2 bad input.\n";

int Bad(const std::string& why) {
    std::fprintf(stderr, "quenlira-log: %s\nTry 'quenlira-log --help'.\n", why.c_str());
    return 2;
}

std::string ProgramFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
}

// The database the program itself uses: beside it in a build folder, in
// the user's data folder when installed.
std::string UserDatabase(std::string& error) {
    const TFolders where =
        TFolders::Decide(ProgramFolder(), std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    if (!where.Error.empty()) error = where.Error;
    return where.User.empty() ? "" : TLogDb::FileIn(where.User);
}

bool WriteOut(const std::string& path, const std::string& text, std::string& error) {
    if (path == "-") return std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    return TSafeFile::WriteAtomic(path, text, error);
}

std::string Opt(double v, const char* fmt) {
    if (!std::isfinite(v)) return "";
    char buf[32];
    std::snprintf(buf, sizeof buf, fmt, v);
    return buf;
}

void PrintLog(TObsLog& log) {
    const TLogData d = log.ReadAll();
    std::map<std::int64_t, std::string> sites, scopes, eyepieces, filters;
    for (const auto& s : d.Sites)
        sites[s.Id] = s.Name;
    for (const auto& s : d.Scopes)
        scopes[s.Id] = s.Model;
    for (const auto& e : d.Eyepieces)
        eyepieces[e.Id] = e.Model;
    for (const auto& f : d.Filters)
        filters[f.Id] = f.Model;
    for (const TObservation& o : d.Observations) {
        std::string line = std::to_string(o.Id) + "\t" + TLogTime::Format(o.Begin, o.UtcOffsetMin) +
                           "\t" + o.Object.Name + "\t" + sites[o.SiteId] + "\t" + scopes[o.ScopeId];
        line += "\t" + eyepieces[o.EyepieceId] + "\t" + filters[o.FilterId] + "\t" +
                (o.Magnification ? Opt(*o.Magnification, "%.0fx") : "");
        line += "\t" + (o.Seeing ? "S" + std::to_string(o.Seeing) : std::string()) + "\t" +
                (o.Transparency ? "T" + std::to_string(o.Transparency) : std::string());
        std::string note = o.Notes;
        for (char& c : note)
            if (c == '\n' || c == '\t') c = ' ';
        std::printf("%s\t%s\n", line.c_str(), note.c_str());
    }
}

std::int64_t FindList(TObsLists& lists, const std::string& name) {
    for (const TObsList& l : lists.Lists())
        if (l.Name == name) return l.Id;
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string database, command, oal, csv, listName;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) return false;
            into = args[++i];
            return true;
        };
        if (a == "--help" || a == "-h") {
            std::fputs(Usage, stdout);
            return 0;
        } else if (a == "--version") {
            std::printf("quenlira-log %s\n", QUENLIRA_VERSION);
            return 0;
        } else if (a == "--database") {
            if (!value(database)) return Bad("--database needs a path");
        } else if (a == "--oal") {
            if (!value(oal)) return Bad("--oal needs a file");
        } else if (a == "--csv") {
            if (!value(csv)) return Bad("--csv needs a file");
        } else if (a == "--list") {
            if (!value(listName)) return Bad("--list needs a name");
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            return Bad("unknown option " + a);
        } else if (command.empty()) {
            command = a;
        } else {
            files.push_back(a);
        }
    }
    if (command.empty()) return Bad("no command");
    if (command != "list" && command != "lists" && command != "import" && command != "export")
        return Bad("unknown command " + command);
    // The arguments are checked before the database is touched.
    if (command == "import") {
        if (!csv.empty() && listName.empty()) return Bad("import --csv needs --list NAME");
        if (csv.empty() && files.size() != 1) return Bad("import needs one FILE.xml");
        if (!csv.empty() && !files.empty()) return Bad("import --csv takes no further file");
    } else if (command == "export") {
        if (oal.empty() == csv.empty()) return Bad("export needs --oal FILE or --csv FILE");
        if (!csv.empty() && listName.empty()) return Bad("export --csv needs --list NAME");
        if (!files.empty()) return Bad("unexpected " + files[0]);
    } else if (!files.empty()) {
        return Bad("unexpected " + files[0]);
    }

    std::string error;
    if (database.empty()) database = UserDatabase(error);
    if (database.empty()) {
        std::fprintf(stderr, "quenlira-log: %s\n", error.c_str());
        return 1;
    }
    // Input files are read before the database is opened: a bad file
    // leaves it untouched.
    TLogData incoming;
    std::vector<TListEntry> rows;
    if (command == "import" && csv.empty() && !TOal::ReadFile(files[0], incoming, error))
        return Bad(error);
    if (command == "import" && !csv.empty()) {
        std::string text;
        if (!TSafeFile::ReadAll(csv, TListCsv::MaxBytes, text, error)) return Bad(error);
        if (!TListCsv::Read(text, rows, error)) return Bad(csv + ": " + error);
    }

    TLogDb db;
    if (!db.Open(database, error)) {
        std::fprintf(stderr, "quenlira-log: %s\n", error.c_str());
        return 1;
    }
    TObsLog log(db);
    TObsLists lists(db);
    if (command == "lists") {
        for (const TObsList& l : lists.Lists())
            std::printf("%s\t%zu\n", l.Name.c_str(), lists.Entries(l.Id).size());
        return 0;
    }
    if (command == "list") {
        if (listName.empty()) {
            PrintLog(log);
            return 0;
        }
        const std::int64_t id = FindList(lists, listName);
        if (!id) return Bad("no list named " + listName);
        for (const TListEntry& e : lists.Entries(id))
            std::printf("%d\t%s\t%s\t%s\t%s\n", e.Position, e.Object.Name.c_str(),
                        TListCsv::KindWord(e.Object.Type).c_str(), e.Observed ? "observed" : "",
                        e.Note.c_str());
        return 0;
    }
    if (command == "import" && csv.empty()) {
        int added = 0, skipped = 0;
        if (!log.Import(incoming, added, skipped, error)) return Bad(files[0] + ": " + error);
        std::printf("%d observations added, %d already in the log\n", added, skipped);
        return 0;
    }
    if (command == "import") {
        // The whole list in one transaction.
        int added = 0;
        const bool ok = db.Transact(
            [&](std::string& err) {
                const std::int64_t id = lists.Create(listName, err);
                if (!id) return false;
                for (const TListEntry& e : rows) {
                    if (!lists.Add(id, e.Object, e.Note, err)) return false;
                    ++added;
                }
                return true;
            },
            error);
        if (!ok) {
            std::fprintf(stderr, "quenlira-log: %s\n", error.c_str());
            return 1;
        }
        std::printf("%d objects added to %s\n", added, listName.c_str());
        return 0;
    }
    if (!oal.empty()) {
        if (!WriteOut(oal, TOal::Write(log.ReadAll()), error)) {
            std::fprintf(stderr, "quenlira-log: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    const std::int64_t id = FindList(lists, listName);
    if (!id) return Bad("no list named " + listName);
    if (!WriteOut(csv, TListCsv::Write(lists.Entries(id)), error)) {
        std::fprintf(stderr, "quenlira-log: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
