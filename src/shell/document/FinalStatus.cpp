// The start-up sequence reads the outcome of the last print job through the
// shell's name for it; the print job itself keeps it.
#include "PrintJob.h"
#include "Printers.h"

namespace shell {

std::int32_t& FinalStatus()
{
    return printengine::Job().FinalStatus;
}

} // namespace shell
