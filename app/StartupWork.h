#pragma once

#include <QImage>

#include <future>

namespace kw {

// Start-up work that needs no window system, begun on a second thread before the application object
// exists. It overlaps the main thread's connection to the display (about 6 ms under X): fontconfig
// reads its configuration and font caches (about 3 ms, otherwise paid when the first text is laid
// out) and the main menu's picture is decoded (about 2.5 ms, otherwise paid when it is first painted).
class StartupWork {
public:
    StartupWork();
    ~StartupWork();
    StartupWork(const StartupWork&) = delete;
    StartupWork& operator=(const StartupWork&) = delete;

    // Waits for the work to finish. Call before the first window is built, so that Qt finds
    // fontconfig ready instead of reading its configuration a second time alongside the thread.
    // A null picture when no thread could be started: the menu then loads its own.
    QImage takeMenuPicture();

private:
    std::future<QImage> m_picture;
};

} // namespace kw
