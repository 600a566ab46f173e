#pragma once

#include "report/PrinterDevice.h"

namespace kw {

// Waits for the print server with the screens alive: after a moment a small window says that the
// program waits for the printer, and the screens go on painting; being modal, it keeps clicks (a second
// "Afdrukken") off them.
class PrintWaitDialog final : public PrintWait {
public:
    bool waitFor(const std::function<bool()>& done, int milliseconds) override;
};

} // namespace kw
