// The program-wide handler of errors that no other code handles, and the
// application object that routes them there. An exception escaping any event
// handler reaches TApplication::notify, which passes it to the installed
// handler; without one it is logged to standard error and the event dropped.
#pragma once

#include <QApplication>
#include <cstddef>
#include <functional>
#include <string>

using TErrorHandler = std::function<void(int no, const std::string& message)>;

class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* e) override;

    static void SetErrorHandler(TErrorHandler handler);
    static bool HasErrorHandler();
    // Hands an error to the handler (used by notify and by code that catches
    // an error outside the event loop).
    static void HandleError(int no, const std::string& message);
};

// "Error", CR LF, CR LF, "ErrorNo." and the number, CR LF, the message.
std::string ErrorText(int no, const std::string& message);

// Appends one line "%d %s\n" to "Err3.Log" in the folder; false when the log
// cannot be written (then nothing is written). Only a plain file is written,
// never through a link; past kErrLogCap bytes the log becomes "Err3.Log.1"
// (replacing the one before) and a new one is started.
inline constexpr const char* kErrLogName = "Err3.Log";
inline constexpr std::size_t kErrLogCap = 1u << 20;
bool AppendErrLog(const std::string& folder, int no, const std::string& message);
