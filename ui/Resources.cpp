#include "Resources.h"

#include <mutex>

static void initResources() {
    Q_INIT_RESOURCE(koerswacht);
}

namespace kw {

void RegisterResources() {
    static std::once_flag once;
    std::call_once(once, initResources);
}

QImage LoadMenuPicture() {
    RegisterResources();
    return QImage(QStringLiteral(":/koerswacht/ship.png"));
}

} // namespace kw
