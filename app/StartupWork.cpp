#include "StartupWork.h"

#include "ui/Resources.h"

#include <QThread>

#include <system_error>

#ifdef KOERSWACHT_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace kw {

StartupWork::StartupWork() {
    // Qt takes the first thread that uses it for the main thread. Decoding a picture uses it, so
    // this thread claims that place before the second one starts.
    QThread::currentThread();
    RegisterResources();
    try {
        m_picture = std::async(std::launch::async, [] {
#ifdef KOERSWACHT_FONTCONFIG
            // Thread-safe: the loaded configuration becomes the process's default one, and Qt's own
            // FcInit() later finds it there.
            FcInit();
#endif
            return LoadMenuPicture();
        });
    } catch (const std::system_error&) {
        // No second thread to be had: the picture is loaded when the menu asks for it, as without
        // this class.
    }
}

StartupWork::~StartupWork() {
    if (m_picture.valid())
        m_picture.wait();
}

QImage StartupWork::takeMenuPicture() {
    return m_picture.valid() ? m_picture.get() : QImage();
}

} // namespace kw
