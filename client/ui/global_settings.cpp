// The process-wide settings store of every process started from the client's executable.
#include "client/ui/client_settings.h"

namespace corvane {

CClientSettings g_settings;

}  // namespace corvane
