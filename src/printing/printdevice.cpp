#include "printing/printdevice.h"

namespace lunora {

PrintDevice::~PrintDevice() = default;

} // namespace lunora
