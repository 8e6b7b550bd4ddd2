#include "app/Errhandler.h"
#include "catalog/Clsfolders.h"
#include "catalog/Safefile.h"

#include <cstdio>
#include <exception>

namespace {

TErrorHandler& Handler() {
    static TErrorHandler h;
    return h;
}

bool handling = false; // an error inside the handler must not recurse

} // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

void TApplication::SetErrorHandler(TErrorHandler handler) {
    Handler() = std::move(handler);
}

bool TApplication::HasErrorHandler() {
    return static_cast<bool>(Handler());
}

void TApplication::HandleError(int no, const std::string& message) {
    if (handling || !Handler()) {
        std::fprintf(stderr, "%d %s\n", no, message.c_str());
        return;
    }
    handling = true;
    try {
        Handler()(no, message);
    } catch (...) {
        std::fprintf(stderr, "%d %s\n", no, message.c_str());
    }
    handling = false;
}

bool TApplication::notify(QObject* receiver, QEvent* e) {
    try {
        return QApplication::notify(receiver, e);
    } catch (const std::exception& ex) {
        HandleError(0, ex.what());
    } catch (...) {
        HandleError(0, "Unknown error");
    }
    return false;
}

std::string ErrorText(int no, const std::string& message) {
    return "Error\r\n\r\nErrorNo." + std::to_string(no) + "\r\n" + message;
}

bool AppendErrLog(const std::string& folder, int no, const std::string& message) {
    std::string why;
    return TSafeFile::AppendCapped(PathIn(folder, kErrLogName),
                                   std::to_string(no) + " " + message + "\n", kErrLogCap, why);
}
