#include "shutdown_exit_codes.h"

namespace korvane {

ShutdownExitCodes nativeShutdownExitCodes()
{
    return windowsExitCodes;
}

} // namespace korvane
