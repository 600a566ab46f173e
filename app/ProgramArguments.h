#pragma once

namespace kw {

// Koerswacht reads no command line, and Qt may not read one for it either: its own options
// (-qwindowtitle, -style, -reverse, -platform...) would change the program. QApplication is given
// the program's name alone; a test platform is still chosen with QT_QPA_PLATFORM.
class ProgramArguments final {
public:
    explicit ProgramArguments(char* programName)
        : m_argv{programName, nullptr} {}
    ProgramArguments(const ProgramArguments&) = delete;
    ProgramArguments& operator=(const ProgramArguments&) = delete;

    // QApplication keeps references to both for as long as it lives.
    int& argc() { return m_argc; }
    char** argv() { return m_argv; }

private:
    int m_argc = 1;
    char* m_argv[2];
};

} // namespace kw
